#pragma once
// A report of four levels of groups over a table of rows the test fills in, run through the real
// report control on a real database and saved as a PDF, with what the tests of its pages share.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "platform/report/ReportPreview.h"
#include "platform/report/WReportControl.h"
#include "tests/support/TestDataSource.h"

namespace groups_report {

// Level 3 has a note.
inline const char* const GroupsReport =
    "report \"Groups\"\n"
    "dataset rows\n"
    "  select g0, g1, g2, g3, note, cell, amount, measure from Rows order by seq\n"
    "end\n"
    "pageheader left \"{header}\"\n"
    "pagefooter center \"Page {page} of {pages}\"\n"
    "title \"Groups\"\n"
    "table rows\n"
    "  group g0 \"{g0}\"\n"
    "  group g1 \"{g1}\"\n"
    "  group g2 \"{g2}\"\n"
    "  group g3 \"{g3}\" note note\n"
    "  column \"Ingredient\" cell width 46\n"
    "  column \"Amount\" amount right width 14 number 0.##\n"
    "  column \"Measure\" measure\n"
    "  when cell\n"
    "  empty \"{empty}\"\n"
    "end\n";

struct Row {
    std::string g0, g1, g2, g3, note, cell;
};

// `count` words "<stem>1 <stem>2 ...": a text as long as the test needs, every word its own.
inline std::string Words(const std::string& stem, int count) {
    std::string words;
    for (int n = 1; n <= count; ++n) words += (n > 1 ? " " : "") + stem + std::to_string(n);
    return words;
}

inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

inline double Points(double units) { return units * 72.0 / ReportLayout::kUnitsPerInch; }

inline bool IsFooterWord(const std::string& word) {
    return word == "Page" || word == "of" || std::regex_match(word, std::regex("[0-9]+"));
}

// The page's lines between the header and the footer, as pdftotext lays them out.
inline std::vector<std::string> BodyLines(const std::vector<std::string>& page) {
    if (page.size() < 2) return {};
    return {page.begin() + 1, page.end() - 1};
}

class GroupsReportTest : public KestavoDatabaseTest {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(Exec("create table Rows( seq integer, g0 text, g1 text, g2 text, g3 text, note text, "
                         "cell text, amount double, measure text )"));
    }

    void Add(const Row& row) {
        ++seq_;
        auto text = [](const std::string& value) { return value.empty() ? std::string("NULL") : Quoted(value); };
        ASSERT_TRUE(Exec("insert into Rows values( " + std::to_string(seq_) + ", " + text(row.g0) + ", " +
                         text(row.g1) + ", " + text(row.g2) + ", " + text(row.g3) + ", " + text(row.note) + ", " +
                         text(row.cell) + ", " + (row.cell.empty() ? "NULL" : std::to_string(seq_ % 7 + 1)) +
                         ", " + (row.cell.empty() ? "NULL" : "'g'") + " )"));
    }

    // Runs the report (with the page header and empty text given); its preview, or null.
    ReportPreview* Run(const std::string& header = "Groups", const std::string& empty = "No rows.") {
        std::string report = GroupsReport;
        report.replace(report.find("{header}"), 8, header);
        report.replace(report.find("{empty}"), 7, empty);
        const std::filesystem::path file = Folder().File("groups.rpt");
        std::ofstream out(file, std::ios::trunc);
        out << report;
        out.close();
        EXPECT_TRUE(out) << "cannot write " << file;
        control.SetReportFileName(file.string());
        EXPECT_EQ(control.PrintReport(), 0) << control.GetLastErrorString();
        return control.Previews().empty() ? nullptr : control.Previews().back();
    }

    // The same, saved as a PDF; the pages it was laid out into.
    const ReportLayout* Save(const std::string& header = "Groups", const std::string& empty = "No rows.") {
        ReportPreview* preview = Run(header, empty);
        if (!preview) return nullptr;
        EXPECT_TRUE(preview->Document().SaveAsPdf(Pdf().string()));
        return &preview->Document().Layout();
    }

    std::filesystem::path Pdf() { return Folder().File("groups.pdf"); }

    // The body's bounds on the sheet, in points, and where the footer's text starts.
    struct Body {
        double top, bottom, footerTop, left, width;
    };
    static Body BodyOf(const ReportLayout& layout) {
        const QRectF printable = layout.PrintableRect();
        return {Points(printable.top() + layout.BodyRect().top()), Points(printable.top() + layout.BodyRect().bottom()),
                Points(printable.top() + layout.FooterTexts(0).boxes[1].top()), Points(printable.left()),
                Points(printable.width())};
    }

    int seq_ = 0;
    WReportControl control{"WinStart::transaction_KVO"};
};

}  // namespace groups_report
