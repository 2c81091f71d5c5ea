// The unpacking exports, through the shared library as the program calls them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include "companion/Quorvel1.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"
#include "tests/companion/ZipBuilder.h"

namespace {

using Names = std::vector<std::string>;

class QVUnzipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.Path().empty());
    ASSERT_EQ(mkdir(out_.c_str(), 0777), 0);
    ASSERT_NE(handle_, nullptr);
  }
  void TearDown() override { QVDone(handle_); }

  int Unzip(const std::vector<ZipEntrySpec>& entries) {
    EXPECT_TRUE(WriteZip(zip_, entries));
    return QVUnzip(handle_, zip_.c_str(), out_.c_str());
  }

  TempFolder temp_;
  const std::string out_ = temp_ / "out";
  const std::string zip_ = temp_ / "kvoupdate.zip";
  QVHandle handle_ = QVInit();
};

TEST_F(QVUnzipTest, FlattensFoldersAndWritesNothingForFolderEntries) {
  EXPECT_EQ(Unzip({{.name = "data/"}, {.name = "data/food.kvo", .data = "kvo_1_0:\r\n"}}), 1);
  EXPECT_EQ(ListFolder(out_), Names{"food.kvo"});
  EXPECT_EQ(ReadFileText(out_ + "/food.kvo"), "kvo_1_0:\r\n");
}

TEST_F(QVUnzipTest, LaterOfTwoSameNamedEntriesWins) {
  EXPECT_EQ(Unzip({{.name = "a/food.kvo", .data = "the earlier, longer one"},
                   {.name = "b\\food.kvo", .data = "later"}}),
            1);
  EXPECT_EQ(ListFolder(out_), Names{"food.kvo"});
  EXPECT_EQ(ReadFileText(out_ + "/food.kvo"), "later");
}

TEST_F(QVUnzipTest, StoredAndEmptyEntriesUnpack) {
  EXPECT_EQ(Unzip({{.name = "plain.txt", .data = "as is", .stored = true}, {.name = "empty.txt"}}), 1);
  EXPECT_EQ(ReadFileText(out_ + "/plain.txt"), "as is");
  EXPECT_EQ(ReadFileText(out_ + "/empty.txt"), "");
}

TEST_F(QVUnzipTest, EmptyArchiveAnswersZeroAndWritesNothing) {
  const std::string missingFolder = temp_ / "not-made";
  ASSERT_TRUE(WriteZip(zip_, {}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), out_.c_str()), 0);
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), missingFolder.c_str()), 0);
  EXPECT_TRUE(ListFolder(out_).empty());
  EXPECT_EQ(access(missingFolder.c_str(), F_OK), -1);
}

TEST_F(QVUnzipTest, NonZipFileAnswersZeroAndWritesNothing) {
  ASSERT_TRUE(WriteFileText(zip_, "PK\x03\x04 is how it starts, but this is no archive"));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), out_.c_str()), 0);
  const std::string missing = temp_ / "missing.zip";
  EXPECT_EQ(QVUnzip(handle_, missing.c_str(), out_.c_str()), 0);
  EXPECT_EQ(QVUnzip(handle_, nullptr, out_.c_str()), 0);
  EXPECT_TRUE(ListFolder(out_).empty());
}

TEST_F(QVUnzipTest, NullFolderAnswersZero) {
  ASSERT_TRUE(WriteZip(zip_, {{.name = "food.kvo", .data = "x"}}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), nullptr), 0);
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), ""), 0);
}

TEST_F(QVUnzipTest, HandleServesASecondArchive) {
  EXPECT_EQ(Unzip({{.name = "first.kvo", .data = "1"}}), 1);
  const std::string second = temp_ / "second.zip";
  ASSERT_TRUE(WriteZip(second, {{.name = "second.kvo", .data = "2"}}));
  EXPECT_EQ(QVUnzip(handle_, second.c_str(), out_.c_str()), 1);
  EXPECT_EQ(ListFolder(out_), (Names{"first.kvo", "second.kvo"}));
  EXPECT_EQ(ReadFileText(out_ + "/second.kvo"), "2");
}

