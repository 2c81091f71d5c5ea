// Reports with hostile rows, through the real report control and read back from the saved PDF:
// a heading taller than a page, repeated on every page it runs onto, takes one line and leaves
// the rows their room, so every row is printed once and nothing lies under the footer; such a
// heading starts where it stands and keeps the heading above it company; a cell or a note with
// tabs wraps inside its column; and a character that the note's italic face lacks comes from the
// upright face, so Arabic and Hebrew notes keep their letters, Arabic's joined.

#include <gtest/gtest.h>

#include <QPrinter>
#include <QRawFont>
#include <QString>
#include <algorithm>
#include <map>
#include <regex>

#include "tests/platform/report/GroupsReportTest.h"
#include "tests/platform/report/PdfText.h"

namespace {

using namespace groups_report;

class ReportLayoutTest : public GroupsReportTest {};

TEST_F(ReportLayoutTest, ARepeatedHeadingTallerThanAPageTakesOneLineAndEveryRowIsPrintedOnceAboveTheFooter) {
    const std::string meal = "Meal " + Words("oats", 700);   // some 5,000 characters
    for (int item = 1; item <= 40; ++item)
        for (int line = 1; line <= 3; ++line)
            Add({"Day 1", "Breakfast", meal, "Item" + std::to_string(item),
                 "", "ing" + std::to_string(item) + "x" + std::to_string(line)});
    const ReportLayout* layout = Save();
    ASSERT_NE(layout, nullptr);
    const Body body = BodyOf(*layout);

    std::map<std::string, int> lines, oats;
    std::map<int, double> lowest;   // the lowest word of each page's body
    const std::regex ingredient("ing[0-9]+x[0-9]");
    for (const pdf_text::Word& word : pdf_text::Words(Pdf())) {
        if (std::regex_match(word.text, ingredient)) ++lines[word.text];
        if (word.text.rfind("oats", 0) == 0) ++oats[word.text];
        if (word.yMax > body.footerTop - 0.5) {
            EXPECT_TRUE(IsFooterWord(word.text)) << word.text << " at or below the footer on page " << word.page + 1;
            EXPECT_GE(word.yMin, body.footerTop - 0.5) << word.text << " on page " << word.page + 1;
        } else if (word.yMin > body.top) {
            lowest[word.page] = std::max(lowest[word.page], word.yMax);
        }
    }
    EXPECT_EQ(lines.size(), 120u);
    for (const auto& [text, count] : lines) EXPECT_EQ(count, 1) << text;
    // The whole name once where it stands; each repeat of it is one line cut with "...".
    EXPECT_EQ(oats.size(), 700u);
    EXPECT_EQ(oats["oats700"], 1);

    const auto pages = pdf_text::Pages(Pdf());
    std::map<std::string, int> items;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const std::string& line : BodyLines(pages[p])) {
            if (std::regex_match(line, std::regex("Item[0-9]+"))) ++items[line];
            if (line.find("(continued)") != std::string::npos && line.rfind("Meal", 0) == 0)
                EXPECT_NE(line.find("... (continued)"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(items.size(), 40u);
    for (const auto& [item, count] : items) EXPECT_EQ(count, 1) << item;
    // No page is wasted on repeats: each but the last is filled to half its body at least.
    ASSERT_GT(pages.size(), 2u);
    for (std::size_t p = 0; p + 1 < pages.size(); ++p)
        EXPECT_GT(lowest[static_cast<int>(p)], body.top + (body.bottom - body.top) / 2) << "page " << p + 1;
}

TEST_F(ReportLayoutTest, OnPaperTooSmallForEveryRepeatTheOutermostHeadingsGiveWayAndEveryPageHoldsRows) {
    for (int item = 1; item <= 12; ++item)
        for (int line = 1; line <= 3; ++line)
            Add({"Day 1", "Breakfast", "Porridge", "Item" + std::to_string(item), "",
                 "ing" + std::to_string(item) + "x" + std::to_string(line)});
    ASSERT_NE(Save(), nullptr);
    // A7 landscape: the titles and four repeated headings would take more than half its body.
    const std::filesystem::path pdf = Folder().File("a7.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A7), QPageLayout::Landscape,
                                                  QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter)));
    ASSERT_EQ(control.Previews().back()->PrintTo(printer), ReportPreview::PrintResult::Printed);

    const auto pages = pdf_text::Pages(pdf);
    ASSERT_GT(pages.size(), 3u);
    std::map<std::string, int> lines;
    int outermostGaveWay = 0;   // pages that repeat the item's heading but not the day's
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string> body = BodyLines(pages[p]);
        int rows = 0;
        for (const std::string& line : body)
            if (std::regex_match(line, std::regex("ing[0-9]+x[0-9] .*"))) {
                ++rows;
                ++lines[line.substr(0, line.find(' '))];
            }
        EXPECT_GT(rows, 0) << "page " << p + 1 << ": " << ::testing::PrintToString(pages[p]);
        const bool item = std::any_of(body.begin(), body.end(), [](const std::string& line) {
            return std::regex_match(line, std::regex("Item[0-9]+ \\(continued\\)"));
        });
        outermostGaveWay += item && std::count(body.begin(), body.end(), "Day 1 (continued)") == 0;
    }
    EXPECT_GT(outermostGaveWay, 0);
    EXPECT_EQ(lines.size(), 36u);
    for (const auto& [line, count] : lines) EXPECT_EQ(count, 1) << line;
}

