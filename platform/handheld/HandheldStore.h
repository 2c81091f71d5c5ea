// The handheld organiser's desktop store: its users, their card slots and the install queues that
// the organiser's synchronisation takes at its next run. libkvohandheld.so keeps them in one folder,
// which Quorvel1 loads at run time (so unpacking works without it).
//
// Folder layout (texts are UTF-8, lines end in "\n"; a trailing "\r" is ignored):
//
//   <store>/users.txt                   one user per line: "<user id>\t<user name>"; the line order
//                                       gives the user index (0-based)
//   <store>/<user id>/slots.txt         present when the user's handheld has card slots; one slot
//                                       per line: "<slot id>\t<slot name>"; a line holding only
//                                       "<slot id>" is a slot whose name cannot be read
//   <store>/<user id>/install/          the queue for the handheld's memory
//   <store>/<user id>/card-<slot id>/   the queue for the card in that slot
//
// Queuing a file copies it into the queue folder under its own file name (made when missing); a
// file of the same name already queued is replaced.
//
// The store folder is the one set by KvoHandheldSetStoreFolder, else $XDG_DATA_HOME/kvo-handheld
// (~/.local/share/kvo-handheld when XDG_DATA_HOME is not set).
//
// Every function answers 0 or a count on success and one of the negative codes below on failure,
// so both "non-zero is an error" and "negative is an error" callers read it right.
#pragma once

#include <stdint.h>

#if defined(__GNUC__)
#define KVO_HANDHELD_API __attribute__((visibility("default")))
#else
#define KVO_HANDHELD_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
  KVO_HH_OK = 0,
  KVO_HH_ERR_NOT_LOADED = -1,      // used by callers when the store library could not be loaded
  KVO_HH_ERR_NO_STORE = -2,        // users.txt missing or unreadable
  KVO_HH_ERR_NO_USER = -3,         // no user of that index, id or name
  KVO_HH_ERR_NO_SLOT = -4,         // the user has no card slot of that id
  KVO_HH_ERR_NO_SLOT_NAME = -5,    // the slot's name cannot be read
  KVO_HH_ERR_BAD_FILE = -6,        // the file to queue is missing or not a regular file
  KVO_HH_ERR_QUEUE_WRITE = -7,     // the queue folder or the queued copy cannot be written
  KVO_HH_ERR_BAD_ARGUMENT = -8     // a NULL pointer or a negative size
};

// Users (the roles of UserData's exports).
KVO_HANDHELD_API int16_t UmGetUserCount(void);
KVO_HANDHELD_API int32_t UmGetUserId(int32_t userIndex, uint32_t* userId);
// Copies the user's name, cut to fit *size bytes with its terminator (nothing written when *size is
// 0); *size becomes the length written, without the terminator.
KVO_HANDHELD_API int32_t UmGetUserName(uint32_t userId, char* name, uint32_t* size);
KVO_HANDHELD_API int32_t UmHasCardSlots(uint32_t userId, int32_t* hasSlots);
KVO_HANDHELD_API int32_t UmGetSlotCount(uint32_t userId, uint32_t* slotCount);
// Fills at most *count slot ids, in slots.txt order; *count becomes the number filled.
KVO_HANDHELD_API int32_t UmSlotGetInfo(uint32_t userId, uint32_t* slotIds, uint32_t* count);
// As UmGetUserName, for a card slot's name.
KVO_HANDHELD_API int32_t UmSlotGetName(uint32_t userId, uint32_t slotId, char* name, uint32_t* size);

// Install queues (the roles of INSTAIDE's exports). The Remove functions take an earlier queued
// copy of the file's name out of the queue; KVO_HH_OK also when there was none.
KVO_HANDHELD_API int32_t PlmSlotRemoveInstallFile(uint32_t userId, uint32_t slotId, const char* fileName);
KVO_HANDHELD_API int32_t PlmSlotInstallFile(uint32_t userId, uint32_t slotId, const char* fileName);
KVO_HANDHELD_API int32_t PltRemoveInstallFile(const char* userName, const char* fileName);
KVO_HANDHELD_API int32_t PltInstallFile(const char* userName, const char* fileName);

// Host set-up: the store folder (NULL goes back to the default) and where the install exports'
// failure messages go (NULL goes back to standard error).
typedef void (*KvoHandheldMessageSink)(const char* caption, const char* text, void* context);
KVO_HANDHELD_API void KvoHandheldSetStoreFolder(const char* folder);
KVO_HANDHELD_API void KvoHandheldSetMessageSink(KvoHandheldMessageSink sink, void* context);
KVO_HANDHELD_API void KvoHandheldShowMessage(const char* caption, const char* text);

#ifdef __cplusplus
}
#endif
