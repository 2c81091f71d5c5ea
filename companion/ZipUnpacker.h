#pragma once

#include <cstdint>

#include "companion/ZipEntryInfo.h"

// One open zip archive (minizip's unzip half) whose entries it walks, reads and writes as files.
// Entry names use "\\" between folders, as the archive's makers wrote them; file-system paths use
// "/".
class ZipUnpacker {
 public:
  static constexpr int kDefaultFolderSize = 264;
  static constexpr int kTargetPathSize = 260;
  static constexpr int kChunkSize = 20480;
  // An archive may write no more than this many bytes, or this many times its own size when that
  // is more: enough for any honest archive, and a stop for one made to fill the disk.
  static constexpr uint64_t kInflateFloor = 64ull << 20;
  static constexpr uint64_t kInflateRatio = 100;

  explicit ZipUnpacker(const char* archivePath = nullptr);
  virtual ~ZipUnpacker();
  ZipUnpacker(const ZipUnpacker&) = delete;
  ZipUnpacker& operator=(const ZipUnpacker&) = delete;

  int Close();
  int Open(const char* path);
  uint32_t CountEntries();
  int FirstEntry(const char* extension);
  int NextEntry(const char* extension);
  int ReadEntryInfo(ZipEntryInfo* info);
  int ExtractEntry(const char* folder, bool flatten);
  int ExtractAll(const char* folder, bool flatten);
  int UnpackArchive(const char* zipPath, const char* folder, bool flatten);

  static int MakeFolderPath(const char* path);
  static int MakeParentFolders(const char* filePath);
  static int StampFileTime(const char* filePath, uint32_t dosDateTime);

  const char* DefaultFolder() const { return defaultFolder_; }

 private:
  bool OpenArchive(const char* path);
  bool CurrentEntryMatches(const char* extension);
  bool BuildTargetPath(const char* folder, const ZipEntryInfo& info, bool flatten, char* target);
  bool CopyEntryData(int fd);

  void* archive_ = nullptr;  // minizip's unzFile
  char defaultFolder_[kDefaultFolderSize] = {};
  uint64_t inflateBudget_ = 0;  // bytes the open archive may still write
};
