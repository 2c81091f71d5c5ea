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

// Which lines may end a page of these reports: a row, or a line of a heading but its last.
struct PageEnds {
    std::regex row;
    std::regex insideHeading;   // a heading's line with its words only (its last names more)

    bool Allowed(const std::string& line) const {
        return std::regex_match(line, row) || std::regex_match(line, insideHeading);
    }
};

// Every page of the layout ends with a line that may end a page; `what` names the case.
void ExpectPagesEndWell(const ReportLayout& layout, const PageEnds& ends, const std::string& what) {
    const std::vector<QString> last = layout.LastLines();
    ASSERT_GT(last.size(), 1u) << what;
    for (std::size_t p = 0; p < last.size(); ++p)
        EXPECT_TRUE(ends.Allowed(last[p].toStdString())) << what << ": page " << p + 1 << " ends with \""
                                                         << last[p].toStdString() << "\"";
}

// The group report's long headings: "aaaw1 aaaw2 ...", then bbbw, cccw, dddw.
const PageEnds GroupsEnds{std::regex("ing[0-9]+x[0-9]+ .*"), std::regex("([a-d])\\1\\1w[0-9]+( \\1\\1\\1w[0-9]+)*")};

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

    static std::string Heading(int item, int words) {
        return Words(std::string(3, static_cast<char>('a' + item - 1)) + "w", words);
    }
    static std::string Line(int item, int line) { return "ing" + std::to_string(item) + "x" + std::to_string(line); }

    // The heading's last line has its last word: the one whose number is the heading's length.
    static bool EndsHeading(const std::string& line, int words) {
        return line.size() > std::to_string(words).size() + 1 &&
               line.substr(line.rfind('w') + 1) == std::to_string(words);
    }
};

TEST_F(ReportPaginationTest, AHeadingFillingAPageToWithinARowUnderDayStopAndMealNeverEndsAPage) {
    for (int words = kFewestWords; words <= kMostWords; words += kWordStep) {
        const std::string what = std::to_string(words) + " words";
        ASSERT_TRUE(Exec("delete from Rows"));
        AddLongHeadings(words);
        ReportPreview* preview = Run();
        ASSERT_NE(preview, nullptr) << what;
        const ReportLayout& layout = preview->Document().Layout();
        ExpectPagesEndWell(layout, GroupsEnds, what);
        const std::vector<QString> last = layout.LastLines();
        for (std::size_t p = 0; p < last.size(); ++p)
            EXPECT_FALSE(EndsHeading(last[p].toStdString(), words)) << what << ": page " << p + 1;
        // The first long heading has the rest of page 1 below the short item, room for far more
        // than two of its lines: split, it starts there; moved to page 2, it is whole there.
        ASSERT_GT(last.size(), 2u) << what;
        if (last[0].toStdString().rfind(Line(0, 3) + " ", 0) == 0)
            EXPECT_FALSE(std::regex_match(last[1].toStdString(), GroupsEnds.insideHeading))
                << what << ": the first long heading moved to page 2 and was split there";
        else
            EXPECT_TRUE(std::regex_match(last[0].toStdString(), std::regex("aaaw[0-9 aw]+")))
                << what << ": page 1 ends with " << last[0].toStdString();
        delete preview;
    }
}

// A heading's place in the PDF: the pages of its first and last words, and the line above its first.
struct HeadingPlace {
    int firstPage = -1, lastPage = -1;
    std::string above;
};

HeadingPlace PlaceOf(const std::vector<std::vector<std::string>>& pages, const std::string& first, const std::string& last) {
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
        EXPECT_FALSE(EndsHeading(body.back(), words)) << "page " << p + 1;
        EXPECT_FALSE(std::all_of(body.begin(), body.end(), [&](const std::string& line) {
            return std::regex_match(line, repeat);
        })) << "page " << p + 1 << " holds only repeats";
    }
    for (int item = 1; item <= 4; ++item) {
        const std::string stem = std::string(3, static_cast<char>('a' + item - 1)) + "w";
        const HeadingPlace place = PlaceOf(pages, stem + "1", stem + std::to_string(words));
        ASSERT_GE(place.firstPage, 0) << stem;
        const bool atTop = std::regex_match(place.above, repeat);
        if (place.firstPage == place.lastPage) continue;   // whole
        // Split: where it stood, below what came before it, not at the top of a fresh page.
        EXPECT_FALSE(atTop) << stem << " was moved to page " << place.firstPage + 1 << " and split";
        if (item == 1) EXPECT_FALSE(GetParam().movesWhole) << "the first long heading was split";
    }
    const HeadingPlace first = PlaceOf(pages, "aaaw1", "aaaw" + std::to_string(words));
    EXPECT_EQ(first.firstPage, GetParam().movesWhole ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ReportPaginationPdfTest,
    // 530 words take 58 lines, which go under the repeats with a row; 560, 62 lines, fit a page
    // but not under the repeats; 620, 68 lines, are taller than a page.
    ::testing::Values(LengthCase{"FitsUnderTheRepeats", 530, true}, LengthCase{"FitsOnlyAnEmptyPage", 560, false},
                      LengthCase{"TallerThanAPage", 620, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
