#pragma once

#include "platform/handheld/HandheldStore.h"

// The organiser's desktop store, loaded at run time (beside this library first, then by name), so
// that unpacking works without it. When it cannot be loaded every call answers
// KVO_HH_ERR_NOT_LOADED and messages go to standard error.
namespace HandheldLibrary {

int16_t GetUserCount();
int32_t GetUserId(int32_t userIndex, uint32_t* userId);
int32_t GetUserName(uint32_t userId, char* name, uint32_t* size);
int32_t HasCardSlots(uint32_t userId, int32_t* hasSlots);
int32_t GetSlotCount(uint32_t userId, uint32_t* slotCount);
int32_t SlotGetInfo(uint32_t userId, uint32_t* slotIds, uint32_t* count);
int32_t SlotGetName(uint32_t userId, uint32_t slotId, char* name, uint32_t* size);
int32_t SlotRemoveInstallFile(uint32_t userId, uint32_t slotId, const char* fileName);
int32_t SlotInstallFile(uint32_t userId, uint32_t slotId, const char* fileName);
int32_t RemoveInstallFile(const char* userName, const char* fileName);
int32_t InstallFile(const char* userName, const char* fileName);
void ShowMessage(const char* caption, const char* text);

}  // namespace HandheldLibrary
