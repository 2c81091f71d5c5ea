// Exports 1-3: the unpacker handle and the flat unpacking of an archive.
#include <new>

#include "companion/Quorvel1.h"
#include "companion/ZipUnpacker.h"

extern "C" {

QVHandle QVInit(void) { return new (std::nothrow) ZipUnpacker(nullptr); }

void QVDone(QVHandle handle) { delete static_cast<ZipUnpacker*>(handle); }

int QVUnzip(QVHandle handle, const char* zipPath, const char* folder) {
  if (!handle) return 0;
  ZipUnpacker* unpacker = static_cast<ZipUnpacker*>(handle);
  const int unpacked = unpacker->UnpackArchive(zipPath, folder, true);
  unpacker->Close();
  return unpacked;
}

}  // extern "C"
