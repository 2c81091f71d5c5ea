#include "tests/companion/ZipBuilder.h"

#include <zip.h>
#include <zlib.h>

namespace {

bool WriteZeros(zipFile zip, uint64_t count) {
  const std::string chunk(1 << 20, '\0');
  while (count > 0) {
    const unsigned n = static_cast<unsigned>(count < chunk.size() ? count : chunk.size());
    if (zipWriteInFileInZip(zip, chunk.data(), n) != ZIP_OK) return false;
    count -= n;
  }
  return true;
}

bool WriteEntry(zipFile zip, const ZipEntrySpec& entry) {
  zip_fileinfo info = {};
  info.dosDate = entry.dosDateTime;
  const bool raw = entry.crc.has_value();
  const int method = entry.stored ? 0 : Z_DEFLATED;
  const char* comment = entry.comment.empty() ? nullptr : entry.comment.c_str();
  if (zipOpenNewFileInZip2(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, comment, method,
                           Z_BEST_COMPRESSION, raw ? 1 : 0) != ZIP_OK)
    return false;
  bool ok = entry.zeros > 0 ? WriteZeros(zip, entry.zeros)
                            : entry.data.empty() ||
                                  zipWriteInFileInZip(zip, entry.data.data(),
                                                      static_cast<unsigned>(entry.data.size())) == ZIP_OK;
  if (raw) {
    const uint64_t size = entry.statedSize.value_or(entry.data.size());
    ok = zipCloseFileInZipRaw64(zip, size, *entry.crc) == ZIP_OK && ok;
  } else {
    ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
  }
  return ok;
}

}  // namespace

bool WriteZip(const std::string& path, const std::vector<ZipEntrySpec>& entries) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const ZipEntrySpec& entry : entries) ok = ok && WriteEntry(zip, entry);
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
  const uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
  return (date << 16) | time;
}
