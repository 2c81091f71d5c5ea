// Feeds arbitrary bytes to QVUnzip as an archive file, unpacking into a folder of its own that is
// emptied after every input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "companion/Quorvel1.h"
#include "tools/fuzz/FuzzWorkFolder.h"

namespace {

std::string g_archive;
std::string g_folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string& work = fuzz_work::Make("qvunzip-fuzz");
  g_archive = work + "/input.zip";
  g_folder = work + "/out";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz_work::WriteInput(g_archive, data, size)) std::abort();
  QVHandle handle = QVInit();
  if (!handle) std::abort();
  QVUnzip(handle, g_archive.c_str(), g_folder.c_str());
  QVDone(handle);
  std::error_code ec;
  std::filesystem::remove_all(g_folder, ec);
  return 0;
}
