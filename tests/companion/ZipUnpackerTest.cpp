// ZipUnpacker itself: the walk over the entries, what it reads of them, and unpacking with the
// folders kept.
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "companion/ZipUnpacker.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"
#include "tests/companion/ZipBuilder.h"

namespace {

using Names = std::vector<std::string>;

class ZipUnpackerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(temp_.Path().empty()); }

  std::string MakeZip(const std::vector<ZipEntrySpec>& entries, const std::string& name = "update.zip") {
    const std::string path = temp_ / name;
    EXPECT_TRUE(WriteZip(path, entries));
    return path;
  }

  std::string CurrentName(ZipUnpacker& unpacker) {
    ZipEntryInfo info;
    return unpacker.ReadEntryInfo(&info) ? info.name : "<none>";
  }

  TempFolder temp_;
};

TEST_F(ZipUnpackerTest, WithoutArchiveEverythingAnswersZero) {
  ZipUnpacker unpacker;
  ZipEntryInfo info;
  EXPECT_EQ(unpacker.Close(), 0);
  EXPECT_EQ(unpacker.CountEntries(), 0u);
  EXPECT_EQ(unpacker.FirstEntry(nullptr), 0);
  EXPECT_EQ(unpacker.NextEntry(nullptr), 0);
  EXPECT_EQ(unpacker.ReadEntryInfo(&info), 0);
  EXPECT_EQ(unpacker.ExtractEntry(temp_.Path().c_str(), true), 0);
  EXPECT_EQ(unpacker.ExtractAll(temp_.Path().c_str(), true), 0);
  EXPECT_STREQ(unpacker.DefaultFolder(), "");
}

TEST_F(ZipUnpackerTest, OpenSetsTheDefaultFolderAndCloseAnswersOne) {
  const std::string zip = MakeZip({{.name = "a.kvo", .data = "a"}, {.name = "b.kvo", .data = "b"}});
  ZipUnpacker unpacker(zip.c_str());
  EXPECT_EQ(unpacker.CountEntries(), 2u);
  EXPECT_EQ(unpacker.DefaultFolder(), temp_ / "update");
  EXPECT_EQ(unpacker.Close(), 1);
  EXPECT_EQ(unpacker.Close(), 0);
}

TEST_F(ZipUnpackerTest, PathWithoutDotIsItsOwnDefaultFolder) {
  const std::string zip = MakeZip({{.name = "a.kvo", .data = "a"}}, "update");
  ZipUnpacker unpacker;
  ASSERT_EQ(unpacker.Open(zip.c_str()), 1);
  EXPECT_EQ(unpacker.DefaultFolder(), zip);
}

TEST_F(ZipUnpackerTest, OpenOfANonArchiveAnswersZero) {
  const std::string path = temp_ / "not.zip";
  ASSERT_TRUE(WriteFileText(path, "no archive"));
  ZipUnpacker unpacker;
  EXPECT_EQ(unpacker.Open(path.c_str()), 0);
  EXPECT_EQ(unpacker.Open(nullptr), 0);
  EXPECT_EQ(unpacker.CountEntries(), 0u);
}

TEST_F(ZipUnpackerTest, EntriesAreFoundByExtensionWithoutRegardToCase) {
  const std::string zip = MakeZip({{.name = "readme.txt", .data = "r"},
                                   {.name = "data/food.KVO", .data = "f"},
                                   {.name = "kvo", .data = "n"},
                                   {.name = "more.kvo.bak", .data = "b"},
                                   {.name = "more.kvo", .data = "m"}});
  ZipUnpacker unpacker(zip.c_str());
  ASSERT_EQ(unpacker.FirstEntry("kvo"), 1);
  EXPECT_EQ(CurrentName(unpacker), "data\\food.KVO");
  ASSERT_EQ(unpacker.NextEntry("kvo"), 1);
  EXPECT_EQ(CurrentName(unpacker), "more.kvo");
  EXPECT_EQ(unpacker.NextEntry("kvo"), 0);
  ASSERT_EQ(unpacker.FirstEntry("TXT"), 1);
  EXPECT_EQ(CurrentName(unpacker), "readme.txt");
  EXPECT_EQ(unpacker.FirstEntry("zip"), 0);
}

