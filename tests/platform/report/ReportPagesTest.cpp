// The pages of a report as they are saved and shown: a page that starts inside a group repeats
// its heading "(continued)", a heading never ends a page, a long cell wraps and grows its row,
// the PDF's text has no ligatures, and the preview draws only the pages in view.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/report/ReportPreview.h"
#include "platform/report/WReportControl.h"
#include "tests/support/TestDataSource.h"

namespace {

const char* const DaysReport =
    "report \"Days\"\n"
    "parameter \"Trip id\" integer\n"
    "dataset days\n"
    "  select 'Day ' || d.day_num as label, d.day_num, s.id as stop,\n"
    "         fs.name || ' ' || s.id as stop_name, s.id * 0.5 as amount, s.note as note\n"
    "    from TripDays d left join (select *, '' as note from DayFoodStops) s on s.trip_day = d.id\n"
    "    left join FoodStops fs on fs.id = s.food_stop\n"
    "   where d.trip = {Trip id} order by d.day_num, s.id\n"
    "end\n"
    "pageheader left \"Days of the trip\"\n"
    "pagefooter center \"Page {page} of {pages}\"\n"
    "title \"Coffee, fl oz, office and fluffy waffles\"\n"
    "table days\n"
    "  group day_num \"{label}\"\n"
    "  column Stop stop_name width 30\n"
    "  column Amount amount right width 15 number 0.##\n"
    "  column Note note\n"
    "  when stop\n"
    "end\n";

// The pages' text as pdftotext lays it out, one entry a page, each line with its runs of
// blanks made one blank and empty lines left out.
std::vector<std::vector<std::string>> PdfPages(const std::filesystem::path& pdf) {
    std::vector<std::vector<std::string>> pages(1);
    FILE* out = popen(("pdftotext -layout '" + pdf.string() + "' -").c_str(), "r");
    if (!out) return {};
    std::string text;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, out)) text.append(buffer, n);
    pclose(out);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        for (std::size_t feed; (feed = line.find('\f')) != std::string::npos;) {
            pages.emplace_back();
            line.erase(feed, 1);
        }
        std::istringstream words(line);
        std::string word, squeezed;
        while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
        if (!squeezed.empty()) pages.back().push_back(squeezed);
    }
    while (!pages.empty() && pages.back().empty()) pages.pop_back();
    return pages;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

class ReportPagesTest : public KestavoDatabaseTest {
protected:
    // Days of 3 to 60 stops, one with a note long enough to wrap in its column.
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(Exec("insert into Trips( id, name ) values( 1, 'Long walk' )"));
        int stop = 0;
        for (int day = 1; day <= 12; ++day) {
            ASSERT_TRUE(Exec("insert into TripDays( id, trip, day_num ) values( " + std::to_string(day) + ", 1, " +
                             std::to_string(day) + " )"));
            const int stops = day == 2 ? 60 : 3 + (day * 7) % 11;
            for (int s = 0; s < stops; ++s)
                ASSERT_TRUE(Exec("insert into DayFoodStops( id, trip_day, food_stop ) values( " + std::to_string(++stop) +
                                 ", " + std::to_string(day) + ", " + std::to_string(1 + s % 8) + " )"));
        }
        file = Folder().File("days.rpt");
        std::ofstream(file) << DaysReport;
    }

    ReportPreview* Run(const std::string& reportText = DaysReport) {
        std::ofstream(file, std::ios::trunc) << reportText;
        control.SetReportFileName(file.string());
        control.SetParameterField(0, "Trip id; 1; TRUE");
        EXPECT_EQ(control.PrintReport(), 0) << control.GetLastErrorString();
        return control.Previews().empty() ? nullptr : control.Previews().back();
    }

    std::vector<std::vector<std::string>> SavedPages(ReportPreview* preview) {
        const std::filesystem::path pdf = Folder().File("days.pdf");
        EXPECT_TRUE(preview->Document().SaveAsPdf(pdf.string()));
        return PdfPages(pdf);
    }

    std::filesystem::path file;
    WReportControl control{"WinStart::transaction_KVO"};
};

// The body of a page: what lies between the header line and the footer line.
std::vector<std::string> Body(const std::vector<std::string>& page) {
    if (page.size() < 2) return {};
    return {page.begin() + 1, page.end() - 1};
}

