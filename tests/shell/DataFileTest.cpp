#include "shell/DataFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/shell/ScratchFolder.h"

namespace {

// The tags of the table data file, the richest user of the line format.
const char* const KvoTags[] = {
    "kvo_1_0", "load_version", "table", "rows_start", "rows_end", "row_start", "row_end",
    "col_val_str", "col_val_long_str", "col_val_int", "col_val_double", "col_val_binary",
    "col_val_null", "kvo_end", nullptr,
};
enum { Header, LoadVersion, Table, RowsStart, ColValStr = 7, ColValInt = 9, ColValDouble = 10,
       ColValBinary = 11, End = 13 };

class DataFileTest : public ::testing::Test {
protected:
    std::string WriteAndRead(const std::function<void(DataFile&)>& write) {
        DataFile file;
        EXPECT_TRUE(file.OpenWrite(path, KvoTags, false));
        write(file);
        EXPECT_TRUE(file.Close());
        return ScratchFolder::Read(path);
    }
    void OpenWith(const std::string& bytes) {
        ScratchFolder::Write(path, bytes);
        ASSERT_TRUE(reader.OpenRead(path, KvoTags));
    }

    ScratchFolder folder;
    std::string path = folder.File("data.kvo");
    DataFile reader;
};

TEST_F(DataFileTest, PlainIntLineRoundTrips) {
    EXPECT_EQ(WriteAndRead([](DataFile& f) { f.SetScramble(false); f.WriteInt(LoadVersion, 103); }),
              "load_version: 103\r\n");
    ASSERT_TRUE(reader.OpenRead(path, KvoTags));
    EXPECT_EQ(reader.ReadTag(), LoadVersion);
    std::int32_t version = 0;
    EXPECT_TRUE(reader.ReadInt(version, 0, 0));
    EXPECT_EQ(version, 103);
    EXPECT_TRUE(reader.GetErrorText().empty());
}

TEST_F(DataFileTest, EveryWriterRefusesATagOutsideTheTable) {
    const std::string bytes = WriteAndRead([](DataFile& f) {
        const char data[] = "x";
        EXPECT_FALSE(f.WriteTag(14));
        EXPECT_FALSE(f.WriteTag(-1));
        EXPECT_FALSE(f.WriteTagValue(14, "%d", 1));
        EXPECT_FALSE(f.WriteInt(99, 1));
        EXPECT_FALSE(f.WriteBool(14, true));
        EXPECT_FALSE(f.WriteBinary(14, data, 1));
    });
    EXPECT_EQ(bytes, "");
}

TEST_F(DataFileTest, PlainWritersWriteTheLineFormat) {
    EXPECT_EQ(WriteAndRead([](DataFile& f) {
                  f.SetScramble(false);
                  f.WriteTag(Header);
                  f.WriteTagValue(Table, "%s", "100% Trail mix");
                  f.WriteBool(ColValInt, true);
                  f.WriteBool(ColValInt, false);
                  f.WriteTagValue(ColValDouble, "%.4lf", 1.5);
                  f.WriteTagValue(ColValStr, "%s", "");
              }),
              "kvo_1_0:\r\ntable: 100% Trail mix\r\ncol_val_int: 1\r\ncol_val_int: 0\r\n"
              "col_val_double: 1.5000\r\ncol_val_str: \r\n");
}

TEST_F(DataFileTest, AppendKeepsTheLinesWrittenBefore) {
    WriteAndRead([](DataFile& f) { f.SetScramble(false); f.WriteTag(Header); });
    DataFile file;
    ASSERT_TRUE(file.OpenWrite(path, KvoTags, true));
    file.SetScramble(false);
    file.WriteTag(End);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ScratchFolder::Read(path), "kvo_1_0:\r\nkvo_end:\r\n");
}

TEST_F(DataFileTest, TagLinesAreScrambledUntilTheOwnerClearsTheFlag) {
    EXPECT_EQ(WriteAndRead([](DataFile& f) { f.WriteInt(LoadVersion, 103); }),
              "1B1A0C062D171F171F5D1B075D4F404545\r\n");
}

