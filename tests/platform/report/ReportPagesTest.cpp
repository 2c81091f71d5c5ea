// The pages of a report as they are saved and shown: a page that starts inside a group repeats
// its heading "(continued)", a heading never ends a page, a long cell wraps and grows its row
// and keeps its own line breaks, a row taller than the room left goes on over the next pages,
// page header texts too long for their room are cut with "...", the PDF's text has no
// ligatures, a printer prints its own paper and page range, and the preview fits the page,
// draws only the pages in view and goes to the last and first page with End and Home.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPageRanges>
#include <QPointer>
#include <QPrinter>
#include <QScrollArea>
#include <QTextLayout>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/report/ReportPreview.h"
#include "platform/report/WReportControl.h"
#include "tests/platform/report/PdfText.h"
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

std::vector<std::vector<std::string>> PdfPages(const std::filesystem::path& pdf) { return pdf_text::Pages(pdf); }

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

// The note of the second stop (day 1, "Morning break 2") in place of the empty one.
std::string WithNote(const std::string& noteSql, std::string report = DaysReport) {
    report.replace(report.find("'' as note"), 10, "case when id = 2 then " + noteSql + " else '' end as note");
    return report;
}

// The layout's units are tenths of a point; the PDF's words are placed in points.
double Points(double units) { return units * 72.0 / ReportLayout::kUnitsPerInch; }

TEST_F(ReportPagesTest, ARowTallerThanTheRoomLeftGoesOnOverTheNextPagesWithEveryWordOnceAndNoneBelowTheBody) {
    std::string words;
    for (int n = 1; n <= 3000; ++n) words += (n > 1 ? " w" : "w") + std::to_string(n);
    ReportPreview* preview = Run(WithNote("'" + words + "'"));
    ASSERT_NE(preview, nullptr);
    const std::filesystem::path pdf = Folder().File("days.pdf");
    ASSERT_TRUE(preview->Document().SaveAsPdf(pdf.string()));
    const ReportLayout& layout = preview->Document().Layout();
    const double bodyTop = Points(layout.PrintableRect().top() + layout.BodyRect().top());
    const double bodyBottom = Points(layout.PrintableRect().top() + layout.BodyRect().bottom());

    std::map<int, int> seen;
    std::set<int> notePages;
    const std::regex numbered("w([0-9]+)");
    std::smatch m;
    for (const pdf_text::Word& word : pdf_text::Words(pdf)) {
        if (std::regex_match(word.text, m, numbered)) {
            ++seen[std::stoi(m[1])];
            notePages.insert(word.page);
            EXPECT_GE(word.yMin, bodyTop - 0.5) << word.text << " on page " << word.page + 1;
        }
        // Below the body only the footer: "Page N of M".
        if (word.yMax > bodyBottom + 0.5)
            EXPECT_TRUE(word.text == "Page" || word.text == "of" || std::regex_match(word.text, std::regex("[0-9]+")))
                << word.text << " on page " << word.page + 1;
    }
    ASSERT_EQ(seen.size(), 3000u);
    for (const auto& [n, count] : seen) EXPECT_EQ(count, 1) << "w" << n;
    EXPECT_GE(notePages.size(), 3u);   // it runs over at least two page breaks

    // Each page it goes on to repeats the column titles and its day, continued.
    const auto pages = PdfPages(pdf);
    ASSERT_GT(pages.size(), 2u);
    for (std::size_t p = 1; p < 3; ++p) {
        const std::vector<std::string> body = Body(pages[p]);
        ASSERT_GE(body.size(), 2u);
        EXPECT_EQ(body[0], "Stop Amount Note");
        EXPECT_EQ(body[1], "Day 1 (continued)");
    }
}