TEST_F(ReportPagesTest, APageThatStartsInsideADayRepeatsItsHeadingContinued) {
    ReportPreview* preview = Run();
    ASSERT_NE(preview, nullptr);
    const auto pages = SavedPages(preview);
    ASSERT_GT(pages.size(), 2u);
    std::string openDay;
    int continued = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string> body = Body(pages[p]);
        ASSERT_FALSE(body.empty()) << "page " << p + 1;
        std::size_t first = 0;
        if (p > 0) {
            EXPECT_EQ(body[0], "Stop Amount Note") << "page " << p + 1;   // the column titles again
            first = 1;
            ASSERT_LT(first, body.size());
            // Never a stop under no heading: the day goes on, or a new one starts.
            EXPECT_TRUE(body[first] == openDay + " (continued)" || StartsWith(body[first], "Day "))
                << "page " << p + 1 << " starts with " << body[first] << " inside " << openDay;
            continued += body[first] == openDay + " (continued)";
        }
        for (const std::string& line : body)
            if (StartsWith(line, "Day ") && line.find("(continued)") == std::string::npos) openDay = line;
    }
    EXPECT_GE(continued, 1);   // day 2 alone fills more than a page
    EXPECT_EQ(pages.back().back(), "Page " + std::to_string(pages.size()) + " of " + std::to_string(pages.size()));
}

TEST_F(ReportPagesTest, AHeadingNeverEndsAPage) {
    ReportPreview* preview = Run();
    ASSERT_NE(preview, nullptr);
    for (const auto& page : SavedPages(preview)) {
        const std::vector<std::string> body = Body(page);
        ASSERT_FALSE(body.empty());
        EXPECT_FALSE(StartsWith(body.back(), "Day ")) << body.back();
    }
}

TEST_F(ReportPagesTest, ThePdfTextHasNoLigatures) {
    ASSERT_TRUE(Exec("update DayFoodStops set food_stop = 1 where id = 1"));
    ReportPreview* preview = Run();
    ASSERT_NE(preview, nullptr);
    const auto pages = SavedPages(preview);
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages[0][1], "Coffee, fl oz, office and fluffy waffles");
    for (const auto& page : pages)
        for (const std::string& line : page)
            for (const char* ligature : {"\xef\xac\x80", "\xef\xac\x81", "\xef\xac\x82", "\xef\xac\x83", "\xef\xac\x84"})
                EXPECT_EQ(line.find(ligature), std::string::npos) << line;
}

TEST_F(ReportPagesTest, ALongCellWrapsAndGrowsItsRow) {
    const std::string note = "keep the stove and both fuel bottles dry under the fly sheet before the rain sets in";
    std::string report = DaysReport;
    report.replace(report.find("'' as note"), 10, "case when id = 2 then '" + note + "' else '' end as note");
    ReportPreview* preview = Run(report);
    ASSERT_NE(preview, nullptr);
    const auto pages = SavedPages(preview);
    ASSERT_FALSE(pages.empty());
    // The note runs over several lines of its column beside its stop ("Morning break 2", amount
    // 1), all its words shown, and the next stop's row comes after its last line.
    const std::vector<std::string>& lines = pages[0];
    const std::string row = "Morning break 2 1 ";
    std::size_t at = 0;
    while (at < lines.size() && !StartsWith(lines[at], row)) ++at;
    ASSERT_LT(at, lines.size()) << ::testing::PrintToString(lines);
    std::string shown = lines[at].substr(row.size());
    std::size_t next = at + 1;
    for (; next < lines.size() && !StartsWith(lines[next], "Morning rest stop 3 1.5"); ++next) shown += " " + lines[next];
    EXPECT_EQ(shown, note) << ::testing::PrintToString(lines);
    EXPECT_GT(next, at + 1);   // more than one line
    EXPECT_LT(next, lines.size());
    EXPECT_NE(preview->Document().PlainText().find(note), std::string::npos);
}

TEST_F(ReportPagesTest, ThePreviewDrawsOnlyThePagesInViewAndEscClosesIt) {
    QPointer<ReportPreview> preview = Run();
    ASSERT_NE(preview, nullptr);
    preview->resize(600, 500);
    const int pages = preview->PageCount();
    ASSERT_GT(pages, 3);
    while (preview->PagesDrawn() == 0) QApplication::processEvents();
    const int drawn = preview->PagesDrawn();
    EXPECT_LE(drawn, 2);   // the first page, and maybe the top of the second

    preview->ShowPage(pages - 1);
    QApplication::processEvents();
    EXPECT_EQ(preview->CurrentPage(), pages - 1);
    EXPECT_GT(preview->PagesDrawn(), drawn);

    QWidget* focus = preview->focusWidget() ? preview->focusWidget() : preview.data();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(focus, &escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull());
    EXPECT_TRUE(control.Previews().empty());
}

}  // namespace
