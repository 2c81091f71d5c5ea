#pragma once

#include <cstdint>

// What ZipUnpacker::ReadEntryInfo learns of the current entry; all zero until it is filled.
struct ZipEntryInfo {
  static constexpr int kNameSize = 261;     // minizip fills at most 260; the last stays the terminator
  static constexpr int kCommentSize = 255;

  char name[kNameSize];                     // every "/" replaced by "\\"
  char comment[kCommentSize];
  uint32_t versionMadeBy;
  uint32_t versionNeeded;
  uint32_t flags;
  uint32_t compressionMethod;
  uint32_t dosDateTime;                     // DOS date in the high 16 bits, time in the low 16
  uint32_t crc;
  uint32_t compressedSize;
  uint32_t uncompressedSize;
  uint32_t internalAttributes;
  uint32_t externalAttributes;
  int32_t isFolder;                         // 1 when the name ends in "\\"
};
