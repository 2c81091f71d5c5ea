// The report file reader on its own, without any window: malformed files first, then what a
// good file gives.

#include "platform/report/ReportReader.h"

#include <gtest/gtest.h>

namespace {

struct BadFile {
    std::string name;
    std::string text;
    int line;                  // the line the error names; 0 for the whole file
    std::string messagePart;
};

std::ostream& operator<<(std::ostream& out, const BadFile& c) { return out << c.name; }

const std::string Head = "report \"R\"\nparameter \"Trip id\" integer\n";

const BadFile BadFiles[] = {
    {"EmptyFile", "", 0, "empty"},
    {"OnlyComments", "# nothing\n\n   # more\n", 0, "empty"},
    {"NoReportLine", "title \"T\"\n", 1, "must start with a \"report\" line"},
    {"SecondReportLine", "report A\nreport B\n", 2, "second \"report\""},
    {"NothingShown", "report A\nparameter x text\n", 0, "shows nothing"},
    {"UnknownStatement", Head + "titel \"T\"\n", 3, "unknown statement \"titel\""},
    {"UnclosedQuote", "report \"Shopping\n", 1, "not closed"},
    {"QuoteInsideWord", "report Shop\"ping\"\n", 1, "quote inside a word"},
    {"NoBlankAfterQuote", "report \"A\"B\n", 1, "blank must follow"},
    {"TooManyWords", "report A B\n", 1, "expected: report <name>"},
    {"BadParameterType", "report A\nparameter x date\n", 2, "integer, number or text"},
    {"BadIntegerDefault", "report A\nparameter x integer default 1.5\n", 2, "whole number"},
    {"DefaultWithoutValue", "report A\nparameter x integer default\n", 2, "default <value>"},
    {"DuplicateParameter", "report A\nparameter x text\nparameter X text\n", 3, "second parameter"},
    {"ParameterWithBrace", "report A\nparameter \"a{b\" text\n", 2, "braces"},
    {"DatasetNotClosed", Head + "dataset d\n  select 1\n", 3, "not closed with \"end\""},
    {"DatasetWithoutSql", Head + "dataset d\n\nend\ntitle T\n", 3, "has no SQL"},
    {"DuplicateDataset", Head + "dataset d\nselect 1\nend\ndataset D\nselect 2\nend\n", 6, "second dataset"},
    {"UnknownParameterInSql", Head + "dataset d\nselect 1\nwhere id = {Trip idd}\nend\n", 5, "no parameter named \"Trip idd\""},
    {"UnclosedParameterInSql", Head + "dataset d\nselect {Trip id\nend\n", 4, "not closed"},
    {"EndWithoutBlock", Head + "end\n", 3, "without a table or dataset"},
    {"TableOfUnknownDataset", Head + "table items\ncolumn A a\nend\n", 3, "no dataset named \"items\""},
    {"TableNotClosed", Head + "dataset d\nselect 1 a\nend\ntable d\ncolumn A a\n", 6, "not closed"},
    {"TableWithoutColumns", Head + "dataset d\nselect 1 a\nend\ntable d\nend\n", 6, "no columns"},
    {"ColumnWithoutColumnName", Head + "dataset d\nselect 1 a\nend\ntable d\ncolumn A\nend\n", 7, "expected: column"},
    {"BadNumberPattern", Head + "dataset d\nselect 1 a\nend\ntable d\ncolumn A a number 0.#0\nend\n", 7, "number pattern"},
    {"BadRoundingWord", Head + "dataset d\nselect 1 a\nend\ntable d\ncolumn A a number 0.## down\nend\n", 7,
     "unknown column setting \"down\""},
    {"WidthOutOfRange", Head + "dataset d\nselect 1 a\nend\ntable d\ncolumn A a width 0\nend\n", 7, "1 to 100"},
    {"WidthsOverAHundred", Head + "dataset d\nselect 1 a, 2 b\nend\ntable d\ncolumn A a width 60\ncolumn B b width 50\nend\n",
     8, "more than 100"},
    {"UnknownStatementInTable", Head + "dataset d\nselect 1 a\nend\ntable d\ncolum A a\nend\n", 7, "in a table"},
    {"GroupNoteWithoutColumn", Head + "dataset d\nselect 1 a\nend\ntable d\ngroup a \"{a}\" note\ncolumn A a\nend\n", 7,
     "note <column>"},
    {"UnclosedField", Head + "title \"Trip {Trip id\"\n", 3, "not closed"},
    {"LoneClosingBrace", Head + "title \"a } b\"\n", 3, "without its '{'"},
    {"UnknownFieldOutsideTable", Head + "title \"{trip_name}\"\n", 3, "no parameter or dataset field named \"trip_name\""},
    {"BadFieldPattern", Head + "title \"{Trip id|0.x}\"\n", 3, "bad number pattern"},
    {"BadPageBandSide", Head + "title T\npageheader middle \"x\"\n", 4, "left, center and right"},
    {"BadOrientation", Head + "page sideways\ntitle T\n", 3, "portrait or landscape"},
};

class ReportReaderErrorTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(ReportReaderErrorTest, NamesTheLineAndTheFault) {
    const BadFile& c = GetParam();
    ReportReader reader;
    EXPECT_FALSE(reader.Read(c.text).has_value());
    EXPECT_EQ(reader.Error().line, c.line) << reader.Error().Text();
    EXPECT_NE(reader.Error().message.find(c.messagePart), std::string::npos) << reader.Error().Text();
    if (c.line > 0) EXPECT_EQ(reader.Error().Text().rfind("line " + std::to_string(c.line) + ": ", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(MalformedFiles, ReportReaderErrorTest, ::testing::ValuesIn(BadFiles),
                         [](const auto& info) { return info.param.name; });

const char* const GoodFile =
    "\xEF\xBB\xBF# A report of one trip\r\n"
    "report \"Trip \\\"plan\\\"\"\r\n"
    "page landscape\r\n"
    "parameter \"Trip id\" integer\r\n"
    "parameter unit_type integer default 0\r\n"
    "parameter factor number default 1.5\r\n"
    "dataset trip\r\n"
    "  -- a comment's {braces} and 'quote stay\r\n"
    "  select name, '{not a parameter}' from Trips where id = {Trip id} and {unit_type} >= 0\r\n"
    "  and id = { Trip id }\r\n"
    "end\r\n"
    "dataset lines\r"
    "select 1 a\r"
    "END\r"
    "pageheader left \"{trip.name}\"\r\n"
    "pageheader right \"Kestavo {unit_type}\"\n"
    "pagefooter center \"Page {page} of {pages}\"\n"
    "title \"Sj\xC3\xB8rt\xC3\xB8r {{braces}}\"\n"
    "text \"Factor {factor|0.0#}\"\n"
    "table lines\n"
    "\theading \"Lines\"\n"
    "  empty \"No lines\"\n"
    "  group day \"Day {day}\" note notes\n"
    "  group stop \"{stop}\"\n"
    "  column Ingredient name width 50\n"
    "  column \"Amount\" amount right width 20 number 0.## up\n"
    "  column \"\" note center\n"
    "  when name\n"
    "end\n";

TEST(ReportReaderTest, ReadsEveryPartOfAGoodFile) {
    ReportReader reader;
    const std::optional<ReportDefinition> report = reader.Read(GoodFile);
    ASSERT_TRUE(report.has_value()) << reader.Error().Text();
    EXPECT_EQ(report->name, "Trip \"plan\"");
    EXPECT_TRUE(report->landscape);
    ASSERT_EQ(report->parameters.size(), 3u);
    EXPECT_EQ(report->parameters[0].name, "Trip id");
    EXPECT_EQ(report->parameters[0].type, ReportParameterType::Integer);
    EXPECT_FALSE(report->parameters[0].hasDefault);
    EXPECT_EQ(report->parameters[2].type, ReportParameterType::Number);
    EXPECT_EQ(report->parameters[2].defaultValue, "1.5");

    ASSERT_EQ(report->datasets.size(), 2u);
    const ReportDataset& trip = report->datasets[0];
    EXPECT_EQ(trip.line, 7);
    EXPECT_EQ(trip.parameterOrder, (std::vector<int>{0, 1, 0}));
    EXPECT_NE(trip.sql.find("-- a comment's {braces} and 'quote stay"), std::string::npos) << trip.sql;
    EXPECT_NE(trip.sql.find("'{not a parameter}' from Trips where id = ? and ? >= 0"), std::string::npos) << trip.sql;
    EXPECT_NE(trip.sql.find("and id = ?"), std::string::npos) << trip.sql;
    EXPECT_EQ(report->datasets[1].sql, "select 1 a\n");

    EXPECT_EQ(report->pageHeader.left.text, "{trip.name}");
    EXPECT_EQ(report->pageFooter.center.text, "Page {page} of {pages}");
    ASSERT_EQ(report->body.size(), 3u);
    EXPECT_EQ(report->body[0].kind, ReportBlock::Kind::Title);
    EXPECT_EQ(report->body[0].text.text, "Sj\xC3\xB8rt\xC3\xB8r {{braces}}");
    const ReportTable& table = report->body[2].table;
    EXPECT_EQ(table.dataset, "lines");
    EXPECT_EQ(table.heading.text, "Lines");
    EXPECT_EQ(table.empty.text, "No lines");
    ASSERT_EQ(table.groups.size(), 2u);
    EXPECT_EQ(table.groups[0].note, "notes");
    ASSERT_EQ(table.columns.size(), 3u);
    EXPECT_EQ(table.columns[0].widthPercent, 50);
    EXPECT_EQ(table.columns[1].align, ReportAlign::Right);
    EXPECT_EQ(table.columns[1].format.maxDecimals, 2);
    EXPECT_EQ(table.columns[1].format.rounding, ReportRounding::Up);
    EXPECT_EQ(table.columns[2].title, "");
    EXPECT_EQ(table.columns[2].align, ReportAlign::Center);
    EXPECT_EQ(table.when, "name");
}

struct NumberCase {
    std::string name;
    double value;
    std::string pattern;
    ReportRounding rounding;
    std::string shown;
};

std::ostream& operator<<(std::ostream& out, const NumberCase& c) { return out << c.name; }

const NumberCase Numbers[] = {
    {"TrailingZerosDropped", 1.5, "0.##", ReportRounding::Nearest, "1.5"},
    {"WholeNumberHasNoPoint", 3.0, "0.##", ReportRounding::Nearest, "3"},
    {"NearestRoundsHalfAway", 2.345, "0.##", ReportRounding::Nearest, "2.35"},
    {"NearestRoundsDown", 2.344, "0.##", ReportRounding::Nearest, "2.34"},
    {"UpRoundsAnyRest", 2.341, "0.##", ReportRounding::Up, "2.35"},
    {"UpKeepsAnExactValue", 2.34, "0.##", ReportRounding::Up, "2.34"},
    {"UpIgnoresArithmeticNoise", 1500 * 0.001, "0.##", ReportRounding::Up, "1.5"},
    {"UpIgnoresNoiseBelow", 0.1 * 3, "0.##", ReportRounding::Up, "0.3"},
    {"UpOfATinyAmountShowsOneHundredth", 0.0001, "0.##", ReportRounding::Up, "0.01"},
    {"NearestOfATinyAmountIsZero", 0.0001, "0.##", ReportRounding::Nearest, "0"},
    {"NoNegativeZero", -0.001, "0.##", ReportRounding::Nearest, "0"},
    {"FixedDecimals", 1.5, "0.00", ReportRounding::Nearest, "1.50"},
    {"MixedDecimals", 1.0, "0.0#", ReportRounding::Nearest, "1.0"},
    {"WholePattern", 2.5, "0", ReportRounding::Up, "3"},
    {"LargeNumber", 123456.789, "0.##", ReportRounding::Nearest, "123456.79"},
};

class ReportNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReportNumberTest, ShowsAtMostThePatternsDecimals) {
    const NumberCase& c = GetParam();
    ReportNumberFormat format;
    ASSERT_TRUE(ReportReader::ParseNumberPattern(c.pattern, format));
    format.rounding = c.rounding;
    EXPECT_EQ(FormatReportNumber(c.value, format), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Numbers, ReportNumberTest, ::testing::ValuesIn(Numbers),
                         [](const auto& info) { return info.param.name; });

TEST(ReportReaderTest, SplitsTextsIntoLiteralsAndFields) {
    std::vector<ReportPiece> pieces;
    std::string error;
    ASSERT_TRUE(SplitReportText("a {{b}} {c} {d.e|0.## up}!", pieces, error)) << error;
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0].text, "a {b} ");
    EXPECT_TRUE(pieces[1].isField);
    EXPECT_EQ(pieces[1].text, "c");
    EXPECT_EQ(pieces[3].text, "d.e");
    EXPECT_EQ(pieces[3].format.rounding, ReportRounding::Up);
    EXPECT_EQ(pieces[4].text, "!");
}

}  // namespace
