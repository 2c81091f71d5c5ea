// The shared library as a file: what it exports, and that it unpacks without the organiser's store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <sys/stat.h>

#include "companion/Quorvel1.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"
#include "tests/companion/ZipBuilder.h"

namespace {

using Names = std::vector<std::string>;

const Names kExports = {"QVInit",
                        "QVDone",
                        "QVUnzip",
                        "QVGetNumPalmUsers",
                        "QVGetPalmUserNumSlots",
                        "QVGetPalmUserSlotData",
                        "QVPalmUserInstallSlotFile",
                        "QVGetPalmUserData",
                        "QVPalmUserInstallMemFile"};

Names DefinedDynamicSymbols(const std::string& library) {
  const std::string command = std::string(KVO_NM) + " -D --defined-only --format=just-symbols '" + library + "'";
  Names names;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return names;
  char line[512];
  while (fgets(line, sizeof line, pipe)) {
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (!name.empty()) names.push_back(name);
  }
  pclose(pipe);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Quorvel1LibraryTest, DlsymFindsEveryExport) {
  void* library = dlopen(QUORVEL1_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const std::string& name : kExports) EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
  EXPECT_EQ(dlsym(library, "_ZN11ZipUnpackerD0Ev"), nullptr);
  dlclose(library);
}

TEST(Quorvel1LibraryTest, ExportsNothingElse) {
  Names expected = kExports;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(DefinedDynamicSymbols(QUORVEL1_PATH), expected);
}

// A copy of the library alone in a folder: the store is nowhere to be found.
class Quorvel1WithoutStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string copy = temp_ / "libQuorvel1.so";
    std::filesystem::copy_file(QUORVEL1_PATH, copy);
    library_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (library_) dlclose(library_);
  }

  template <typename Function>
  Function Find(const char* name) {
    return reinterpret_cast<Function>(dlsym(library_, name));
  }

  TempFolder temp_;
  void* library_ = nullptr;
};

TEST_F(Quorvel1WithoutStoreTest, UnpackingWorks) {
  const std::string zip = temp_ / "update.zip";
  const std::string out = temp_ / "out";
  ASSERT_TRUE(WriteZip(zip, {{.name = "data/food.kvo", .data = "kvo_1_0:\r\n"}}));
  auto init = Find<decltype(&QVInit)>("QVInit");
  auto unzip = Find<decltype(&QVUnzip)>("QVUnzip");
  auto done = Find<decltype(&QVDone)>("QVDone");
  QVHandle handle = init();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(unzip(handle, zip.c_str(), out.c_str()), 1);
  done(handle);
  EXPECT_EQ(ReadFileText(out + "/food.kvo"), "kvo_1_0:\r\n");
}

TEST_F(Quorvel1WithoutStoreTest, HandheldExportsFailAndSaySo) {
  auto users = Find<decltype(&QVGetNumPalmUsers)>("QVGetNumPalmUsers");
  auto slots = Find<decltype(&QVGetPalmUserNumSlots)>("QVGetPalmUserNumSlots");
  auto install = Find<decltype(&QVPalmUserInstallMemFile)>("QVPalmUserInstallMemFile");
  EXPECT_EQ(users(), -1);
  EXPECT_EQ(slots(0, 1001), 0);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(install(0, 1001, "/tmp/food.kvo"), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Quorvel Installation Error: UmGetUserName failed, error code: -1\r\nfor file_name: /tmp/food.kvo,\r\n"
            "for user id: 1001Report this to support@kestavo.example\n");
}

}  // namespace
