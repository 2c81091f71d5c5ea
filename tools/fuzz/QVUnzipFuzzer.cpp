// Feeds arbitrary bytes to QVUnzip as an archive file, unpacking into a folder of its own that is
// emptied after every input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "companion/Quorvel1.h"

namespace {

std::string g_work;
std::string g_archive;
std::string g_folder;

bool WriteArchive(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(g_archive.c_str(), "wb");
  if (!file) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void RemoveWork() {
  std::error_code ec;
  std::filesystem::remove_all(g_work, ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("KVO_FUZZ_WORK");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/qvunzip-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  g_work = pattern;
  g_archive = g_work + "/input.zip";
  g_folder = g_work + "/out";
  std::atexit(RemoveWork);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteArchive(data, size)) std::abort();
  QVHandle handle = QVInit();
  if (!handle) std::abort();
  QVUnzip(handle, g_archive.c_str(), g_folder.c_str());
  QVDone(handle);
  std::error_code ec;
  std::filesystem::remove_all(g_folder, ec);
  return 0;
}