TEST_F(ZipUnpackerTest, WalkWithoutExtensionVisitsEveryEntryInOrder) {
  const std::string zip = MakeZip({{.name = "one"}, {.name = "two/"}, {.name = "three"}});
  ZipUnpacker unpacker(zip.c_str());
  Names seen;
  for (int more = unpacker.FirstEntry(""); more; more = unpacker.NextEntry(nullptr)) seen.push_back(CurrentName(unpacker));
  EXPECT_EQ(seen, (Names{"one", "two\\", "three"}));
}

TEST_F(ZipUnpackerTest, EntryInfoCarriesWhatTheArchiveStates) {
  const uint32_t when = DosDateTime(2024, 2, 29, 23, 59, 58);
  const std::string zip = MakeZip({{.name = "data/food.kvo", .data = "kvo kvo kvo kvo", .dosDateTime = when, .comment = "food"},
                                   {.name = "data/sub/", .stored = true}});
  ZipUnpacker unpacker(zip.c_str());
  ASSERT_EQ(unpacker.FirstEntry(nullptr), 1);
  ZipEntryInfo info;
  std::memset(&info, 0x55, sizeof info);
  ASSERT_EQ(unpacker.ReadEntryInfo(&info), 1);
  EXPECT_STREQ(info.name, "data\\food.kvo");
  EXPECT_STREQ(info.comment, "food");
  EXPECT_EQ(info.dosDateTime, when);
  EXPECT_EQ(info.compressionMethod, 8u);
  EXPECT_EQ(info.uncompressedSize, 15u);
  EXPECT_GT(info.compressedSize, 0u);
  EXPECT_NE(info.crc, 0u);
  EXPECT_EQ(info.isFolder, 0);
  ASSERT_EQ(unpacker.NextEntry(nullptr), 1);
  ASSERT_EQ(unpacker.ReadEntryInfo(&info), 1);
  EXPECT_STREQ(info.name, "data\\sub\\");
  EXPECT_EQ(info.isFolder, 1);
  EXPECT_EQ(info.compressionMethod, 0u);
}

TEST_F(ZipUnpackerTest, NameLongerThanTheBufferIsCutAndTerminated) {
  const std::string zip = MakeZip({{.name = std::string(300, 'n'), .data = "x"}});
  ZipUnpacker unpacker(zip.c_str());
  ASSERT_EQ(unpacker.FirstEntry(nullptr), 1);
  ZipEntryInfo info;
  ASSERT_EQ(unpacker.ReadEntryInfo(&info), 1);
  EXPECT_EQ(std::strlen(info.name), 260u);
  EXPECT_EQ(unpacker.ExtractEntry((temp_ / "out").c_str(), true), 0);
  EXPECT_TRUE(ListFolder(temp_ / "out").empty());
}

TEST_F(ZipUnpackerTest, NullFolderMeansTheDefaultFolder) {
  const std::string zip = MakeZip({{.name = "data/food.kvo", .data = "f"}});
  ZipUnpacker unpacker(zip.c_str());
  ASSERT_EQ(unpacker.FirstEntry(nullptr), 1);
  EXPECT_EQ(unpacker.ExtractEntry(nullptr, true), 1);
  EXPECT_EQ(ReadFileText(temp_ / "update/food.kvo"), "f");
}

TEST_F(ZipUnpackerTest, WithoutFlattenTheFoldersAreKept) {
  const std::string zip = MakeZip({{.name = "data/"}, {.name = "data/food.kvo", .data = "f"}, {.name = "data\\sub\\x.txt", .data = "x"}});
  const std::string out = temp_ / "out";
  ZipUnpacker unpacker;
  EXPECT_EQ(unpacker.UnpackArchive(zip.c_str(), out.c_str(), false), 1);
  EXPECT_EQ(ListFolder(out), Names{"data"});
  EXPECT_EQ(ReadFileText(out + "/data/food.kvo"), "f");
  EXPECT_EQ(ReadFileText(out + "/data/sub/x.txt"), "x");
}

