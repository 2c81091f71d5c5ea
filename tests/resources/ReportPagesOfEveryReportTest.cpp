// The program's own report files on the long trip of the benchmarks and on a trip with one long
// note: every report has the same pages in the preview, in a PDF and on a printer, and a very
// long note, with or without blanks, shows whole in the very detailed plan.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinter>
#include <sstream>

#include "bench/report/LongTrip.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/WReportControl.h"
#include "tests/platform/report/PdfText.h"
#include "tests/support/TestDataSource.h"

namespace {

std::string ReportFile(const std::string& name) { return std::string(KVO_REPORTS_DIR) + "/" + name; }

std::vector<std::string> Parameters(int trip, int veryDetailed) {
    return {"Trip id; " + std::to_string(trip) + "; TRUE", "version; 3.02; TRUE", "unit_type; 1; TRUE",
            "ingredient_units; 1; TRUE", "trip_very_detailed; " + std::to_string(veryDetailed) + "; TRUE"};
}

std::string Squeezed(const QString& text) {
    std::istringstream words(text.toStdString());
    std::string word, squeezed;
    while (words >> word) squeezed += (squeezed.empty() ? "" : " ") + word;
    return squeezed;
}

class ReportFilesTest : public KestavoDatabaseTest {
protected:
    ReportPreview* Run(const std::string& file, const std::vector<std::string>& parameters) {
        control.SetReportFileName(ReportFile(file));
        for (std::size_t i = 0; i < parameters.size(); ++i) control.SetParameterField(static_cast<int>(i), parameters[i]);
        EXPECT_EQ(control.PrintReport(), 0) << control.GetLastErrorString();
        return control.Previews().empty() ? nullptr : control.Previews().back();
    }

    WReportControl control{"WinStart::transaction_KVO"};
};

struct EveryReport {
    std::string name;
    std::string file;
    int trip;
    int veryDetailed;
};

std::ostream& operator<<(std::ostream& out, const EveryReport& c) { return out << c.name; }

class EveryReportTest : public ReportFilesTest, public ::testing::WithParamInterface<EveryReport> {};

TEST_P(EveryReportTest, HasTheSamePagesInThePreviewThePdfAndOnAPrinter) {
    ASSERT_TRUE(long_trip::Fill(DatabasePath()));
    ReportPreview* preview = Run(GetParam().file, Parameters(GetParam().trip, GetParam().veryDetailed));
    ASSERT_NE(preview, nullptr);
    const std::filesystem::path saved = Folder().File("saved.pdf"), printed = Folder().File("printed.pdf");
    ASSERT_TRUE(preview->Document().SaveAsPdf(saved.string()));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(printed.string()));
    ASSERT_TRUE(printer.setPageLayout(preview->Document().PageLayout()));
    ASSERT_EQ(preview->PrintTo(printer), ReportPreview::PrintResult::Printed);

    const int pages = preview->PageCount();
    EXPECT_GT(pages, 1);
    EXPECT_EQ(pdf_text::PageCount(saved), pages);
    EXPECT_EQ(pdf_text::PageCount(printed), pages);
    const auto onScreen = preview->Document().Layout().LastLines();
    const auto inPdf = pdf_text::Pages(saved), onPaper = pdf_text::Pages(printed);
    ASSERT_EQ(inPdf.size(), static_cast<std::size_t>(pages));
    ASSERT_EQ(onPaper.size(), static_cast<std::size_t>(pages));
    for (int p = 0; p < pages; ++p) {
        const auto& page = inPdf[static_cast<std::size_t>(p)];
        ASSERT_GE(page.size(), 3u) << "page " << p + 1;
        const std::string last = page[page.size() - 2];   // above the footer
        EXPECT_EQ(last, Squeezed(onScreen[static_cast<std::size_t>(p)])) << "page " << p + 1;
        EXPECT_EQ(onPaper[static_cast<std::size_t>(p)], page) << "page " << p + 1;
        EXPECT_EQ(page.back(), "Page " + std::to_string(p + 1) + " of " + std::to_string(pages));
    }
}

