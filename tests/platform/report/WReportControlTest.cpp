// The report control on a real database: a run opens a preview of real text, a failed run
// answers its code and a text that says why, the PDF holds text.

#include "platform/report/WReportControl.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QApplication>
#include <QPrinter>
#include <fstream>

#include "platform/forms/WPrompter.h"
#include "platform/report/ReportData.h"
#include "platform/report/ReportPreview.h"
#include "tests/support/FileText.h"
#include "tests/support/TestDataSource.h"

namespace {

const char* const TripReport =
    "report \"Trip list\"\n"
    "parameter \"Trip id\" integer\n"
    "parameter version text\n"
    "parameter unit_type integer default 0\n"
    "dataset trip\n"
    "  select name, location from Trips where id = {Trip id}\n"
    "end\n"
    "dataset days\n"
    "  select d.day_num, 'Day ' || d.day_num as label, s.id as stop, fs.name as stop_name, s.id * 1.125 as amount\n"
    "    from TripDays d left join DayFoodStops s on s.trip_day = d.id left join FoodStops fs on fs.id = s.food_stop\n"
    "   where d.trip = {Trip id} order by d.day_num, fs.seq\n"
    "end\n"
    "pageheader left \"{trip.name}\"\n"
    "pageheader right \"Kestavo {version}\"\n"
    "pagefooter center \"Page {page} of {pages}\"\n"
    "title \"Plan of {trip.name}\"\n"
    "text \"Location: {trip.location}\"\n"
    "table days\n"
    "  group day_num \"{label}\"\n"
    "  column Stop stop_name width 60\n"
    "  column Amount amount right number 0.## up\n"
    "  when stop\n"
    "end\n";

class ReportControlTest : public KestavoDatabaseTest {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(Exec("insert into Trips( id, name, location ) values( 1, 'Ridge walk', 'North' )"));
        ASSERT_TRUE(Exec("insert into TripDays( id, trip, day_num ) values( 1, 1, 1 ), ( 2, 1, 2 )"));
        ASSERT_TRUE(Exec("insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 7 ), ( 2, 1, 1 )"));
        file = Folder().File("trip.rpt");
        WriteFile(file, TripReport);
    }

    void Hand(WReportControl& control, const std::string& path, const std::vector<std::string>& parameters) {
        control.SetReportFileName(path);
        control.SetWindowLeft(20);
        control.SetWindowTop(25);
        control.SetWindowWidth(600);
        control.SetWindowHeight(500);
        for (std::size_t i = 0; i < parameters.size(); ++i) control.SetParameterField(static_cast<int>(i), parameters[i]);
    }

    static void WriteFile(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::filesystem::path file;
    WReportControl control{"WinStart::transaction_KVO"};
};

TEST_F(ReportControlTest, ARunShowsItsPagesInANewWindowAtThePlacementGiven) {
    Hand(control, file.string(), {"Trip id; 1; TRUE", "version; 3.02; TRUE", "unit_type; 0; TRUE"});
    ASSERT_EQ(control.PrintReport(), 0) << control.GetLastErrorString();
    ASSERT_EQ(control.Previews().size(), 1u);
    ReportPreview* preview = control.Previews().front();
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->geometry(), QRect(20, 25, 600, 500));
    EXPECT_EQ(preview->windowTitle(), "Trip list");
    const std::string text = preview->Document().PlainText();
    EXPECT_NE(text.find("Plan of Ridge walk"), std::string::npos) << text;
    EXPECT_NE(text.find("Location: North"), std::string::npos) << text;
    EXPECT_NE(text.find("Day 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Day 2"), std::string::npos) << text;   // a day without stops keeps its heading
    EXPECT_NE(text.find("Breakfast"), std::string::npos) << text;
    EXPECT_NE(text.find("2.25"), std::string::npos) << text;    // 2 x 1.125 rounded up: 2.25
    EXPECT_NE(text.find("1.13"), std::string::npos) << text;    // 1.125 rounded up at the last digit
    EXPECT_LT(text.find("Breakfast"), text.find("Dinner")) << text;