struct KeptFolderCase {
  const char* caseName;
  std::string entryName;
};

void PrintTo(const KeptFolderCase& c, std::ostream* os) { *os << c.caseName; }

class ZipUnpackerKeptFolderTest : public ZipUnpackerTest, public ::testing::WithParamInterface<KeptFolderCase> {};

TEST_P(ZipUnpackerKeptFolderTest, UnsafePartIsRefused) {
  const std::string zip = MakeZip({{.name = GetParam().entryName, .data = "payload"}});
  const std::string out = temp_ / "out";
  ZipUnpacker unpacker;
  EXPECT_EQ(unpacker.UnpackArchive(zip.c_str(), out.c_str(), false), 0);
  EXPECT_TRUE(ListFolder(out).empty());
  EXPECT_EQ(ListFolder(temp_.Path()), (Names{"out", "update.zip"}));
}

INSTANTIATE_TEST_SUITE_P(Names, ZipUnpackerKeptFolderTest,
                         ::testing::Values(KeptFolderCase{"ParentSlash", "../evil.kvo"},
                                           KeptFolderCase{"ParentInside", "data/../../evil.kvo"},
                                           KeptFolderCase{"ParentBackslash", "data\\..\\..\\evil.kvo"},
                                           KeptFolderCase{"Absolute", "/tmp/evil.kvo"},
                                           KeptFolderCase{"DoubleSeparator", "data//evil.kvo"},
                                           KeptFolderCase{"DotFolder", "./evil.kvo"},
                                           KeptFolderCase{"ControlInFolder", "da\x02ta/evil.kvo"}),
                         [](const auto& info) { return std::string(info.param.caseName); });

TEST_F(ZipUnpackerTest, WithoutFlattenALinkedFolderIsNotFollowed) {
  const std::string outside = temp_ / "outside";
  const std::string out = temp_ / "out";
  ASSERT_EQ(mkdir(outside.c_str(), 0777), 0);
  ASSERT_EQ(mkdir(out.c_str(), 0777), 0);
  ASSERT_EQ(symlink(outside.c_str(), (out + "/data").c_str()), 0);
  const std::string zip = MakeZip({{.name = "data/sub/evil.kvo", .data = "payload"}});
  ZipUnpacker unpacker;
  EXPECT_EQ(unpacker.UnpackArchive(zip.c_str(), out.c_str(), false), 0);
  EXPECT_TRUE(ListFolder(outside).empty());
}

TEST_F(ZipUnpackerTest, MakeFolderPathMakesEveryMissingFolder) {
  const std::string deep = temp_ / "a/b/c";
  EXPECT_EQ(ZipUnpacker::MakeFolderPath(deep.c_str()), 1);
  struct stat st;
  ASSERT_EQ(stat(deep.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(ZipUnpacker::MakeFolderPath(deep.c_str()), 1);
  EXPECT_EQ(ZipUnpacker::MakeFolderPath(""), 0);
  EXPECT_EQ(ZipUnpacker::MakeFolderPath(nullptr), 0);
  EXPECT_EQ(ZipUnpacker::MakeParentFolders((temp_ / "p/q/file.kvo").c_str()), 1);
  EXPECT_EQ(ListFolder(temp_ / "p"), Names{"q"});
  EXPECT_EQ(ZipUnpacker::MakeParentFolders("file.kvo"), 0);
}

TEST_F(ZipUnpackerTest, StampFileTimeKeepsTheAccessTime) {
  setenv("TZ", "UTC0", 1);
  tzset();
  const std::string file = temp_ / "stamped.kvo";
  ASSERT_TRUE(WriteFileText(file, "x"));
  struct timespec times[2] = {{1500000000, 0}, {1500000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  EXPECT_EQ(ZipUnpacker::StampFileTime(file.c_str(), DosDateTime(2001, 9, 9, 1, 46, 40)), 1);
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1000000000);
  EXPECT_EQ(st.st_atime, 1500000000);
  EXPECT_EQ(ZipUnpacker::StampFileTime((temp_ / "missing").c_str(), 0), 0);
}

}  // namespace