TEST_F(ReportLayoutTest, AHeadingTallerThanAPageStartsWhereItStandsAndNoPageEndsWithAHeadingOrTheColumnTitles) {
    const std::string tall = Words("tall", 1400);
    // A heading taller than a page first under the column titles, then one under a short heading.
    for (int line = 1; line <= 3; ++line) Add({"Starter", tall, "Food", "Item", "", "first" + std::to_string(line)});
    for (int line = 1; line <= 3; ++line)
        Add({"Short heading", tall + " again", "Food", "Item", "", "second" + std::to_string(line)});
    const ReportLayout* layout = Save();
    ASSERT_NE(layout, nullptr);
    const auto pages = pdf_text::Pages(Pdf());
    ASSERT_GT(pages.size(), 2u);

    // Page 1 holds the first lines of the tall heading under the titles, not just the titles.
    const std::vector<std::string> first = BodyLines(pages[0]);
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(first[0], "Groups");
    EXPECT_EQ(first[1], "Ingredient Amount Measure");
    EXPECT_EQ(first[2], "Starter");
    EXPECT_EQ(first[3].rfind("tall1 ", 0), 0u) << first[3];

    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string> lines = BodyLines(pages[p]);
        ASSERT_FALSE(lines.empty()) << "page " << p + 1;
        const std::string& last = lines.back();
        EXPECT_NE(last, "Ingredient Amount Measure") << "page " << p + 1;
        EXPECT_NE(last, "Starter") << "page " << p + 1;
        EXPECT_NE(last, "Short heading") << "page " << p + 1;
        EXPECT_EQ(last.find("(continued)"), std::string::npos) << "page " << p + 1 << " ends with " << last;
        // The tall heading's last line always has its first row under it.
        EXPECT_EQ(last.find("tall1400"), std::string::npos) << "page " << p + 1 << " ends with " << last;
        EXPECT_EQ(last.find("again"), std::string::npos) << "page " << p + 1 << " ends with " << last;
    }
}

