// The table data file reader on malformed and unusual files, without a database: what the
// import says of a file that is not whole, and how the values of scrambled lines and of every
// kind of line end read back.

#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/DBFile.h"
#include "exchange/TableDataReader.h"
#include "shell/DataFile.h"
#include "tests/exchange/ScrambledLine.h"
#include "tests/shell/ScratchFolder.h"

namespace {

constexpr const char* Head = "kvo_1_0:\r\nload_version: 103\r\n";
constexpr const char* VersionMessage =
    "The version of your product is not new enough to load this data file. See the Help menu to visit our web site "
    "and download an updated version.";

struct FileCase {
    const char* name;
    std::string content;   // "<path>" stands for the file's path in the expected message
    std::string error;     // empty: the import succeeds
};
void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

// The file goes through the import with a registry that knows Ingredients; no table is to be
// read, so the import never reaches a database.
class MalformedFileTest : public ::testing::TestWithParam<FileCase> {
protected:
    ScratchFolder folder;
};

TEST_P(MalformedFileTest, TheImportSaysWhatIsWrong) {
    const FileCase& c = GetParam();
    const std::string path = folder.File("data.kvo");
    ScratchFolder::Write(path, c.content);
    SchemaList schemas;
    AddTableSchema(schemas)->LoadColumns("Ingredients", nullptr);
    DBFile::ImportArguments arguments;
    arguments.path = path;
    arguments.schemas = &schemas;
    arguments.maxLoadVersion = 302;
    DBFile transfer;
    const bool ok = transfer.ImportWorker(arguments);
    std::string expected = c.error;
    if (const auto at = expected.find("<path>"); at != std::string::npos) expected.replace(at, 6, path);
    EXPECT_EQ(transfer.LastError(), expected);
    EXPECT_EQ(ok, expected.empty());
}

TEST(TableDataReaderTest, AFolderIsAFileThatCannotBeOpened) {
    ScratchFolder folder;
    const std::string path = folder.File("data.kvo");
    std::filesystem::create_directory(path);
    TableDataReader reader;
    EXPECT_FALSE(reader.Open(path, 302));
    EXPECT_EQ(reader.Error(), "Could not open the file for loading: " + path);
}

const std::string Skipped = "table: Ingredients\r\nrows_start: id\r\nrow_start:\r\ncol_val_int: 1\r\nrow_end:\r\nrows_end:\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedFileTest,
    ::testing::Values(
        FileCase{"EmptyFile", "", "Expected first tag/header line in file: <path>"},
        FileCase{"NoHeader", "load_version: 103\r\nkvo_end:\r\n", "Expected first tag/header line in file: <path>"},
        FileCase{"NoLoadVersion", "kvo_1_0:\r\nkvo_end:\r\n", "Expected load version line in file: <path>"},
        FileCase{"LaterLoadVersion", "kvo_1_0:\r\nload_version: 303\r\nkvo_end:\r\n", VersionMessage},
        FileCase{"LastReadableLoadVersion", "kvo_1_0:\r\nload_version: 302\r\nkvo_end:\r\n", ""},
        FileCase{"UnknownTable", std::string(Head) + "table: Measures\r\nrows_start: id\r\nrows_end:\r\nkvo_end:\r\n",
                 "Table in file does not have matching schema: Measures"},
        FileCase{"NoEndLine", std::string(Head) + Skipped, "Premature end of file"},
        FileCase{"EndInsideATable", std::string(Head) + "table: Ingredients\r\nrows_start: id\r\nrow_start:\r\n",
                 "Premature end of file"},
        FileCase{"CRLineEnds", "kvo_1_0:\rload_version: 103\rtable: INGREDIENTS\rrows_start: id\rrows_end:\rkvo_end:\r", ""},
        FileCase{"LFLineEnds", "kvo_1_0:\nload_version: 103\ntable: Ingredients\nrows_start: id\nrows_end:\nkvo_end:", ""},
        FileCase{"CRLFLineEndsAndEmptyLines", std::string(Head) + "\r\n\r\n" + Skipped + "\r\nkvo_end:\r\n", ""},
        FileCase{"UnknownAndBrokenLinesArePassedOver",
                 std::string(Head) + "bogus_tag: 1\r\nno colon here\r\n" + Skipped + "kvo_end:\r\n", ""},
        FileCase{"ScrambledTags", Scrambled("kvo_1_0:") + "\r\n" + Scrambled("load_version: 103") + "\r\n" +
                                      Scrambled("kvo_end:") + "\r\n",
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValueCase {
    const char* name;
    std::string line;   // the value line as it stands in the file
    int tag;
    WDataValue value;
};
void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

// A file of one table, one column and one row that holds the value line; the reader is left
// before that row.
class OneValueFileTest : public ::testing::TestWithParam<ValueCase> {
protected:
    void OpenAtItsRow(const std::string& line, TableDataReader& reader) {
        const std::string path = folder.File("data.kvo");
        ScratchFolder::Write(path, std::string(Head) + "table: Ingredients\r\nrows_start: id\r\nrow_start:\r\n" +
                                       line + "\r\nrow_end:\r\nrows_end:\r\nkvo_end:\r\n");
        ASSERT_TRUE(reader.Open(path, 302)) << reader.Error();
        std::string table;
        ASSERT_EQ(reader.NextTable(table), TableDataReader::Next::Table);
        EXPECT_EQ(table, "Ingredients");
        ASSERT_TRUE(reader.ReadColumnList());
    }
    ScratchFolder folder;
};

class ValueLineTest : public OneValueFileTest {};

TEST_P(ValueLineTest, ReadsTheValue) {
    const ValueCase& c = GetParam();
    TableDataReader reader;
    ASSERT_NO_FATAL_FAILURE(OpenAtItsRow(c.line, reader));
    std::vector<TableDataValue> values;
    ASSERT_EQ(reader.NextRow(values), TableDataReader::Row::Row);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].tag, c.tag);
    EXPECT_EQ(values[0].value, c.value);
    EXPECT_EQ(reader.NextRow(values), TableDataReader::Row::TableEnd);
    std::string table;
    EXPECT_EQ(reader.NextTable(table), TableDataReader::Next::End);
}

// The bytes that a scrambled line of these hexadecimal digits decodes to, pair by pair.
std::string Decoded(const std::string& hex) {
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0; };
    std::string bytes;
    for (std::size_t pair = 0; 2 * pair + 1 < hex.size(); ++pair)
        bytes += static_cast<char>((digit(hex[2 * pair]) * 16 + digit(hex[2 * pair + 1])) ^
                                   DataFile::ScrambleKey[pair % DataFile::ScrambleKey.size()]);
    return bytes;
}

