// Exports 4-9: the organiser's users and card slots, and its install queues.
#include <cstdio>
#include <new>

#include "companion/HandheldLibrary.h"
#include "companion/Quorvel1.h"

namespace {

constexpr const char* kCaption = "Quorvel Installation Error";
constexpr const char* kSupportAddress = "support@kestavo.example";
constexpr int kMessageSize = 3000;
constexpr int kSlotMessageSize = 512;
constexpr uint32_t kUserNameSize = 3000;

// A caller's size, as the store reads it: nothing is written for a size of 0 or less.
uint32_t BufferSize(char* buffer, int32_t size) { return buffer && size > 0 ? static_cast<uint32_t>(size) : 0; }

}  // namespace

extern "C" {

int32_t QVGetNumPalmUsers(void) {
  const int16_t users = HandheldLibrary::GetUserCount();
  return users < 0 ? -1 : users;
}

int32_t QVGetPalmUserNumSlots(uint32_t /*unused*/, uint32_t userId) {
  int32_t hasSlots = 0;
  if (HandheldLibrary::HasCardSlots(userId, &hasSlots) != 0 || hasSlots == 0) return 0;
  uint32_t count = 0;
  if (HandheldLibrary::GetSlotCount(userId, &count) != 0) return 0;
  return static_cast<int32_t>(count & 0xffff);
}

int32_t QVGetPalmUserSlotData(uint32_t /*unused*/, uint32_t userId, int32_t slotIndex,
                              uint32_t* slotId, char* name, int32_t size) {
  int32_t result = -1;
  const uint32_t slots = static_cast<uint32_t>(QVGetPalmUserNumSlots(0, userId)) + 1;
  uint32_t* slotIds = new (std::nothrow) uint32_t[slots]();
  if (!slotIds) return -1;
  uint32_t count = slots;
  const int32_t code = HandheldLibrary::SlotGetInfo(userId, slotIds, &count);
  if (code != 0) {
    char message[kSlotMessageSize];
    std::snprintf(message, sizeof message,
                  "UmSlotGetInfo failed, error code: %d\r\nfor user id: %d, slot idx: %dReport this to %s",
                  code, static_cast<int32_t>(userId), slotIndex, kSupportAddress);
    HandheldLibrary::ShowMessage(kCaption, message);
  } else if (slotIndex >= 0 && static_cast<uint32_t>(slotIndex) < count && count <= slots) {
    const uint32_t id = slotIds[slotIndex];
    if (slotId) *slotId = id;
    const uint32_t bufferSize = BufferSize(name, size);
    uint32_t nameSize = bufferSize;
    if (HandheldLibrary::SlotGetName(userId, id, name, &nameSize) == 0) {
      result = static_cast<int32_t>(nameSize);
    } else if (bufferSize > 0) {
      std::snprintf(name, bufferSize, "slot %d", slotIndex + 1);
    }
  }
  delete[] slotIds;
  return result;
}

int32_t QVPalmUserInstallSlotFile(uint32_t /*unused*/, uint32_t userId, uint32_t slotId,
                                  const char* filePath) {
  HandheldLibrary::SlotRemoveInstallFile(userId, slotId, filePath);
  const int32_t code = HandheldLibrary::SlotInstallFile(userId, slotId, filePath);
  if (code == 0) return 1;
  char message[kMessageSize];
  std::snprintf(message, sizeof message,
                "PlmSlotInstallFile failed, error code: %d\r\nfor file_name: %s\r\nuser_id: %d, slot_id: %d\r\nReport this to %s",
                code, filePath ? filePath : "", static_cast<int32_t>(userId), static_cast<int32_t>(slotId),
                kSupportAddress);
  HandheldLibrary::ShowMessage(kCaption, message);
  return 0;
}

int32_t QVGetPalmUserData(uint32_t /*unused*/, int32_t userIndex, uint32_t* userId, char* name,
                          int32_t size) {
  if (!userId || HandheldLibrary::GetUserId(userIndex, userId) != 0) return -1;
  uint32_t nameSize = BufferSize(name, size);
  if (HandheldLibrary::GetUserName(*userId, name, &nameSize) < 0) return -1;
  return static_cast<int16_t>(nameSize);
}

int32_t QVPalmUserInstallMemFile(uint32_t /*unused*/, uint32_t userId, const char* filePath) {
  char userName[kUserNameSize];
  uint32_t nameSize = kUserNameSize;
  char message[kMessageSize];
  const char* shownPath = filePath ? filePath : "";
  const int32_t nameCode = HandheldLibrary::GetUserName(userId, userName, &nameSize);
  if (nameCode < 0) {
    std::snprintf(message, sizeof message,
                  "UmGetUserName failed, error code: %d\r\nfor file_name: %s,\r\nfor user id: %dReport this to %s",
                  nameCode, shownPath, static_cast<int32_t>(userId), kSupportAddress);
    HandheldLibrary::ShowMessage(kCaption, message);
    return 0;
  }
  HandheldLibrary::RemoveInstallFile(userName, filePath);
  const int32_t installCode = HandheldLibrary::InstallFile(userName, filePath);
  if (installCode >= 0) return 1;
  std::snprintf(message, sizeof message,
                "PltInstallFile failed, error code: %d\r\nfor file_name: %s,\r\nfor user id: %dReport this to %s",
                installCode, shownPath, static_cast<int32_t>(userId), kSupportAddress);
  HandheldLibrary::ShowMessage(kCaption, message);
  return 0;
}

}  // extern "C"
