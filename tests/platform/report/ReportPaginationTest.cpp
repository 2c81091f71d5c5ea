// Where pages break around headings that fill a page to within a row, through the real report
// control: whatever the column titles and "(continued)" headings repeated at the top of a page
// take, no page ends with a heading's last line or the column titles and none holds only
// repeats; a heading that fits on a fresh page under the repeats, with its first row, moves
// there whole, one that does not is split where it stands, never both. The lengths go in steps
// of a few words, as the fault shows only where a heading fills the page to within a row; the
// pages are read from the layout, and from the saved PDF for a few lengths. Paper too small for
// the titles and a row still gives every page a row.

#include <gtest/gtest.h>

#include <QPrinter>
#include <algorithm>
#include <regex>
#include <sstream>

#include "tests/platform/report/GroupsReportTest.h"
#include "tests/platform/report/PdfText.h"

namespace {

using namespace groups_report;

// Heading lengths in words, a few at a time: from headings that go whole onto a page under the
// repeats to headings taller than a page.
constexpr int kFewestWords = 500, kMostWords = 620, kWordStep = 3;

// Which lines may end a page of these reports: a row, or a line of a long heading but its last
// (which has more than the heading's numbered words).
struct PageEnds {
    std::regex row;
    std::regex insideHeading;
    std::regex insideFirstHeading;   // of the first long heading

    bool Allowed(const std::string& line) const {
        return std::regex_match(line, row) || std::regex_match(line, insideHeading);
    }
};

// Every page of the layout ends with a line that may end a page, so none ends with a heading's
// last line or the column titles, or holds only repeats. The first long heading has the rest of
// page 1 below a short item, room for far more than two of its lines: split, it starts there;
// moved to page 2, it is whole there. `what` names the case.
void ExpectPagesEndWell(const ReportLayout& layout, const PageEnds& ends, const std::string& what) {
    const std::vector<QString> last = layout.LastLines();
    ASSERT_GT(last.size(), 2u) << what;
    for (std::size_t p = 0; p < last.size(); ++p)
        EXPECT_TRUE(ends.Allowed(last[p].toStdString())) << what << ": page " << p + 1 << " ends with \""
                                                         << last[p].toStdString() << "\"";
    const std::string first = last[0].toStdString(), second = last[1].toStdString();
    if (std::regex_match(first, ends.row))
        EXPECT_FALSE(std::regex_match(second, ends.insideFirstHeading))
            << what << ": the first long heading moved to page 2 and was split there";
    else
        EXPECT_TRUE(std::regex_match(first, ends.insideFirstHeading)) << what << ": page 1 ends with " << first;
}

// The group report's long headings: "aaaw1 aaaw2 ... aaaend", then bbbw, cccw, dddw.
const PageEnds GroupsEnds{std::regex("ing[0-9]+x[0-9]+ .*"), std::regex("([a-d])\\1\\1w[0-9]+( \\1\\1\\1w[0-9]+)*"),
                          std::regex("aaaw[0-9]+( aaaw[0-9]+)*")};

class ReportPaginationTest : public GroupsReportTest {
protected:
    // Under a day, a stop and a meal: a short item with three rows, then four whose headings are
    // `words` long, each with two rows; the long ones start at different heights of their pages.
    void AddLongHeadings(int words) {
        for (int line = 1; line <= 3; ++line) Add({"Day 1", "Stop 1", "Lunch", "Starter", "", Line(0, line)});
        for (int item = 1; item <= 4; ++item)
            for (int line = 1; line <= 2; ++line)
                Add({"Day 1", "Stop 1", "Lunch", Heading(item, words), "", Line(item, line)});
    }

    // "aaaw1 ... aaaw<words - 1> aaaend", "bbbw1 ...".
    static std::string Heading(int item, int words) {
        const std::string stem(3, static_cast<char>('a' + item - 1));
        return Words(stem + "w", words - 1) + " " + stem + "end";
    }
    static std::string Line(int item, int line) { return "ing" + std::to_string(item) + "x" + std::to_string(line); }
};

TEST_F(ReportPaginationTest, AHeadingFillingAPageToWithinARowUnderDayStopAndMealNeverEndsAPage) {
    for (int words = kFewestWords; words <= kMostWords; words += kWordStep) {
        const std::string what = std::to_string(words) + " words";
        ASSERT_TRUE(Exec("delete from Rows"));
        AddLongHeadings(words);
        ReportPreview* preview = Run();
        ASSERT_NE(preview, nullptr) << what;
        ExpectPagesEndWell(preview->Document().Layout(), GroupsEnds, what);
        delete preview;
    }
}

// A heading's place in the PDF: the pages of its first and last words, and the line above its first.
struct HeadingPlace {
    int firstPage = -1, lastPage = -1;
    std::string above;
};

HeadingPlace PlaceOf(const std::vector<std::vector<std::string>>& pages, const std::string& first,
                     const std::string& last) {
    HeadingPlace place;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string> lines = BodyLines(pages[p]);
        for (std::size_t l = 0; l < lines.size(); ++l) {
            std::istringstream words(lines[l]);
            for (std::string word; words >> word;) {
                if (word == first && place.firstPage < 0) {
                    place.firstPage = static_cast<int>(p);
                    place.above = l > 0 ? lines[l - 1] : std::string();
                }
                if (word == last) place.lastPage = static_cast<int>(p);
            }
        }
    }
    return place;
}

