#include "shell/StartupOptions.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "tests/shell/ScratchFolder.h"

namespace {

const std::string DefaultFile =
    "kvo_v_10:\r\nproduct_version: 0\r\nuser_name: \r\nuser_email: \r\ningredient_units: 0\r\n"
    "report_type: 1\r\nstartup_help: 1\r\ncooking_measure: 0\r\nstartup_convert: 1\r\n"
    "preview_mag: 0\r\nsafe_edits: 0\r\nkvo_end:\r\n";

void ExpectDefaults(const StartupOptions& o) {
    EXPECT_EQ(o.productVersion, 0);
    EXPECT_EQ(o.userName, "");
    EXPECT_EQ(o.userEmail, "");
    EXPECT_EQ(o.ingredientUnits, 0);
    EXPECT_EQ(o.reportType, 1);
    EXPECT_TRUE(o.startupHelp);
    EXPECT_EQ(o.cookingMeasure, 0);
    EXPECT_TRUE(o.startupConvert);
    EXPECT_EQ(o.previewMag, 0);
    EXPECT_FALSE(o.safeEdits);
}

class StartupOptionsTest : public ::testing::Test {
protected:
    void SetUp() override { folder.MakeCurrent(); }
    static void WriteOptionsFile(const std::string& bytes) { ScratchFolder::Write("kvo.dat", bytes); }

    ScratchFolder folder;
    StartupOptions options;
};

TEST_F(StartupOptionsTest, FileNameIsKvoDat) { EXPECT_STREQ(GetOptionsFileName(), "kvo.dat"); }

TEST_F(StartupOptionsTest, DefaultsAreWrittenAsTwelvePlainLines) {
    ExpectDefaults(options);
    ASSERT_TRUE(options.Save());
    EXPECT_EQ(ScratchFolder::Read("kvo.dat"), DefaultFile);
    EXPECT_FALSE(std::filesystem::exists("kvo.dat.tmp"));
}

TEST_F(StartupOptionsTest, EveryOptionRoundTrips) {
    options.productVersion = 3;
    options.userName = "Ann 100%s Smith";
    options.userEmail = "ann@example.org";
    options.ingredientUnits = 3;
    options.reportType = 6;
    options.startupHelp = false;
    options.cookingMeasure = 2;
    options.startupConvert = false;
    options.previewMag = 4;
    options.safeEdits = true;
    ASSERT_TRUE(options.Save());
    StartupOptions loaded;
    ASSERT_TRUE(loaded.Load()) << loaded.GetErrorText();
    EXPECT_EQ(loaded.productVersion, 3);
    EXPECT_EQ(loaded.userName, "Ann 100%s Smith");
    EXPECT_EQ(loaded.userEmail, "ann@example.org");
    EXPECT_EQ(loaded.ingredientUnits, 3);
    EXPECT_EQ(loaded.reportType, 6);
    EXPECT_FALSE(loaded.startupHelp);
    EXPECT_EQ(loaded.cookingMeasure, 2);
    EXPECT_FALSE(loaded.startupConvert);
    EXPECT_EQ(loaded.previewMag, 4);
    EXPECT_TRUE(loaded.safeEdits);
}

TEST_F(StartupOptionsTest, LineBreaksInTextsCannotAddLines) {
    options.userName = "Ann\r\npreview_mag: 9";
    options.userEmail = "a@b\nsafe_edits: 1\rx";
    ASSERT_TRUE(options.Save());
    StartupOptions loaded;
    ASSERT_TRUE(loaded.Load()) << loaded.GetErrorText();
    EXPECT_EQ(loaded.userName, "Ann  preview_mag: 9");
    EXPECT_EQ(loaded.userEmail, "a@b safe_edits: 1 x");
    EXPECT_EQ(loaded.previewMag, 0);
    EXPECT_FALSE(loaded.safeEdits);
}

TEST_F(StartupOptionsTest, SaveThatCannotWriteKeepsTheOldFile) {
    WriteOptionsFile(DefaultFile);
    std::filesystem::create_directory("kvo.dat.tmp");   // the temporary file cannot be made
    options.reportType = 4;
    EXPECT_FALSE(options.Save());
    EXPECT_EQ(ScratchFolder::Read("kvo.dat"), DefaultFile);
}

TEST_F(StartupOptionsTest, SaveThatCannotReplaceLeavesNoTemporaryFile) {
    std::filesystem::create_directories("kvo.dat/in-the-way");
    EXPECT_FALSE(options.Save());
    EXPECT_FALSE(std::filesystem::exists("kvo.dat.tmp"));
}

struct LoadCase {
    const char* name;
    friend void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }
    std::string file;
    bool ok;
    std::string error;   // when not ok
    std::int32_t reportType;
    std::string userName;
    std::int32_t cookingMeasure;
};