    // Every run opens a window of its own.
    ASSERT_EQ(control.PrintReport(), 0);
    EXPECT_EQ(control.Previews().size(), 2u);
}

TEST_F(ReportControlTest, TheZoomAfterARunReachesItsWindow) {
    Hand(control, file.string(), {"Trip id; 1; TRUE", "version; 3.02; TRUE"});
    control.SetAction(1);
    EXPECT_EQ(control.GetLastErrorNumber(), 0) << control.GetLastErrorString();
    control.Zoom(150);
    ASSERT_EQ(control.Previews().size(), 1u);
    EXPECT_EQ(control.Previews().front()->Zoom(), 150);
    EXPECT_TRUE(control.LastRequest().byAction);
    EXPECT_EQ(control.LastRequest().zoom, 150);
}

struct FailureCase {
    std::string name;
    std::string fileText;      // empty: no file at all; "<dir>": a folder in its place
    std::vector<std::string> parameters;
    int code;
    std::string textPart;
};

std::ostream& operator<<(std::ostream& out, const FailureCase& c) { return out << c.name; }

const FailureCase Failures[] = {
    {"MissingFile", "", {"Trip id; 1; TRUE"}, ReportFileMissing, "cannot be found"},
    {"UnreadableFile", "<dir>", {"Trip id; 1; TRUE"}, ReportFileMissing, "cannot be read"},
    {"MalformedLine", "report R\nparameter \"Trip id\" integer\ntitel x\n", {"Trip id; 1; TRUE"}, ReportFileMalformed,
     "line 3: unknown statement \"titel\""},
    {"DatasetSqlFails", "report R\nparameter \"Trip id\" integer\ndataset d\nselect nope from Trips where id = {Trip id}\nend\ntitle T\n",
     {"Trip id; 1; TRUE"}, ReportDatasetFailed, "no such column: nope"},
    {"ParameterWithoutValue", TripReport, {"Trip id; ; TRUE", "version; 3.02; TRUE"}, ReportParameterMissing,
     "'Trip id' has no value"},
    {"ParameterNotHandedOver", TripReport, {"version; 3.02; TRUE"}, ReportParameterMissing, "'Trip id' has no value"},
    {"ParameterNotANumber", TripReport, {"Trip id; one; TRUE", "version; 3.02; TRUE"}, ReportParameterMissing,
     "needs a whole number"},
    {"ParameterTextWithoutSemicolon", TripReport, {"Trip id 1 TRUE", "version; 3.02; TRUE"}, ReportParameterMissing,
     "not of the form"},
    {"LayoutNamesAMissingColumn", "report R\ndataset d\nselect 1 a\nend\ntable d\ncolumn A b\nend\n", {},
     ReportLayoutFailed, "line 6: the dataset \"d\" has no column \"b\""},
};

class ReportControlFailureTest : public ReportControlTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReportControlFailureTest, AnswersItsCodeAndSaysWhy) {
    const FailureCase& c = GetParam();
    const std::filesystem::path path = Folder().File("failing.rpt");
    if (c.fileText == "<dir>") std::filesystem::create_directory(path);
    else if (!c.fileText.empty()) WriteFile(path, c.fileText);
    Hand(control, path.string(), c.parameters);
    EXPECT_EQ(control.PrintReport(), c.code);
    EXPECT_EQ(control.GetLastErrorNumber(), c.code);
    EXPECT_NE(control.GetLastErrorString().find(c.textPart), std::string::npos) << control.GetLastErrorString();
    EXPECT_TRUE(control.Previews().empty());
}

INSTANTIATE_TEST_SUITE_P(Failures, ReportControlFailureTest, ::testing::ValuesIn(Failures),
                         [](const auto& info) { return info.param.name; });

TEST_F(ReportControlTest, WithoutAConnectionARunFails) {
    WReportControl unconnected("nothing registered");
    Hand(unconnected, file.string(), {"Trip id; 1; TRUE", "version; 3.02; TRUE"});
    EXPECT_EQ(unconnected.PrintReport(), ReportNoDatabase);
}