TEST_F(ReportPagesTest, ACellKeepsItsLineBreaksLfCrLfCrAndBlankLines) {
    const std::string note = "'First line' || char(10) || 'Second line' || char(13) || char(10) || 'Third line' ||"
                             " char(13) || 'Fourth line' || char(10) || char(10) || 'Sixth line'";
    ReportPreview* preview = Run(WithNote(note));
    ASSERT_NE(preview, nullptr);
    const std::filesystem::path pdf = Folder().File("days.pdf");
    ASSERT_TRUE(preview->Document().SaveAsPdf(pdf.string()));
    const std::vector<std::string> lines = PdfPages(pdf).at(0);
    std::size_t at = 0;
    while (at < lines.size() && lines[at] != "Morning break 2 1 First line") ++at;
    ASSERT_LT(at + 5, lines.size()) << ::testing::PrintToString(lines);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + at + 1, lines.begin() + at + 5),
              (std::vector<std::string>{"Second line", "Third line", "Fourth line", "Sixth line"}));
    EXPECT_TRUE(StartsWith(lines[at + 5], "Morning rest stop 3 1.5")) << lines[at + 5];

    // The empty fifth line keeps its room.
    std::map<std::string, double> top;
    for (const pdf_text::Word& word : pdf_text::Words(pdf))
        if (word.page == 0 && (word.text == "Third" || word.text == "Fourth" || word.text == "Sixth")) top[word.text] = word.yMin;
    ASSERT_EQ(top.size(), 3u);
    const double line = top["Fourth"] - top["Third"];
    EXPECT_GT(line, 0);
    EXPECT_NEAR(top["Sixth"] - top["Fourth"], 2 * line, 0.1 * line);
}

TEST_F(ReportPagesTest, AWordWiderThanItsColumnIsCutBetweenGraphemesNeverInsideOne) {
    // An e and a combining acute accent: one grapheme of two characters.
    std::string word;
    for (int n = 0; n < 1200; ++n) word += "e\xcc\x81";
    ReportPreview* preview = Run(WithNote("'" + word + "'"));
    ASSERT_NE(preview, nullptr);
    const std::filesystem::path pdf = Folder().File("days.pdf");
    ASSERT_TRUE(preview->Document().SaveAsPdf(pdf.string()));
    const std::vector<std::string> lines = PdfPages(pdf).at(0);
    const std::string row = "Morning break 2 1 ";
    std::size_t at = 0;
    while (at < lines.size() && !StartsWith(lines[at], row)) ++at;
    ASSERT_LT(at, lines.size()) << ::testing::PrintToString(lines);
    std::vector<std::string> pieces{lines[at].substr(row.size())};
    for (std::size_t next = at + 1; next < lines.size() && !StartsWith(lines[next], "Morning rest stop 3"); ++next)
        pieces.push_back(lines[next]);
    EXPECT_GT(pieces.size(), 2u);
    std::string shown;
    for (const std::string& piece : pieces) {
        EXPECT_FALSE(StartsWith(piece, "\xcc\x81")) << "a line starts with a lone accent";
        shown += piece;
    }
    EXPECT_EQ(shown, word);
}

TEST_F(ReportPagesTest, APageHeaderTooLongForItsRoomIsCutWithDotsAndOverlapsNoOtherText) {
    std::string name = "Long walk";
    while (name.size() < 130) name += " along the ridge";
    name.resize(130);
    ASSERT_TRUE(Exec("update Trips set name = '" + name + "' where id = 1"));
    std::string report = DaysReport;
    const std::string oldHeader = "pageheader left \"Days of the trip\"";
    report.replace(report.find(oldHeader), oldHeader.size(),
                   "dataset trip\n  select name from Trips where id = {Trip id}\nend\n"
                   "pageheader left \"{trip.name}\"\npageheader center \"Days of the trip\"\n"
                   "pageheader right \"Printed by Kestavo 3.02\"");
    ReportPreview* preview = Run(report);
    ASSERT_NE(preview, nullptr);
    const ReportLayout& layout = preview->Document().Layout();
    const ReportLayout::PageBandTexts header = layout.HeaderTexts(0);
    ASSERT_TRUE(header.texts[0].endsWith(QStringLiteral("..."))) << header.texts[0].toStdString();
    EXPECT_TRUE(QString::fromStdString(name).startsWith(header.texts[0].chopped(3)));
    EXPECT_EQ(header.texts[1], QStringLiteral("Days of the trip"));
    EXPECT_EQ(header.texts[2], QStringLiteral("Printed by Kestavo 3.02"));
    for (std::size_t a = 0; a < 3; ++a) {
        EXPECT_GE(header.boxes[a].left(), 0);
        EXPECT_LE(header.boxes[a].right(), layout.PrintableRect().width());
        for (std::size_t b = a + 1; b < 3; ++b) EXPECT_FALSE(header.boxes[a].intersects(header.boxes[b])) << a << " " << b;
    }

    // On paper: no two words of the header line touch, and none goes past the right margin.
    const std::filesystem::path pdf = Folder().File("days.pdf");
    ASSERT_TRUE(preview->Document().SaveAsPdf(pdf.string()));
    const double bodyTop = Points(layout.PrintableRect().top() + layout.BodyRect().top());
    const double right = Points(layout.PrintableRect().right());
    std::vector<pdf_text::Word> line;
    for (const pdf_text::Word& word : pdf_text::Words(pdf))
        if (word.page == 0 && word.yMax < bodyTop) line.push_back(word);
    ASSERT_GT(line.size(), 8u);
    for (std::size_t a = 0; a < line.size(); ++a) {
        EXPECT_LE(line[a].xMax, right + 0.5) << line[a].text;
        for (std::size_t b = a + 1; b < line.size(); ++b)
            EXPECT_TRUE(line[a].xMax <= line[b].xMin || line[b].xMax <= line[a].xMin)
                << line[a].text << " and " << line[b].text << " overlap";
    }
}