class StartupOptionsLoadTest : public StartupOptionsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(StartupOptionsLoadTest, LoadsOrFallsBackToTheDefaults) {
    const LoadCase& c = GetParam();
    WriteOptionsFile(c.file);
    EXPECT_EQ(options.Load(), c.ok);
    if (!c.ok) {
        EXPECT_EQ(options.GetErrorText(), c.error);
        ExpectDefaults(options);
        return;
    }
    EXPECT_EQ(options.reportType, c.reportType);
    EXPECT_EQ(options.userName, c.userName);
    EXPECT_EQ(options.cookingMeasure, c.cookingMeasure);
    EXPECT_FALSE(options.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Files, StartupOptionsLoadTest,
    ::testing::Values(
        LoadCase{"DefaultFile", DefaultFile, true, "", 1, "", 0},
        LoadCase{"OnlyReportType", "kvo_v_10:\r\nreport_type: 3\r\n", true, "", 3, "", 0},
        LoadCase{"StopsWithoutEndLine", "kvo_v_10:\r\nreport_type: 2\r\ncooking_measure: 1\r\n", true, "", 2, "", 1},
        LoadCase{"LastValueWinsAndHeaderRepeats",
                 "kvo_v_10:\r\nreport_type: 2\r\nkvo_v_10:\r\nreport_type: 5\r\nkvo_end:\r\nreport_type: 6\r\n",
                 true, "", 5, "", 0},
        LoadCase{"LineWithoutColonEndsTheLoad", "kvo_v_10:\r\nreport_type: 4\r\ngarbage\r\nreport_type: 9\r\n",
                 true, "", 4, "", 0},
        LoadCase{"LeadingBlanksOfTheNameGo", "kvo_v_10:\r\nuser_name: \t  Bob Lee\r\n", true, "", 1, "Bob Lee", 0},
        LoadCase{"PercentSignsStay", "kvo_v_10:\r\nuser_name: 50%d off%s\r\n", true, "", 1, "50%d off%s", 0},
        LoadCase{"HeaderMissing", "report_type: 3\r\nkvo_end:\r\n", false, "header tag is missing"},
        LoadCase{"EmptyFile", "", false, "header tag is missing"},
        LoadCase{"PreviewMagOutOfRange", "kvo_v_10:\r\nreport_type: 3\r\nuser_name: Bob\r\npreview_mag: 5\r\n",
                 false, "Data out of range [0, 4] in the line 'preview_mag: 5'"},
        LoadCase{"ReportTypeOutOfRange", "kvo_v_10:\r\nreport_type: 7\r\n", false,
                 "Data out of range [0, 6] in the line 'report_type: 7'"},
        LoadCase{"CookingMeasureNegative", "kvo_v_10:\r\ncooking_measure: -1\r\n", false,
                 "Data out of range [0, 2] in the line 'cooking_measure: -1'"},
        LoadCase{"IngredientUnitsOutOfRange", "kvo_v_10:\r\ningredient_units: 5\r\n", false,
                 "Data out of range [0, 4] in the line 'ingredient_units: 5'"},
        LoadCase{"UnknownTag", "kvo_v_10:\r\nreport_type: 3\r\nwindow_size: 2\r\n", false,
                 "unrecognized tag name: window_size"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupOptionsTest, MissingFileFailsAndKeepsTheDefaults) {
    EXPECT_FALSE(options.Load());
    EXPECT_EQ(options.GetErrorText(), "Could not open file 'kvo.dat'");
    ExpectDefaults(options);
}

TEST_F(StartupOptionsTest, AFolderInPlaceOfTheFileCannotBeOpened) {
    std::filesystem::create_directory("kvo.dat");
    EXPECT_FALSE(options.Load());
    EXPECT_EQ(options.GetErrorText(), "Could not open file 'kvo.dat'");
    ExpectDefaults(options);
}

TEST_F(StartupOptionsTest, ANameEndsAtItsFirstZeroByte) {
    WriteOptionsFile(std::string("kvo_v_10:\r\nuser_name: Ann\0Lee\r\nreport_type: 3\r\n", 47));
    ASSERT_TRUE(options.Load()) << options.GetErrorText();
    EXPECT_EQ(options.userName, "Ann");
    EXPECT_EQ(options.reportType, 3);
}

TEST_F(StartupOptionsTest, BooleansAreTrueOnlyForOne) {
    WriteOptionsFile("kvo_v_10:\r\nstartup_help: 2\r\nstartup_convert: 0\r\nsafe_edits: 1\r\n");
    ASSERT_TRUE(options.Load());
    EXPECT_FALSE(options.startupHelp);
    EXPECT_FALSE(options.startupConvert);
    EXPECT_TRUE(options.safeEdits);
}

// A 4 is a legal value: refusing it threw away the user's name, e-mail and cooking measure too.
TEST_F(StartupOptionsTest, IngredientUnitsFourLoadsWithTheOtherOptions) {
    WriteOptionsFile("kvo_v_10:\r\nuser_name: Ann\r\nuser_email: ann@example.org\r\n"
                     "ingredient_units: 4\r\ncooking_measure: 2\r\nkvo_end:\r\n");
    ASSERT_TRUE(options.Load()) << options.GetErrorText();
    EXPECT_EQ(options.ingredientUnits, 4);
    EXPECT_EQ(options.userName, "Ann");
    EXPECT_EQ(options.userEmail, "ann@example.org");
    EXPECT_EQ(options.cookingMeasure, 2);
}

TEST_F(StartupOptionsTest, ProductVersionTakesAnyNumber) {
    WriteOptionsFile("kvo_v_10:\r\nproduct_version: -42\r\n");
    ASSERT_TRUE(options.Load());
    EXPECT_EQ(options.productVersion, -42);
}

}  // namespace
