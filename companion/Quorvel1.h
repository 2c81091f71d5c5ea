// The companion library Quorvel1: unpacks a zip archive flat into a folder, and queues files for
// installation on a handheld organiser through the organiser's desktop store.
// Exports, in ordinal order; texts are 8-bit, NUL-terminated, and read only during the call.
#pragma once

#include <stdint.h>

#if defined(__GNUC__)
#define QUORVEL1_API __attribute__((visibility("default")))
#else
#define QUORVEL1_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// An unpacker handle, owned by the caller from QVInit to QVDone.
typedef void* QVHandle;

// 1: a new unpacker with no archive open, or NULL when memory runs out.
QUORVEL1_API QVHandle QVInit(void);
// 2: closes the handle's archive and frees the handle; NULL is ignored.
QUORVEL1_API void QVDone(QVHandle handle);
// 3: unpacks every entry of the archive flat into the folder: 1 when every entry was written,
// 0 otherwise. The archive is closed again before the call returns.
QUORVEL1_API int QVUnzip(QVHandle handle, const char* zipPath, const char* folder);

// The handheld exports take a first value that they do not read.
// 4: the number of the organiser's users, -1 on error.
QUORVEL1_API int32_t QVGetNumPalmUsers(void);
// 5: the number of the user's card slots; 0 when the handheld has none or on any error.
QUORVEL1_API int32_t QVGetPalmUserNumSlots(uint32_t unused, uint32_t userId);
// 6: the slot's id and name (cut to size, with its terminator); the name's length, else -1.
// When only the name cannot be read the buffer holds "slot <index + 1>".
QUORVEL1_API int32_t QVGetPalmUserSlotData(uint32_t unused, uint32_t userId, int32_t slotIndex,
                                           uint32_t* slotId, char* name, int32_t size);
// 7: queues the file for the card in the slot: 1 queued, 0 failed (after a message).
QUORVEL1_API int32_t QVPalmUserInstallSlotFile(uint32_t unused, uint32_t userId, uint32_t slotId,
                                               const char* filePath);
// 8: the id and name (cut to size, with its terminator) of the user at the index; the name's
// length, -1 on error.
QUORVEL1_API int32_t QVGetPalmUserData(uint32_t unused, int32_t userIndex, uint32_t* userId,
                                       char* name, int32_t size);
// 9: queues the file for the user's handheld memory: 1 queued, 0 failed (after a message).
QUORVEL1_API int32_t QVPalmUserInstallMemFile(uint32_t unused, uint32_t userId, const char* filePath);

#ifdef __cplusplus
}
#endif
