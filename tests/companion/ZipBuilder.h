#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Builds test archives with minizip's zip half, including the damaged and hostile ones that no
// honest zip tool would write.
struct ZipEntrySpec {
  std::string name;
  std::string data;
  uint32_t dosDateTime = 0x56cf7000;    // 2023-06-15 14:00:00
  bool stored = false;                  // else deflated
  uint64_t zeros = 0;                   // when set, the data is this many zero bytes, streamed
  std::optional<uint32_t> crc;          // when set, the data goes in raw with this CRC ...
  std::optional<uint64_t> statedSize;   // ... and this uncompressed size
  std::string comment;
};

bool WriteZip(const std::string& path, const std::vector<ZipEntrySpec>& entries);

// DOS date and time as a zip entry stores them.
uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);