TEST(ContinuedHeading, FollowsTheHeadingsDirection) {
    EXPECT_EQ(ReportLayout::ContinuedHeading(QStringLiteral("Day 2")), QStringLiteral("Day 2 (continued)"));
    // Right to left, "(continued)" stands wholly left of the heading's number, at its end.
    const QString heading = QStringLiteral("\u05d9\u05d5\u05dd 2");
    const QString text = ReportLayout::ContinuedHeading(heading);
    QTextLayout layout(text, QGuiApplication::font());
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(10000);
    layout.endLayout();
    const qsizetype open = text.indexOf(QLatin1Char('(')), close = text.indexOf(QLatin1Char(')'));
    const qsizetype digit = text.indexOf(QLatin1Char('2'));
    const qreal digitLeft = std::min(line.cursorToX(digit), line.cursorToX(digit + 1));
    EXPECT_LT(std::max(line.cursorToX(open), line.cursorToX(close)), digitLeft) << text.toStdString();
    EXPECT_LT(digitLeft, line.cursorToX(0));
}

const QPageLayout A5Landscape(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                              QPageLayout::Millimeter);

// A printer that writes a PDF on A5 landscape, printing the pages from .. to.
std::unique_ptr<QPrinter> A5Printer(const std::filesystem::path& pdf, int from, int to) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf.string()));
    EXPECT_TRUE(printer->setPageLayout(A5Landscape));
    printer->setPrintRange(QPrinter::PageRange);
    printer->setFromTo(from, to);
    return printer;
}

// The "Page N of M" of each printed page.
std::vector<std::string> Footers(const std::filesystem::path& pdf) {
    std::vector<std::string> footers;
    for (const auto& page : PdfPages(pdf)) footers.push_back(page.empty() ? "" : page.back());
    return footers;
}

std::vector<std::string> FootersOf(const std::vector<int>& pages, int of) {
    std::vector<std::string> footers;
    for (int page : pages) footers.push_back("Page " + std::to_string(page) + " of " + std::to_string(of));
    return footers;
}

TEST_F(ReportPagesTest, AFilePrinterPrintsItsOwnPaperPageRangeAndCopies) {
    ReportPreview* preview = Run();
    ASSERT_NE(preview, nullptr);
    const int pages = preview->Document().Layout(A5Landscape).PageCount();
    EXPECT_GT(pages, preview->PageCount());   // a smaller sheet takes more of them
    ASSERT_GE(pages, 3);
    struct Print {
        int copies;
        std::vector<int> footers;
    };
    for (const Print& print : {Print{1, {2, 3}}, Print{2, {2, 3, 2, 3}}}) {
        const std::filesystem::path pdf = Folder().File("printed" + std::to_string(print.copies) + ".pdf");
        std::unique_ptr<QPrinter> printer = A5Printer(pdf, 2, 3);
        printer->setCopyCount(print.copies);
        printer->setCollateCopies(true);
        ASSERT_EQ(preview->PrintTo(*printer), ReportPreview::PrintResult::Printed);
        pdf_text::Sheet sheet;
        EXPECT_EQ(pdf_text::PageCount(pdf, &sheet), static_cast<int>(print.footers.size()));
        EXPECT_NEAR(sheet.width, 595.28, 0.5);    // A5, landscape
        EXPECT_NEAR(sheet.height, 419.53, 0.5);
        EXPECT_EQ(Footers(pdf), FootersOf(print.footers, pages));
    }
}

