#pragma once
// The folder a fuzzer writes its inputs into: under $KVO_FUZZ_WORK (a memory file system when the
// run script finds one), else /tmp; removed when the fuzzer ends.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz_work {

inline std::string& Folder() {
  static std::string folder;
  return folder;
}

inline void Remove() {
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
}

// Makes the folder ("<name>-XXXXXX") once, at the fuzzer's start; aborts when it cannot.
inline const std::string& Make(const char* name) {
  const char* base = std::getenv("KVO_FUZZ_WORK");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + name + "-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  Folder() = pattern;
  std::atexit(Remove);
  return Folder();
}

// The input's bytes as the file the code under test reads.
inline bool WriteInput(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace fuzz_work