INSTANTIATE_TEST_SUITE_P(
    OnTheLongTrip, EveryReportTest,
    ::testing::Values(EveryReport{"ShoppingList", "report_shopping_list.rpt", 1, 0},
                      EveryReport{"TripPlanSummary", "report_trip_plan.rpt", 1, 0},
                      EveryReport{"Ingredients", "report_ingredients.rpt", -1, 0},
                      EveryReport{"MenuItems", "report_courses.rpt", -1, 0},
                      EveryReport{"Meals", "report_meals.rpt", -1, 0},
                      EveryReport{"TripPlanDetailed", "report_trip_plan_detailed.rpt", 1, 0},
                      EveryReport{"TripPlanVeryDetailed", "report_trip_plan_detailed.rpt", 1, 1}),
    [](const ::testing::TestParamInfo<EveryReport>& info) { return info.param.name; });

struct LongNote {
    std::string name;
    bool blanks;
};

std::ostream& operator<<(std::ostream& out, const LongNote& c) { return out << c.name; }

class LongNoteTest : public ReportFilesTest, public ::testing::WithParamInterface<LongNote> {};

// 20,000 characters: "Q00001Q00002..." (or with a blank between the numbers), cut there.
std::string Note(bool blanks) {
    std::string note;
    char number[16];
    for (int n = 1; note.size() < 20000; ++n) {
        std::snprintf(number, sizeof number, "Q%05d", n);
        if (blanks && n > 1) note += ' ';
        note += number;
    }
    note.resize(20000);
    if (note.back() == ' ') note.back() = 'Q';
    return note;
}

TEST_P(LongNoteTest, ShowsInTheVeryDetailedPlanAndEveryCharacterIsInThePdfOnce) {
    const std::string note = Note(GetParam().blanks);
    for (const std::string& sql : {
             std::string("insert into People( id, name, appetite ) values( 1, 'Ann', 1.0 )"),
             std::string("insert into Ingredients( id, name, def_measure, unit_measure, unit_measure_name, unit_measure_size )"
                         " values( 1, 'Raisins', 10, 0, '', 1 )"),
             "insert into Courses( id, name, feeds, notes ) values( 1, 'Trail mix', 1, '" + note + "' )",
             std::string("insert into CourseIngredients( course, ingredient, measure, amount, unit_measure ) values( 1, 1, 10, 100, 0 )"),
             std::string("insert into Trips( id, name, location, trip_date ) values( 1, 'Ridge', 'North', '2024-06-01' )"),
             std::string("insert into TripPeople( person, trip ) values( 1, 1 )"),
             std::string("insert into TripDays( id, trip, day_num ) values( 1, 1, 1 )"),
             std::string("insert into DayFoodStops( id, trip_day, food_stop ) values( 1, 1, 4 )"),
             std::string("insert into DayCourses( day_stop, course ) values( 1, 1 )"),
             std::string("insert into MealPeople( person, day_stop ) values( 1, 1 )")})
        ASSERT_TRUE(Exec(sql));
    ReportPreview* preview = Run("report_trip_plan_detailed.rpt", Parameters(1, 1));
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    while (preview->PagesDrawn() == 0) QApplication::processEvents();

    const std::filesystem::path pdf = Folder().File("plan.pdf");
    ASSERT_TRUE(preview->Document().SaveAsPdf(pdf.string()));
    const auto pages = pdf_text::Pages(pdf);
    ASSERT_GT(pages.size(), 1u);   // the note goes on over the next pages
    // The note's lines are those made of its letter, digits and blanks only.
    std::string shown;
    for (const auto& page : pages)
        for (const std::string& line : page)
            if (line.find('Q') != std::string::npos && line.find_first_not_of("Q0123456789 ") == std::string::npos)
                shown += (shown.empty() || !GetParam().blanks ? "" : " ") + line;
    EXPECT_EQ(shown.size(), note.size());
    EXPECT_TRUE(shown == note) << "the note shown differs from the note at "
                               << std::mismatch(shown.begin(), shown.end(), note.begin(), note.end()).first - shown.begin();
    EXPECT_EQ(pages.back().back(), "Page " + std::to_string(pages.size()) + " of " + std::to_string(pages.size()));
}

INSTANTIATE_TEST_SUITE_P(OfTwentyThousandCharacters, LongNoteTest,
                         ::testing::Values(LongNote{"WithoutABlank", false}, LongNote{"WithBlanks", true}),
                         [](const ::testing::TestParamInfo<LongNote>& info) { return info.param.name; });

}  // namespace