// Qt compresses the page streams: what a PDF shows is found after inflating them.
std::string InflatedStreams(const std::string& pdf) {
    std::string out;
    std::size_t at = 0;
    while ((at = pdf.find("stream", at)) != std::string::npos) {
        std::size_t start = at + 6;
        if (pdf.compare(start, 2, "\r\n") == 0) start += 2;
        else if (pdf[start] == '\n') start += 1;
        else { at = start; continue; }
        const std::size_t end = pdf.find("endstream", start);
        if (end == std::string::npos) break;
        std::string inflated(1 << 22, '\0');
        uLongf size = inflated.size();
        if (uncompress(reinterpret_cast<Bytef*>(inflated.data()), &size,
                       reinterpret_cast<const Bytef*>(pdf.data() + start), end - start) == Z_OK)
            out.append(inflated.data(), size);
        at = end + 9;
    }
    return out;
}

TEST_F(ReportControlTest, SaveAsPdfWritesTextNotPicturesOfText) {
    Hand(control, file.string(), {"Trip id; 1; TRUE", "version; 3.02; TRUE"});
    ASSERT_EQ(control.PrintReport(), 0);
    ScriptedPrompter prompter;
    const std::filesystem::path pdf = Folder().File("plan.pdf");
    prompter.AnswerFile(pdf.string());
    control.Previews().front()->SaveAsPdf();
    ASSERT_EQ(prompter.FileRequests().size(), 1u);
    EXPECT_TRUE(prompter.FileRequests()[0].save);
    EXPECT_EQ(prompter.FileRequests()[0].defaultExtension, "pdf");
    const std::string bytes = ReadFileText(pdf);
    ASSERT_EQ(bytes.rfind("%PDF", 0), 0u);
    EXPECT_NE(bytes.find("/FontFile"), std::string::npos);     // fonts are embedded
    EXPECT_NE(bytes.find("/ToUnicode"), std::string::npos);    // and their glyphs map back to text
    EXPECT_EQ(bytes.find("/Subtype /Image"), std::string::npos);
    const std::string content = InflatedStreams(bytes);
    EXPECT_NE(content.find("BT"), std::string::npos);          // text objects
    EXPECT_NE(content.find("Tj"), std::string::npos);
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(ReportControlTest, AFileThatCannotBeWrittenIsReported) {
    Hand(control, file.string(), {"Trip id; 1; TRUE", "version; 3.02; TRUE"});
    ASSERT_EQ(control.PrintReport(), 0);
    ScriptedPrompter prompter;
    prompter.AnswerFile((Folder().Path() / "no such folder" / "plan.pdf").string());
    control.Previews().front()->SaveAsPdf();
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Report printing error");
}

TEST_F(ReportControlTest, PrintingGoesToThePrinterGiven) {
    Hand(control, file.string(), {"Trip id; 1; TRUE", "version; 3.02; TRUE"});
    ASSERT_EQ(control.PrintReport(), 0);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::filesystem::path out = Folder().File("printed.pdf");
    printer.setOutputFileName(QString::fromStdString(out.string()));
    EXPECT_EQ(control.Previews().front()->PrintTo(printer), ReportPreview::PrintResult::Printed);
    EXPECT_EQ(ReadFileText(out).rfind("%PDF", 0), 0u);
}

TEST_F(ReportControlTest, ATestHookSeesTheRunInsteadOfAWindow) {
    std::vector<WReportControl::Request> seen;
    WReportControl::SetTestHook([&](const WReportControl::Request& r) {
        seen.push_back(r);
        return std::make_pair(7, std::string("hooked"));
    });
    Hand(control, "/x/y.rpt", {"a; 1; TRUE", "b; 2; TRUE"});
    EXPECT_EQ(control.PrintReport(), 7);
    WReportControl::SetTestHook(nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].file, "/x/y.rpt");
    EXPECT_EQ(seen[0].parameters, (std::vector<std::string>{"a; 1; TRUE", "b; 2; TRUE"}));
    EXPECT_EQ(control.GetLastErrorString(), "hooked");
    EXPECT_TRUE(control.Previews().empty());
}

}  // namespace