TEST_F(QVUnzipTest, ArchiveIsClosedWhenTheCallReturns) {
  EXPECT_EQ(Unzip({{.name = "food.kvo", .data = "x"}}), 1);
  // Closed, the archive can be replaced and unpacked again through the same handle.
  ASSERT_EQ(unlink(zip_.c_str()), 0);
  EXPECT_EQ(Unzip({{.name = "food.kvo", .data = "y"}}), 1);
  EXPECT_EQ(ReadFileText(out_ + "/food.kvo"), "y");
}

TEST_F(QVUnzipTest, EntryTimeIsTheFilesLastWriteTimeInLocalTime) {
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  EXPECT_EQ(Unzip({{.name = "summer.kvo", .data = "s", .dosDateTime = DosDateTime(2023, 6, 15, 14, 30, 20)},
                   {.name = "winter.kvo", .data = "w", .dosDateTime = DosDateTime(2023, 1, 10, 8, 0, 0)}}),
            1);
  struct stat summer, winter;
  ASSERT_EQ(stat((out_ + "/summer.kvo").c_str(), &summer), 0);
  ASSERT_EQ(stat((out_ + "/winter.kvo").c_str(), &winter), 0);
  EXPECT_EQ(summer.st_mtime, 1686832220);  // 2023-06-15 12:30:20 UTC
  EXPECT_EQ(winter.st_mtime, 1673334000);  // 2023-01-10 07:00:00 UTC
}

TEST_F(QVUnzipTest, ExistingFolderEndingInSlashWorks) {
  ASSERT_TRUE(WriteZip(zip_, {{.name = "food.kvo", .data = "x"}}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), (out_ + "/").c_str()), 1);
  EXPECT_EQ(ListFolder(out_), Names{"food.kvo"});
}

TEST_F(QVUnzipTest, MissingFolderIsMade) {
  const std::string deep = out_ + "/update/today";
  ASSERT_TRUE(WriteZip(zip_, {{.name = "food.kvo", .data = "x"}}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), deep.c_str()), 1);
  EXPECT_EQ(ListFolder(deep), Names{"food.kvo"});
}

TEST_F(QVUnzipTest, MissingFolderEndingInSlashIsMadeButAnswersZero) {
  const std::string made = out_ + "/new";
  ASSERT_TRUE(WriteZip(zip_, {{.name = "food.kvo", .data = "x"}}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), (made + "/").c_str()), 0);
  EXPECT_TRUE(ListFolder(made).empty());
}

TEST_F(QVUnzipTest, FileInPlaceOfTheFolderAnswersZero) {
  ASSERT_TRUE(WriteFileText(out_ + "/blocked", "a file"));
  ASSERT_TRUE(WriteZip(zip_, {{.name = "food.kvo", .data = "x"}}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), (out_ + "/blocked").c_str()), 0);
  EXPECT_EQ(ReadFileText(out_ + "/blocked"), "a file");
}

TEST_F(QVUnzipTest, FolderAndNameLongerThanTheTargetBufferAnswerZero) {
  std::string folder = out_;
  while (folder.size() < 240) folder += "/deeper";
  ASSERT_EQ(system(("mkdir -p '" + folder + "'").c_str()), 0);
  ASSERT_TRUE(WriteZip(zip_, {{.name = std::string(40, 'n') + ".kvo", .data = "x"}}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), folder.c_str()), 0);
  EXPECT_TRUE(ListFolder(folder).empty());
}

// A damaged entry stops the unpack: what came before stays, nothing after it is written.
struct DamageCase {
  const char* caseName;
  ZipEntrySpec damaged;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.caseName; }