const std::string ScrambledText = Scrambled("col_val_str: abc");
std::string WithNonHexDigit() {
    std::string hex = ScrambledText;
    hex[hex.size() - 2] = 'z';
    return hex;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ValueLineTest,
    ::testing::Values(
        ValueCase{"Text", "col_val_str: O'Brien: C:\\salt", TagStr, WDataValue("O'Brien: C:\\salt")},
        ValueCase{"LeadingBlanksOfAText", "col_val_long_str:  \tindented", TagLongStr, WDataValue(" \tindented")},
        ValueCase{"EmptyText", "col_val_long_str: ", TagLongStr, WDataValue("")},
        ValueCase{"Integer", "col_val_int: -42", TagInt, WDataValue(-42)},
        ValueCase{"EmptyIntegerIsNull", "col_val_int: ", TagInt, WDataValue()},
        ValueCase{"Double", "col_val_double: 2.5000", TagDouble, WDataValue(2.5)},
        ValueCase{"Null", "col_val_null: ", TagNull, WDataValue()},
        ValueCase{"ScrambledLineBreak", Scrambled("col_val_str: a\r\nb"), TagStr, WDataValue("a\r\nb")},
        ValueCase{"Binary", Scrambled(std::string("col_val_binary:\0\r\n\xff", 19)), TagBinary,
                  WDataValue(WDataValue::Bytes{0, '\r', '\n', 0xff})},
        ValueCase{"IntegerBeyondThirtyTwoBits", "col_val_int: 99999999999", TagInt, WDataValue(99999999999LL)},
        ValueCase{"PlainTextEndsAtAZeroByte", std::string("col_val_str: Salt\0x", 19), TagStr, WDataValue("Salt")},
        ValueCase{"ScrambledTextEndsAtAZeroByte", Scrambled(std::string("col_val_long_str: Pep\0per", 25)), TagLongStr,
                  WDataValue("Pep")},
        ValueCase{"ScrambledOddLengthDropsTheLastDigit", ScrambledText + "7", TagStr, WDataValue("abc")},
        ValueCase{"ScrambledNonHexDigitCountsAsZero", WithNonHexDigit(), TagStr,
                  WDataValue(Decoded(WithNonHexDigit()).substr(13))}),
    [](const auto& info) { return std::string(info.param.name); });

// A number that no column could hold as it stands ends the import, naming its line.
class RefusedValueTest : public OneValueFileTest {};

TEST_P(RefusedValueTest, EndsTheTableWithTheRangeMessage) {
    const ValueCase& c = GetParam();
    TableDataReader reader;
    ASSERT_NO_FATAL_FAILURE(OpenAtItsRow(c.line, reader));
    std::vector<TableDataValue> values;
    EXPECT_EQ(reader.NextRow(values), TableDataReader::Row::Failed);
    EXPECT_EQ(reader.Error(), c.value.AsText());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RefusedValueTest,
    ::testing::Values(
        ValueCase{"IntegerOfThirtyDigits", "col_val_int: 123456789012345678901234567890", TagInt,
                  WDataValue("Data out of range [-9223372036854775808, 9223372036854775807] in the line "
                             "'col_val_int: 123456789012345678901234567890'")},
        ValueCase{"InfiniteDouble", "col_val_double: 1e999", TagDouble,
                  WDataValue("Data out of range in the line 'col_val_double: 1e999'")},
        ValueCase{"NotANumber", Scrambled("col_val_double: nan"), TagDouble,
                  WDataValue("Data out of range in the line 'col_val_double: nan'")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