TEST_F(ReportPagesTest, APrintRangeNamesThePagesOfThePrintersPaperPastThePreviewsAndReversePrintsThemLastFirst) {
    ReportPreview* preview = Run();
    ASSERT_NE(preview, nullptr);
    const int onScreen = preview->PageCount();
    const int pages = preview->Document().Layout(A5Landscape).PageCount();
    ASSERT_GT(pages, onScreen + 1);
    struct Print {
        const char* name;
        int from, to;
        bool reverse;
        std::vector<int> footers;
    };
    std::vector<int> pastThePreview;
    for (int page = onScreen + 1; page <= pages; ++page) pastThePreview.push_back(page);
    for (const Print& print : {Print{"past the preview pages", onScreen + 1, pages, false, pastThePreview},
                               Print{"to beyond the last page", pages - 1, pages + 50, false, {pages - 1, pages}},
                               Print{"reversed", 2, 4, true, {4, 3, 2}}}) {
        const std::filesystem::path pdf = Folder().File(std::string(print.name) + ".pdf");
        std::unique_ptr<QPrinter> printer = A5Printer(pdf, print.from, print.to);
        if (print.reverse) printer->setPageOrder(QPrinter::LastPageFirst);
        ASSERT_EQ(preview->PrintTo(*printer), ReportPreview::PrintResult::Printed) << print.name;
        EXPECT_EQ(Footers(pdf), FootersOf(print.footers, pages)) << print.name;
    }

    // Pages typed as a list print those pages only.
    const std::filesystem::path listed = Folder().File("listed.pdf");
    std::unique_ptr<QPrinter> typed = A5Printer(listed, 1, 1);
    typed->setPageRanges(QPageRanges::fromString(QStringLiteral("2,%1").arg(pages)));
    ASSERT_EQ(preview->PrintTo(*typed), ReportPreview::PrintResult::Printed);
    EXPECT_EQ(Footers(listed), FootersOf({2, pages}, pages));

    // A range wholly past the end prints nothing and says so.
    const std::filesystem::path none = Folder().File("none.pdf");
    std::unique_ptr<QPrinter> printer = A5Printer(none, pages + 1, pages + 3);
    EXPECT_EQ(preview->PrintTo(*printer), ReportPreview::PrintResult::NothingInRange);
    EXPECT_FALSE(std::filesystem::exists(none));
}

// The page on the screen at "whole page": as tall as the view leaves room for, or as wide.
void ExpectWholePageFits(ReportPreview& preview, const char* when) {
    const QSize view = preview.findChild<QScrollArea*>()->viewport()->size();
    const QSizeF page = preview.DrawnPageSize();
    const double room = 2 * 12;   // the margins around a page
    EXPECT_LE(page.height(), view.height() - room + 1) << when;
    EXPECT_LE(page.width(), view.width() - room + 1) << when;
    EXPECT_TRUE(std::abs(page.height() - (view.height() - room)) <= 1 || std::abs(page.width() - (view.width() - room)) <= 1)
        << when << ": page " << page.width() << " x " << page.height() << " in " << view.width() << " x " << view.height();
}

TEST_F(ReportPagesTest, TheWholePageFillsThePreviewAtFirstShowAndAfterAResize) {
    control.SetWindowLeft(25);
    control.SetWindowTop(25);
    control.SetWindowWidth(845);
    control.SetWindowHeight(1030);
    QPointer<ReportPreview> preview = Run();
    ASSERT_NE(preview, nullptr);
    while (preview->PagesDrawn() == 0) QApplication::processEvents();
    EXPECT_EQ(preview->Zoom(), 0);
    EXPECT_GT(preview->DrawnPageSize().height(), 800);
    ExpectWholePageFits(*preview, "at first show");
    preview->resize(1200, 600);
    QApplication::processEvents();
    ExpectWholePageFits(*preview, "after a resize");
    EXPECT_LT(preview->DrawnPageSize().height(), 600);
}

TEST_F(ReportPagesTest, EndAndHomeGoToTheLastAndTheFirstPage) {
    QPointer<ReportPreview> preview = Run();
    ASSERT_NE(preview, nullptr);
    preview->resize(600, 500);
    const int pages = preview->PageCount();
    ASSERT_GT(pages, 3);
    while (preview->PagesDrawn() == 0) QApplication::processEvents();
    QWidget* focus = preview->focusWidget() ? preview->focusWidget() : preview.data();
    for (auto [key, page] : {std::pair{Qt::Key_End, pages - 1}, std::pair{Qt::Key_Home, 0}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
        QApplication::processEvents();
        EXPECT_EQ(preview->CurrentPage(), page);
    }
}

}  // namespace