TEST_F(ReportLayoutTest, ACellOrANoteWithTabsWrapsInsideItsColumn) {
    const std::string cell = "TABSTART\t\t\t\t\t\t\t\t\t\tTABEND";
    const std::string note = "NOTESTART" + std::string(30, '\t') + "NOTEEND";
    Add({"Day 1", "Breakfast", "Porridge", "Oats", note, cell});
    Add({"Day 1", "Breakfast", "Porridge", "Oats", note, "Milk\tpowder"});
    const ReportLayout* layout = Save("Tabbed\theader");
    ASSERT_NE(layout, nullptr);
    const Body body = BodyOf(*layout);
    const double ingredientRight = body.left + 0.46 * body.width;
    std::map<std::string, int> seen;
    for (const pdf_text::Word& word : pdf_text::Words(Pdf())) {
        ++seen[word.text];
        if (word.text.rfind("TAB", 0) == 0 || word.text == "Milk" || word.text == "powder")
            EXPECT_LE(word.xMax, ingredientRight + 0.5) << word.text << " runs out of the Ingredient column";
        EXPECT_LE(word.xMax, body.left + body.width + 0.5) << word.text << " runs off the page";
        EXPECT_GE(word.xMin, body.left - 0.5) << word.text;
    }
    for (const char* word : {"TABSTART", "TABEND", "NOTESTART", "NOTEEND", "Milk", "powder", "Tabbed", "header"})
        EXPECT_GE(seen[word], 1) << word << " is missing";
    EXPECT_EQ(seen["TABEND"], 1);
}

// A note, a heading, the page header and the empty-table text in a script and what shows of it.
struct ScriptCase {
    const char* name;
    const char* text;     // UTF-8
    const char* joined;   // letters in the forms that only shaping gives them, UTF-8
};

std::ostream& operator<<(std::ostream& out, const ScriptCase& c) { return out << c.name; }

class ReportScriptTest : public ReportLayoutTest, public ::testing::WithParamInterface<ScriptCase> {};

// The letters of the text, each as often as it has them, found in the PDF's text (compared
// after NFKC, which makes Arabic presentation forms the letters they show).
void ExpectLettersIn(const QString& text, const QString& shown, const char* where) {
    std::map<char32_t, int> wanted, found;
    for (char32_t c : text.toUcs4())
        if (QChar::isLetter(c)) ++wanted[c];
    for (char32_t c : shown.normalized(QString::NormalizationForm_KC).toUcs4()) ++found[c];
    for (const auto& [letter, count] : wanted)
        EXPECT_GE(found[letter], count) << where << ": U+" << std::hex << static_cast<unsigned>(letter) << " missing";
}

TEST_P(ReportScriptTest, ItsLettersAreInThePdfInEveryRoleOfTheReport) {
    const std::string text = GetParam().text;
    Add({"Day " + text, "Breakfast", "Porridge", "Oats", text, text});
    ASSERT_NE(Save(text), nullptr);
    const QString shown = QString::fromStdString(pdf_text::Run("pdftotext -raw '" + Pdf().string() + "' -"));
    const QString letters = QString::fromStdString(text);
    // The header, the day's heading (bold), the note (italic) and a cell: four times each letter.
    ExpectLettersIn(letters + letters + letters + letters, shown, "header, heading, note and cell");
    for (char32_t form : QString::fromUtf8(GetParam().joined).toUcs4())
        EXPECT_TRUE(shown.toUcs4().contains(form)) << "not joined: U+" << std::hex << static_cast<unsigned>(form);

    // The empty-table text is italic too.
    ASSERT_TRUE(Exec("delete from Rows"));
    ASSERT_NE(Save("Groups", text), nullptr);
    ExpectLettersIn(letters, QString::fromStdString(pdf_text::Run("pdftotext -raw '" + Pdf().string() + "' -")),
                    "empty text");
}

INSTANTIATE_TEST_SUITE_P(Scripts, ReportScriptTest,
                         // "Hello world": in Arabic its meem and beh begin words, in their initial forms.
                         ::testing::Values(ScriptCase{"Arabic", "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7 "
                                                                "\xd8\xa8\xd8\xa7\xd9\x84\xd8\xb9\xd8\xa7\xd9\x84\xd9\x85",
                                                      "\xef\xbb\xa3\xef\xba\x91"},
                                           ScriptCase{"Hebrew", "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d "
                                                                "\xd7\xa2\xd7\x95\xd7\x9c\xd7\x9d", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