class QVUnzipDamageTest : public QVUnzipTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(QVUnzipDamageTest, StopsWithZero) {
  EXPECT_EQ(Unzip({{.name = "before.kvo", .data = "fine"}, GetParam().damaged, {.name = "after.kvo", .data = "fine"}}),
            0);
  EXPECT_EQ(ReadFileText(out_ + "/before.kvo"), "fine");
  EXPECT_EQ(access((out_ + "/after.kvo").c_str(), F_OK), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, QVUnzipDamageTest,
    ::testing::Values(
        DamageCase{"CrcMismatch", {.name = "bad.kvo", .data = "stored bytes", .stored = true, .crc = 0x12345678u}},
        DamageCase{"UndecodableDeflateData",
                   {.name = "bad.kvo", .data = "\xff\xff\xff\xff\xff\xff\xff\xff", .crc = 0u, .statedSize = 100u}},
        DamageCase{"TruncatedDeflateData",
                   {.name = "bad.kvo", .data = "\x4b\x4c\x4a", .crc = 0u, .statedSize = 1000u}},
        DamageCase{"StatedSizeBeyondAnyLimit",
                   {.name = "bad.kvo", .data = "tiny", .stored = true, .crc = 0u, .statedSize = 3000000000u}}),
    [](const auto& info) { return std::string(info.param.caseName); });

TEST_F(QVUnzipTest, ArchiveInflatingFarBeyondItsSizeIsStopped) {
  const uint64_t forty = 40ull << 20;
  EXPECT_EQ(Unzip({{.name = "first.bin", .zeros = forty}, {.name = "second.bin", .zeros = forty}}), 0);
  struct stat st;
  ASSERT_EQ(stat(zip_.c_str(), &st), 0);
  EXPECT_LT(st.st_size, 1 << 20);
  EXPECT_EQ(ListFolder(out_), Names{"first.bin"});
}

// Hostile names: whatever an entry's name, nothing is written outside the folder.
struct HostileNameCase {
  const char* caseName;
  std::string entryName;
  int answer;
  Names written;
};

void PrintTo(const HostileNameCase& c, std::ostream* os) { *os << c.caseName; }

class QVUnzipHostileNameTest : public QVUnzipTest, public ::testing::WithParamInterface<HostileNameCase> {};

TEST_P(QVUnzipHostileNameTest, NothingLandsOutsideTheFolder) {
  const HostileNameCase& c = GetParam();
  const std::string inner = out_ + "/a/b";
  ASSERT_EQ(system(("mkdir -p '" + inner + "'").c_str()), 0);
  ASSERT_TRUE(WriteZip(zip_, {{.name = c.entryName, .data = "payload"}}));
  EXPECT_EQ(QVUnzip(handle_, zip_.c_str(), inner.c_str()), c.answer);
  EXPECT_EQ(ListFolder(inner), c.written);
  EXPECT_EQ(ListFolder(temp_.Path()), (Names{"kvoupdate.zip", "out"}));
  EXPECT_EQ(ListFolder(out_), Names{"a"});
  EXPECT_EQ(ListFolder(out_ + "/a"), Names{"b"});
  for (const std::string& name : c.written) EXPECT_EQ(ReadFileText(inner + "/" + name), "payload");
}

INSTANTIATE_TEST_SUITE_P(
    Names, QVUnzipHostileNameTest,
    ::testing::Values(
        HostileNameCase{"ParentSlash", "../evil.kvo", 1, {"evil.kvo"}},
        HostileNameCase{"ParentBackslash", "..\\evil.kvo", 1, {"evil.kvo"}},
        HostileNameCase{"ParentsDeep", "../../../../../../tmp/evil.kvo", 1, {"evil.kvo"}},
        HostileNameCase{"AbsoluteSlash", "/abs/evil.kvo", 1, {"evil.kvo"}},
        HostileNameCase{"AbsoluteBackslash", "\\abs\\evil.kvo", 1, {"evil.kvo"}},
        HostileNameCase{"DriveBackslash", "C:\\evil.kvo", 1, {"evil.kvo"}},
        HostileNameCase{"DriveRelative", "C:evil.kvo", 1, {"C:evil.kvo"}},
        HostileNameCase{"ControlInDroppedFolder", "bad\x01/evil.kvo", 1, {"evil.kvo"}},
        HostileNameCase{"ParentFolderEntry", "../", 1, {}},
        HostileNameCase{"Empty", "", 0, {}},
        HostileNameCase{"Dot", ".", 0, {}},
        HostileNameCase{"DotDot", "..", 0, {}},
        HostileNameCase{"EndsInDotDotSlash", "x/..", 0, {}},
        HostileNameCase{"EndsInDotDotBackslash", "x\\..", 0, {}},
        HostileNameCase{"EndsInDot", "x/.", 0, {}},
        HostileNameCase{"ControlCharacter", "evil\x01.kvo", 0, {}},
        HostileNameCase{"Tab", "evil\t.kvo", 0, {}},
        HostileNameCase{"LineFeed", "evil\n.kvo", 0, {}},
        HostileNameCase{"Escape", "\x1b[2Jevil.kvo", 0, {}},
        HostileNameCase{"Delete", "evil\x7f.kvo", 0, {}},
        HostileNameCase{"LongerThanNameBuffer", std::string(300, 'n'), 0, {}},
        HostileNameCase{"FolderPartCutByNameBuffer", std::string(258, 'd') + "/evil.kvo", 0, {}}),
    [](const auto& info) { return std::string(info.param.caseName); });

// Whatever stands at the target path is replaced, never written through.
struct StandingCase {
  const char* caseName;
  enum Kind { kSymlinkToFile, kSymlinkToFolder, kDanglingSymlink, kHardLink, kPlainFile } kind;
};

void PrintTo(const StandingCase& c, std::ostream* os) { *os << c.caseName; }

class QVUnzipStandingTest : public QVUnzipTest, public ::testing::WithParamInterface<StandingCase> {};

TEST_P(QVUnzipStandingTest, ReplacedByTheEntry) {
  const std::string outside = temp_ / "outside";
  ASSERT_EQ(mkdir(outside.c_str(), 0777), 0);
  const std::string victim = outside + "/victim.kvo";
  ASSERT_TRUE(WriteFileText(victim, "untouched"));
  const std::string target = out_ + "/food.kvo";
  switch (GetParam().kind) {
    case StandingCase::kSymlinkToFile: ASSERT_EQ(symlink(victim.c_str(), target.c_str()), 0); break;
    case StandingCase::kSymlinkToFolder: ASSERT_EQ(symlink(outside.c_str(), target.c_str()), 0); break;
    case StandingCase::kDanglingSymlink:
      ASSERT_EQ(symlink((outside + "/new.kvo").c_str(), target.c_str()), 0);
      break;
    case StandingCase::kHardLink: ASSERT_EQ(link(victim.c_str(), target.c_str()), 0); break;
    case StandingCase::kPlainFile: ASSERT_TRUE(WriteFileText(target, "an older, longer file")); break;
  }
  EXPECT_EQ(Unzip({{.name = "food.kvo", .data = "payload"}}), 1);
  struct stat st;
  ASSERT_EQ(lstat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_nlink, 1u);
  EXPECT_EQ(ReadFileText(target), "payload");
  EXPECT_EQ(ReadFileText(victim), "untouched");
  EXPECT_EQ(ListFolder(outside), Names{"victim.kvo"});
}

INSTANTIATE_TEST_SUITE_P(Standing, QVUnzipStandingTest,
                         ::testing::Values(StandingCase{"SymlinkToFile", StandingCase::kSymlinkToFile},
                                           StandingCase{"SymlinkToFolder", StandingCase::kSymlinkToFolder},
                                           StandingCase{"DanglingSymlink", StandingCase::kDanglingSymlink},
                                           StandingCase{"HardLink", StandingCase::kHardLink},
                                           StandingCase{"PlainFile", StandingCase::kPlainFile}),
                         [](const auto& info) { return std::string(info.param.caseName); });

TEST_F(QVUnzipTest, FolderAtTheTargetPathAnswersZero) {
  ASSERT_EQ(mkdir((out_ + "/food.kvo").c_str(), 0777), 0);
  EXPECT_EQ(Unzip({{.name = "food.kvo", .data = "payload"}}), 0);
  EXPECT_TRUE(ListFolder(out_ + "/food.kvo").empty());
}

TEST(QVInitTest, DoneIgnoresNull) {
  QVDone(nullptr);
  QVHandle handle = QVInit();
  ASSERT_NE(handle, nullptr);
  QVDone(handle);
}

}  // namespace