struct LengthCase {
    const char* name;
    int words;
    bool movesWhole;   // the first long heading fits under the repeats with its first row
};

std::ostream& operator<<(std::ostream& out, const LengthCase& c) { return out << c.name; }

class ReportPaginationPdfTest : public ReportPaginationTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(ReportPaginationPdfTest, AHeadingMovesWholeOrIsSplitWhereItStandsAndNoPageEndsWithItOrHoldsOnlyRepeats) {
    const int words = GetParam().words;
    AddLongHeadings(words);
    ASSERT_NE(Save(), nullptr);
    const auto pages = pdf_text::Pages(Pdf());
    ASSERT_GT(pages.size(), 4u);
    const std::regex repeat("Ingredient Amount Measure|.* \\(continued\\)");
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string> body = BodyLines(pages[p]);
        ASSERT_FALSE(body.empty()) << "page " << p + 1;
        EXPECT_TRUE(GroupsEnds.Allowed(body.back())) << "page " << p + 1 << " ends with " << body.back();
        EXPECT_FALSE(std::all_of(body.begin(), body.end(), [&](const std::string& line) {
            return std::regex_match(line, repeat);
        })) << "page " << p + 1 << " holds only repeats";
    }
    for (int item = 1; item <= 4; ++item) {
        const std::string stem(3, static_cast<char>('a' + item - 1));
        const HeadingPlace place = PlaceOf(pages, stem + "w1", stem + "end");
        ASSERT_GE(place.firstPage, 0) << stem;
        if (place.firstPage == place.lastPage) continue;   // whole
        // Split: where it stood, below what came before it, not at the top of a fresh page.
        EXPECT_FALSE(std::regex_match(place.above, repeat))
            << stem << " was moved to page " << place.firstPage + 1 << " and split";
        if (item == 1) EXPECT_FALSE(GetParam().movesWhole) << "the first long heading was split";
    }
    const HeadingPlace first = PlaceOf(pages, "aaaw1", "aaaend");
    EXPECT_EQ(first.firstPage, GetParam().movesWhole ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ReportPaginationPdfTest,
    // 530 words take 58 lines, which go under the repeats with a row; 560, 62 lines, fit a page
    // but not under the repeats; 620, 68 lines, are taller than a page.
    ::testing::Values(LengthCase{"FitsUnderTheRepeats", 530, true}, LengthCase{"FitsOnlyAnEmptyPage", 560, false},
                      LengthCase{"TallerThanAPage", 620, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The program's own reports on a trip whose menu items have names as long as the test makes
// them: a short one, then four, each with two ingredient lines, in one meal of one stop of one day.
class ReportFilesPaginationTest : public KestavoDatabaseTest {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        for (const char* sql : {
                 "insert into People( id, name, appetite ) values( 1, 'Ann', 1.0 )",
                 "insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size )"
                 " values( 1, 'Oats', 10, 0, '', 1 ), ( 2, 'Rye', 10, 0, '', 1 )",
                 "insert into Courses( id, name, feeds ) values( 1, 'A starter', 1 ), ( 2, 'S11', 1 ), ( 3, 'S12', 1 ),"
                 " ( 4, 'S13', 1 ), ( 5, 'S14', 1 )",
                 "insert into CourseIngredients( course, ingredient, measure, amount, unit_measure )"
                 " select id, 1, 10, 5, 0 from Courses union all select id, 2, 10, 9, 0 from Courses",
                 "insert into Meals( id, name ) values( 1, 'Lunch' )",
                 "insert into MealCourses( meal, course ) select 1, id from Courses order by id",
                 "insert into Trips( id, name, location, trip_date ) values( 1, 'Ridge', 'North', '2024-06-01' )",
                 "insert into TripPeople( person, trip ) values( 1, 1 )",
                 "insert into TripDays( id, trip, day_num ) values( 1, 1, 1 )",
                 "insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 4 )",
                 "insert into DayMeals( day_stop, meal ) values( 1, 1 )",
                 "insert into MealPeople( person, day_stop ) values( 1, 1 )"})
            ASSERT_TRUE(Exec(sql));
    }

    // The long items named "S1<n> s1<n>w1 s1<n>w2 ...", `words` words in all.
    void NameItems(int words) {
        for (int n = 1; n <= 4; ++n) {
            const std::string name = "S1" + std::to_string(n) + " " + Words("s1" + std::to_string(n) + "w", words - 1);
            ASSERT_TRUE(Exec("update Courses set name = " + Quoted(name) + " where id = " + std::to_string(n + 1)));
        }
    }

    ReportPreview* Run(const std::string& file, int trip) {
        const std::vector<std::string> parameters = {"Trip id; " + std::to_string(trip) + "; TRUE",
                                                     "version; 3.02; TRUE", "unit_type; 1; TRUE",
                                                     "ingredient_units; 0; TRUE", "trip_very_detailed; 0; TRUE"};
        control.SetReportFileName(std::string(KVO_REPORTS_DIR) + "/" + file);
        for (std::size_t i = 0; i < parameters.size(); ++i)
            control.SetParameterField(static_cast<int>(i), parameters[i]);
        EXPECT_EQ(control.PrintReport(), 0) << control.GetLastErrorString();
        return control.Previews().empty() ? nullptr : control.Previews().back();
    }

    WReportControl control{"WinStart::transaction_KVO"};
};

// A row of an ingredient (short, to stay one line on small paper), or a line of an item's name
// but its last, which says how many it feeds.
const PageEnds ItemEnds{std::regex("(Oats 5|Rye 9) g"), std::regex("(S1[1-4] )?s1[1-4]w[0-9]+( s1[1-4]w[0-9]+)*"),
                        std::regex("(S11 )?s11w[0-9]+( s11w[0-9]+)*")};

struct FileCase {
    const char* name;
    const char* file;
    int trip;
};

std::ostream& operator<<(std::ostream& out, const FileCase& c) { return out << c.name; }

class ReportFilePaginationTest : public ReportFilesPaginationTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(ReportFilePaginationTest, AMenuItemNameFillingAPageToWithinARowNeverEndsAPage) {
    for (int words = kFewestWords; words <= kMostWords; words += kWordStep) {
        NameItems(words);
        ReportPreview* preview = Run(GetParam().file, GetParam().trip);
        ASSERT_NE(preview, nullptr);
        ExpectPagesEndWell(preview->Document().Layout(), ItemEnds, std::to_string(words) + " words");
        delete preview;
    }
}

INSTANTIATE_TEST_SUITE_P(Reports, ReportFilePaginationTest,
                         ::testing::Values(FileCase{"MenuItems", "report_courses.rpt", -1},
                                           FileCase{"TripPlanDetailed", "report_trip_plan_detailed.rpt", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Paper on which the column titles (their narrow Amount column a letter to a line) and the
// first item's heading and row do not fit on one page: the titles give way, so no page holds
// only them or ends with them, and every page from the table's first holds a row.
struct Paper {
    const char* name;
    double width, height;   // mm
};

std::ostream& operator<<(std::ostream& out, const Paper& c) { return out << c.name; }

class SmallPaperTest : public ReportFilesPaginationTest, public ::testing::WithParamInterface<Paper> {};

TEST_P(SmallPaperTest, TheColumnTitlesGiveWayAndEveryPageOfTheMenuItemsHoldsARow) {
    ReportPreview* preview = Run("report_courses.rpt", -1);
    ASSERT_NE(preview, nullptr);
    const std::filesystem::path pdf = Folder().File("small.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    const QPageSize size(QSizeF(GetParam().width, GetParam().height), QPageSize::Millimeter);
    const QPageLayout paper(size, QPageLayout::Portrait, QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    ASSERT_TRUE(printer.setPageLayout(paper));
    ASSERT_EQ(preview->PrintTo(printer), ReportPreview::PrintResult::Printed);

    const auto pages = pdf_text::Pages(pdf);
    ASSERT_GT(pages.size(), 3u);
    const std::regex row("(Oats 5|Rye 9) g"), table("Ingre.*|.*feeds 1");   // titles, or an item's heading
    bool inTable = false;
    int rows = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string> body = BodyLines(pages[p]);
        const auto matching = [&](const std::regex& what) {
            return std::count_if(body.begin(), body.end(),
                                 [&](const std::string& line) { return std::regex_match(line, what); });
        };
        inTable = inTable || matching(table) > 0 || matching(row) > 0;
        if (!inTable) continue;   // the report's title and text
        EXPECT_GT(matching(row), 0) << "page " << p + 1 << ": " << ::testing::PrintToString(body);
        rows += static_cast<int>(matching(row));
    }
    EXPECT_EQ(rows, 10);
    const std::vector<QString> last = preview->Document().Layout(paper).LastLines();
    ASSERT_EQ(last.size(), pages.size());
    for (std::size_t p = 0; p < last.size(); ++p)
        if (std::regex_match(last[p].toStdString(), table))
            ADD_FAILURE() << "page " << p + 1 << " ends with " << last[p].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmallPaperTest,
                         ::testing::Values(Paper{"Wide60x40mm", 60, 40}, Paper{"Tall40x60mm", 40, 60}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