TEST_F(DataFileTest, LongLinesGrowTheBuffer) {
    const std::string value(2345, 'v');
    WriteAndRead([&](DataFile& f) { f.SetScramble(false); f.WriteTagValue(ColValStr, "%s", value.c_str()); });
    ASSERT_TRUE(reader.OpenRead(path, KvoTags));
    EXPECT_EQ(reader.ReadTag(), ColValStr);
    EXPECT_EQ(reader.SkipSpaces(), value);
}

struct ScrambleCase {
    const char* name;
    friend void PrintTo(const ScrambleCase& c, std::ostream* os) { *os << c.name; }
    std::string line;
    std::string scrambled;
};

class ScrambledLineTest : public DataFileTest, public ::testing::WithParamInterface<ScrambleCase> {};

TEST_P(ScrambledLineTest, WritesTheHexFormAndReadsItBack) {
    const ScrambleCase& c = GetParam();
    EXPECT_EQ(WriteAndRead([&](DataFile& f) { f.WriteScrambled(c.line.data(), static_cast<long>(c.line.size())); }),
              c.scrambled + "\r\n");
    ASSERT_TRUE(reader.OpenRead(path, KvoTags));
    ASSERT_TRUE(reader.ReadLine());
    EXPECT_EQ(reader.RawValue(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, ScrambledLineTest,
    ::testing::Values(ScrambleCase{"OneLetterTag", "a:", "164F"},
                      ScrambleCase{"LoadVersion", "load_version: 103", "1B1A0C062D171F171F5D1B075D4F404545"},
                      ScrambleCase{"KeyWrapsAfter36Bytes", std::string(37, '\0'),
                                   "77756D6272617A656C347469676F7175763931383237336861706E69786F72353236343177"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFileTest, WriteScrambledTakesATextUpToItsTerminator) {
    EXPECT_EQ(WriteAndRead([](DataFile& f) { f.WriteScrambled("a:", -1); }), "164F\r\n");
}

TEST_F(DataFileTest, BinaryValueWithZeroBytesAndLineBreaksRoundTrips) {
    const std::string bytes("\0\n\r\xff" "abc\0", 8);
    WriteAndRead([&](DataFile& f) {
        f.SetScramble(false);   // binary lines are scrambled whatever the flag says
        f.WriteBinary(ColValBinary, bytes.data(), bytes.size());
    });
    const std::string onDisk = ScratchFolder::Read(path);
    EXPECT_EQ(onDisk.find_first_not_of("0123456789ABCDEF"), onDisk.size() - 2);
    ASSERT_TRUE(reader.OpenRead(path, KvoTags));
    EXPECT_EQ(reader.ReadTag(), ColValBinary);
    EXPECT_EQ(reader.LineLength(), bytes.size());
    EXPECT_EQ(reader.RawValue(), bytes);
}

struct ReadCase {
    const char* name;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
    std::string fileBytes;
    std::vector<int> tags;   // what ReadTag answers, in turn
    std::string lastValue;   // SkipSpaces after the last recognized tag
};

class ReadTagTest : public DataFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTagTest, ReadsTheTagsInTurn) {
    const ReadCase& c = GetParam();
    OpenWith(c.fileBytes);
    std::string value;
    for (int expected : c.tags) {
        const int tag = reader.ReadTag();
        EXPECT_EQ(tag, expected);
        if (tag >= 0) value = reader.SkipSpaces();
    }
    EXPECT_EQ(value, c.lastValue);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadTagTest,
    ::testing::Values(
        ReadCase{"EmptyLinesVanish", "\r\n\n\r\r\ntable: Meals\r\n\r\n\r\nkvo_end:\r\n", {Table, End, -2}, ""},
        ReadCase{"LoneCrAndLoneLfEndLines", "table: a\rtable: b\ntable: c", {Table, Table, Table, -2}, "c"},
        ReadCase{"CapitalsFindTheTag", "TABLE: Meals\r\n", {Table}, "Meals"},
        ReadCase{"BlanksAndTabsBeforeTheValue", "table: \t  Meals \r\n", {Table}, "Meals "},
        ReadCase{"PlainAndScrambledMix", "kvo_1_0:\r\n1B1A0C062D171F171F5D1B075D4F404545\r\nrows_end:\r\n",
                 {Header, LoadVersion, 4}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFileTest, OddLastDigitIsDropped) {
    OpenWith("164F0\r\n");
    ASSERT_TRUE(reader.ReadLine());
    EXPECT_EQ(reader.RawValue(), "a:");
}

TEST_F(DataFileTest, NonHexDigitDecodesAsZero) {
    OpenWith("1G4F\r\n");
    ASSERT_TRUE(reader.ReadLine());
    EXPECT_EQ(reader.RawValue(), std::string() + static_cast<char>(0x10 ^ 'w') + ':');
}

TEST_F(DataFileTest, UnknownTagIsNamedInTheError) {
    OpenWith("tables: Meals\r\n");
    EXPECT_EQ(reader.ReadTag(), -1);
    EXPECT_EQ(reader.GetErrorText(), "unrecognized tag name: tables");
}

TEST_F(DataFileTest, LineWithoutColonLeavesTheErrorText) {
    OpenWith("tables: Meals\r\nno colon here\r\n");
    EXPECT_EQ(reader.ReadTag(), -1);
    EXPECT_EQ(reader.ReadTag(), -2);
    EXPECT_EQ(reader.GetErrorText(), "unrecognized tag name: tables");
}

TEST_F(DataFileTest, EndOfFileIsPremature) {
    OpenWith("kvo_1_0:\r\n\r\n");
    EXPECT_EQ(reader.ReadTag(), Header);
    EXPECT_EQ(reader.ReadTag(), -2);
    EXPECT_EQ(reader.GetErrorText(), "Premature end of file");
}

TEST_F(DataFileTest, OverlongTagIsUnknownAndCut) {
    OpenWith(std::string(150, 't') + ": x\r\n");
    EXPECT_EQ(reader.ReadTag(), -1);
    EXPECT_EQ(reader.GetErrorText(), "unrecognized tag name: " + std::string(99, 't'));
}

TEST_F(DataFileTest, TagLongerThanStoredNeverMatchesItsPrefix) {
    // 99 characters are kept: a tag of 100 whose first 99 would match must still be unknown.
    static const std::string longName(99, 'k');
    const char* const tags[] = {longName.c_str(), nullptr};
    ScratchFolder::Write(path, longName + "k:\r\n" + longName + ":\r\n");
    ASSERT_TRUE(reader.OpenRead(path, tags));
    EXPECT_EQ(reader.ReadTag(), -1);
    EXPECT_EQ(reader.ReadTag(), 0);
}

struct IntCase {
    const char* name;
    friend void PrintTo(const IntCase& c, std::ostream* os) { *os << c.name; }
    std::string line;
    int min, max;
    bool ok;
    std::int32_t value;   // after the read, from a start value of 7
};

class ReadIntTest : public DataFileTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ReadIntTest, ReadsAndChecksTheRange) {
    const IntCase& c = GetParam();
    OpenWith(c.line + "\r\n");
    ASSERT_GE(reader.ReadTag(), 0);
    std::int32_t value = 7;
    EXPECT_EQ(reader.ReadInt(value, c.min, c.max), c.ok);
    EXPECT_EQ(value, c.value);
    if (!c.ok) {
        EXPECT_EQ(reader.GetErrorText(), "Data out of range [" + std::to_string(c.min) + ", " +
                                             std::to_string(c.max) + "] in the line '" + c.line + "'");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ReadIntTest,
    ::testing::Values(IntCase{"InRange", "col_val_int: 4", 0, 4, true, 4},
                      IntCase{"AboveRange", "col_val_int: 5", 0, 4, false, 5},
                      IntCase{"Negative", "col_val_int: -12", -20, 0, true, -12},
                      IntCase{"AnyWhenMinEqualsMax", "col_val_int: 123456", 0, 0, true, 123456},
                      IntCase{"NoNumberKeepsTheOldValue", "col_val_int: x", 0, 0, true, 7},
                      IntCase{"NoNumberTestsTheOldValue", "col_val_int: ", 0, 4, false, 7},
                      IntCase{"TooLargeForThirtyTwoBits", "col_val_int: 99999999999", 0, 4, false, INT32_MAX}),
    [](const auto& info) { return std::string(info.param.name); });

struct Int64Case {
    const char* name;
    friend void PrintTo(const Int64Case& c, std::ostream* os) { *os << c.name; }
    std::string line;
    bool ok;
    std::int64_t value;   // after the read, from a start value of 7
};

class ReadInt64Test : public DataFileTest, public ::testing::WithParamInterface<Int64Case> {};

TEST_P(ReadInt64Test, ReadsEveryNumberOfSixtyFourBitsAndRefusesLargerOnes) {
    const Int64Case& c = GetParam();
    OpenWith(c.line + "\r\n");
    ASSERT_GE(reader.ReadTag(), 0);
    std::int64_t value = 7;
    EXPECT_EQ(reader.ReadInt64(value), c.ok);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(reader.GetErrorText(),
              c.ok ? "" : "Data out of range [-9223372036854775808, 9223372036854775807] in the line '" + c.line + "'");
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ReadInt64Test,
    ::testing::Values(Int64Case{"BeyondThirtyTwoBits", "col_val_int: 99999999999", true, 99999999999},
                      Int64Case{"Smallest", "col_val_int: -9223372036854775808", true, INT64_MIN},
                      Int64Case{"Largest", "col_val_int: 9223372036854775807", true, INT64_MAX},
                      Int64Case{"ThirtyDigits", "col_val_int: 123456789012345678901234567890", false, 7},
                      Int64Case{"BelowSixtyFourBits", "col_val_int: -9223372036854775809", false, 7},
                      Int64Case{"NoNumberKeepsTheOldValue", "col_val_int: x", true, 7}),
    [](const auto& info) { return std::string(info.param.name); });

class NonFiniteDoubleTest : public DataFileTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(NonFiniteDoubleTest, IsRefusedAndKeepsTheOldValue) {
    const std::string line = "col_val_double: " + GetParam();
    OpenWith(line + "\r\n");
    ASSERT_EQ(reader.ReadTag(), ColValDouble);
    double value = 1.25;
    EXPECT_FALSE(reader.ReadDouble(value));
    EXPECT_EQ(value, 1.25);
    EXPECT_EQ(reader.GetErrorText(), "Data out of range in the line '" + line + "'");
}

INSTANTIATE_TEST_SUITE_P(Numbers, NonFiniteDoubleTest, ::testing::Values("1e999", "-1e999", "inf", "nan"),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(DataFileTest, LineNumbersCountEveryLineEndOnce) {
    OpenWith("table: a\r\n\r\ntable: b\ntable: c\rtable: d\n\ntable: e");
    for (long expected : {1, 3, 4, 5, 7}) {
        ASSERT_EQ(reader.ReadTag(), Table);
        EXPECT_EQ(reader.LineNumber(), expected);
    }
}

// The text of a value is a C string; the raw bytes (a binary value) keep what follows the zero.
TEST_F(DataFileTest, ATextEndsAtItsFirstZeroByte) {
    OpenWith(std::string("table: Me\0als\r\n", 16));
    ASSERT_EQ(reader.ReadTag(), Table);
    EXPECT_EQ(reader.SkipSpaces(), "Me");
    EXPECT_EQ(reader.RawValue(), std::string(" Me\0als", 7));
}

TEST_F(DataFileTest, AFolderCannotBeOpenedForReading) {
    const std::string folderPath = folder.File("kvo.dat");
    std::filesystem::create_directory(folderPath);
    EXPECT_FALSE(reader.OpenRead(folderPath, KvoTags));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.GetErrorText(), "Could not open file '" + folderPath + "'");
}

// A line of the limit reads; one byte more is refused with its line number, and nothing after it
// is read.
TEST_F(DataFileTest, ALineLongerThanTheLimitIsRefusedByItsNumber) {
    std::string bytes = "kvo_1_0:\r\n\r\ntable: ";
    bytes += std::string(DataFile::MaxLineLength - 7, 'x') + "\r\ntable: ";
    bytes += std::string(DataFile::MaxLineLength - 6, 'y') + "\r\nkvo_end:\r\n";
    OpenWith(bytes);
    ASSERT_EQ(reader.ReadTag(), Header);
    ASSERT_EQ(reader.ReadTag(), Table);
    EXPECT_EQ(reader.LineLength(), DataFile::MaxLineLength - 6);
    EXPECT_EQ(reader.ReadTag(), -2);
    EXPECT_TRUE(reader.ReadFailed());
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.GetErrorText(), "The line 4 is longer than 64 MiB");
    EXPECT_EQ(reader.ReadTag(), -2);
    EXPECT_EQ(reader.GetErrorText(), "The line 4 is longer than 64 MiB");
}

TEST_F(DataFileTest, ReadBoolIsTrueOnlyForOne) {
    OpenWith("col_val_int: 1\r\ncol_val_int: 0\r\ncol_val_int: 2\r\ncol_val_int: yes\r\n");
    for (bool expected : {true, false, false, false}) {
        ASSERT_EQ(reader.ReadTag(), ColValInt);
        bool value = !expected;
        EXPECT_TRUE(reader.ReadBool(value));
        EXPECT_EQ(value, expected);
    }
}

TEST_F(DataFileTest, ReadDoubleUsesTheCLocaleAndKeepsTheValueWhenNoneIsRead) {
    OpenWith("col_val_double: 1.2500\r\ncol_val_double: none\r\n");
    double value = 0;
    ASSERT_EQ(reader.ReadTag(), ColValDouble);
    EXPECT_TRUE(reader.ReadDouble(value));
    EXPECT_DOUBLE_EQ(value, 1.25);
    ASSERT_EQ(reader.ReadTag(), ColValDouble);
    EXPECT_TRUE(reader.ReadDouble(value));
    EXPECT_DOUBLE_EQ(value, 1.25);
}

TEST_F(DataFileTest, OpenReadOfAMissingFileSaysWhich) {
    EXPECT_FALSE(reader.OpenRead(folder.File("missing.kvo"), KvoTags));
    EXPECT_EQ(reader.GetErrorText(), "Could not open file '" + folder.File("missing.kvo") + "'");
}

TEST_F(DataFileTest, AFailedOpenForWritingNamesTheFileInsteadOfAnEmptyError) {
    DataFile file;
    const std::string target = folder.File("no/such/folder/x.kvo");
    EXPECT_FALSE(file.OpenWrite(target, KvoTags, false));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetErrorText(), "Could not open file '" + target + "'");
}

TEST_F(DataFileTest, OpenAgainAfterCloseClearsTheError) {
    OpenWith("tables:\r\n");
    EXPECT_EQ(reader.ReadTag(), -1);
    reader.Close();
    EXPECT_FALSE(reader.GetErrorText().empty());
    ASSERT_TRUE(reader.OpenRead(path, KvoTags));
    EXPECT_TRUE(reader.GetErrorText().empty());
}

TEST_F(DataFileTest, CloseReportsAWriteThatFailed) {
    DataFile file;
    ASSERT_TRUE(file.OpenWrite("/dev/full", KvoTags, false));
    file.SetScramble(false);
    file.WriteTag(Header);
    EXPECT_FALSE(file.Close());
}

}  // namespace
