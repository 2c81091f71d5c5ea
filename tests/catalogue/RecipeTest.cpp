// Recipe documents through the menu-item editor's two commands, with an editor program of the
// tests' own registered for text and .rtf files in a private XDG set-up: the byte-exact round
// trip through the work file, the blank templates, the editor that hands the file to a window
// already open, the failures that must store nothing, and the reset.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "catalogue/WinEditCourse.h"
#include "tests/catalogue/MenuItemTest.h"
#include "tests/support/FileText.h"

namespace fs = std::filesystem;

namespace {

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
std::string ToText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Bytes of every value, in an order that does not repeat (so they do not compress away).
Bytes EveryByteValue(std::size_t size, std::uint32_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = i < 256 ? static_cast<std::uint8_t>(i) : static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

const std::string kHandOverText =
    "The recipe was handed to an editor window that is already open.\r\nSave it there, then click OK to store "
    "it.\r\nCancel keeps the stored recipe as it was.";

class RecipeTest : public MenuItemTest {
protected:
    void SetUp() override {
        MenuItemTest::SetUp();
        setenv("XDG_CONFIG_HOME", (desktop / "config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (desktop / "etc").c_str(), 1);
        setenv("XDG_DATA_HOME", (desktop / "data").c_str(), 1);
        setenv("XDG_DATA_DIRS", "/usr/share", 1);   // the system's MIME types of .txt and .rtf
        unsetenv("XDG_CURRENT_DESKTOP");
        fs::create_directories(desktop / "config");
        fs::create_directories(desktop / "data/applications");
        course = AddCourse("Chili", 1, 1);
    }

    // Registers the test editor for text and .rtf files; "replace" writes the replacement over
    // the work file.
    void UseEditor(const std::string& mode, const Bytes& replacement = {}) {
        std::string exec = "Exec=\"" KVO_RECIPE_EDITOR "\" \"" + Record().string() + "\" " + mode;
        if (mode == "replace") {
            WriteFileText(desktop / "replacement", ToText(replacement));
            exec += " \"" + (desktop / "replacement").string() + "\"";
        }
        WriteFileText(desktop / "data/applications/kvo-recipe-editor.desktop",
                      "[Desktop Entry]\nType=Application\nName=Recipe editor\n" + exec + " %f\n");
        WriteFileText(desktop / "config/mimeapps.list", "[Default Applications]\ntext/plain=kvo-recipe-editor.desktop\n"
                                                        "application/rtf=kvo-recipe-editor.desktop\n");
    }
    fs::path Record() const { return desktop / "handed-over"; }
    // What the editor found in the work file; "<none>" when no editor ran.
    std::string HandedOver() const { return fs::exists(Record()) ? ReadFileText(Record()) : "<none>"; }

    Bytes Stored() {
        Bytes recipe;
        EXPECT_TRUE(main.LoadRecipe(course, recipe));
        return recipe;
    }
    void Store(const Bytes& recipe) { ASSERT_TRUE(main.SaveRecipe(course, recipe)); }

    // Opens the editor, lets the steps type, runs the command and closes by the close box;
    // answers the format label after the command.
    std::string RunCommand(const std::string& button, std::function<void(WForm&)> before = {}) {
        std::string label;
        OnOpen("WinEditCourse", [&](WForm& form) {
            if (before) before(form);
            Click(form, button.c_str());
            label = form.Control<WLabel>("label_RecipeFormat")->GetText();
            form.GetWindow()->close();
        });
        editor.Edit(nullptr, course);
        return label;
    }
    std::string EditRecipe(std::function<void(WForm&)> before = {}) { return RunCommand("cb_EditRecipe", before); }

    void ExpectRecipeError(const std::string& text) {
        ASSERT_EQ(prompter.Messages().size(), 1u);
        EXPECT_EQ(prompter.Messages()[0].caption, "Recipe error");
        EXPECT_EQ(prompter.Messages()[0].text, text);
        EXPECT_EQ(prompter.Messages()[0].icon, WMessageIcon::Stop);
        EXPECT_EQ(prompter.Messages()[0].buttons, WMessageButtons::OK);
    }
    void ExpectWorkFileError(const std::string& reason) {
        ExpectRecipeError("The recipe could not be written to the work file\r\n'" + work.Path().string() +
                          "/tmp_recipe.txt':\r\n" + reason +
                          "\r\nThe stored recipe was kept as it was and no editor was started.");
    }

    TempFolder desktop;
    long course = -1;
    WinEditCourse editor;
};

struct FormatCase {
    const char* name;
    int format;
    const char* extension;
    const char* label;
};
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class RecipeRoundTripTest : public RecipeTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(RecipeRoundTripTest, EveryByteOfTwoHundredKilobytesGoesOutAndComesBackAsItWas) {
    const FormatCase& c = GetParam();
    Exec("update Courses set recipe_format = " + std::to_string(c.format) + " where id = " + std::to_string(course));
    const Bytes before = EveryByteValue(200 * 1024, 1);
    Bytes after = ToBytes(std::string("Chili\0\r\n\r\n\xC3\xA9pices\r\n", 19));
    const Bytes rest = EveryByteValue(200 * 1024, 2);
    after.insert(after.end(), rest.begin(), rest.end());
    Store(before);
    UseEditor("replace", after);

    EXPECT_EQ(EditRecipe(), c.label);

    EXPECT_EQ(HandedOver(), ToText(before));
    EXPECT_EQ(Stored(), after);
    ASSERT_EQ(prompter.LaunchRequests().size(), 1u);
    EXPECT_EQ(prompter.LaunchRequests()[0].fileTypeKey, c.extension);
    EXPECT_EQ(prompter.LaunchRequests()[0].argument, (work / (std::string("tmp_recipe") + c.extension)).string());
    EXPECT_TRUE(prompter.LaunchRequests()[0].wait);
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_FALSE(Stamped(course));   // the recipe commands set no stamp
}

INSTANTIATE_TEST_SUITE_P(Formats, RecipeRoundTripTest,
                         ::testing::Values(FormatCase{"Text", 1, ".txt", "text file: recipe specified"},
                                           FormatCase{"Rtf", 2, ".rtf", ".rtf/Word file: recipe specified"},
                                           FormatCase{"ZeroIsRtf", 0, ".rtf", ".rtf/Word file: recipe specified"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecipeTest, EditingTwiceStartsFromWhatTheFirstEditStored) {
    UseEditor("replace", ToBytes("first\r\n"));
    EditRecipe();
    UseEditor("replace", ToBytes("second\n"));
    EditRecipe();
    EXPECT_EQ(HandedOver(), "first\r\n");
    EXPECT_EQ(ToText(Stored()), "second\n");
}

TEST_F(RecipeTest, WithoutARecipeTheEditorStartsFromTheTemplateStagedWithTheProgram) {
    WriteFileText(folder / "recipe_blank.txt", "Ingredients:\r\nSteps:\r\n");
    UseEditor("replace", ToBytes("Beans, then chili.\n"));
    EXPECT_EQ(EditRecipe(), "text file: recipe specified");
    EXPECT_EQ(HandedOver(), "Ingredients:\r\nSteps:\r\n");
    EXPECT_EQ(ReadFileText(work / "recipe_blank.txt"), "Ingredients:\r\nSteps:\r\n");   // copied once, then used
    EXPECT_EQ(ToText(Stored()), "Beans, then chili.\n");
}

// The blank text template staged with the program is empty: the work file is written without
// touching the empty document's data (the sanitized build stops on a null pointer otherwise).
TEST_F(RecipeTest, AnEmptyTemplateIsWrittenAsAnEmptyWorkFileWithoutANullWrite) {
    WriteFileText(folder / "recipe_blank.txt", "");
    UseEditor("replace", ToBytes("Beans, then chili.\n"));
    EXPECT_EQ(EditRecipe(), "text file: recipe specified");
    EXPECT_EQ(HandedOver(), "");
    EXPECT_EQ(ToText(Stored()), "Beans, then chili.\n");
}

// An editor that hands the file to a window of its own ends at once and leaves the file as it
// was: the user is asked, and the file is read only after the answer, once saved there.
class HandOverPrompter : public ScriptedPrompter {
public:
    explicit HandOverPrompter(fs::path workFile) : workFile_(std::move(workFile)) {}
    WMessageAnswer Message(WWindow* owner, const std::string& caption, const std::string& text, WMessageIcon icon,
                           WMessageButtons buttons) override {
        WriteFileText(workFile_, "saved in the open window");
        return ScriptedPrompter::Message(owner, caption, text, icon, buttons);
    }

private:
    fs::path workFile_;
};

struct HandOverCase {
    const char* name;
    bool stored;   // a recipe is stored before the edit
    WMessageAnswer answer;
};
void PrintTo(const HandOverCase& c, std::ostream* os) { *os << c.name; }

class HandOverTest : public RecipeTest, public ::testing::WithParamInterface<HandOverCase> {};

TEST_P(HandOverTest, AsksBeforeReadingTheFileBack) {
    const HandOverCase& c = GetParam();
    if (c.stored)
        Store(ToBytes("old recipe"));
    else
        WriteFileText(folder / "recipe_blank.txt", "");
    const Bytes before = Stored();
    UseEditor("keep");
    HandOverPrompter handOver(work / "tmp_recipe.txt");
    handOver.Answer(c.answer);
    const std::string label = EditRecipe();

    ASSERT_EQ(handOver.Messages().size(), 1u);
    EXPECT_EQ(handOver.Messages()[0].caption, "Recipe editor");
    EXPECT_EQ(handOver.Messages()[0].text, kHandOverText);
    EXPECT_EQ(handOver.Messages()[0].icon, WMessageIcon::Question);
    EXPECT_EQ(handOver.Messages()[0].buttons, WMessageButtons::OKCancel);
    if (c.answer == WMessageAnswer::OK) {
        EXPECT_EQ(ToText(Stored()), "saved in the open window");
        EXPECT_EQ(label, "text file: recipe specified");
    } else {
        EXPECT_EQ(Stored(), before);
        EXPECT_EQ(label, c.stored ? "text file: recipe specified" : "text file: no recipe set");
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, HandOverTest,
                         ::testing::Values(HandOverCase{"StoredRecipeOK", true, WMessageAnswer::OK},
                                           HandOverCase{"StoredRecipeCancel", true, WMessageAnswer::Cancel},
                                           HandOverCase{"BlankTemplateCancel", false, WMessageAnswer::Cancel}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecipeTest, AnEditorClosedAfterAWhileWithoutSavingStoresTheSameBytesWithoutAsking) {
    Store(ToBytes("old recipe"));
    UseEditor("slow");
    EXPECT_EQ(EditRecipe(), "text file: recipe specified");
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_EQ(ToText(Stored()), "old recipe");
}

TEST_F(RecipeTest, AWorkFileThatCannotBeReadBackStoresNothing) {
    Store(ToBytes("old recipe"));
    UseEditor("delete");
    EditRecipe();
    EXPECT_EQ(HandedOver(), "old recipe");
    EXPECT_EQ(ToText(Stored()), "old recipe");
}

TEST_F(RecipeTest, ADamagedRecipeIsNeitherHandedToTheEditorNorReplaced) {
    const Bytes damaged{0x40, 0x00, 0x00, 0x00, 'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'};
    Exec("insert into Recipes( course, seq, data ) values( ?, 0, ? )", {WDataValue(course), WDataValue(damaged)});
    UseEditor("replace", ToBytes("new"));
    EditRecipe([](WForm& form) { TypeOver(form, "textb_Name", "Chili verde"); });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    ExpectRecipeError("The stored recipe of 'Chili verde' cannot be read: it may be damaged.\r\nIt was kept as it "
                      "is and was not opened for editing.");
    EXPECT_TRUE(prompter.LaunchRequests().empty());
    EXPECT_EQ(Value("select data from Recipes where course = " + std::to_string(course)).AsBytes(), damaged);
    EXPECT_EQ(Count("Recipes"), 1);
    EXPECT_EQ(Text("select name from Courses where id = " + std::to_string(course)), "Chili");
}

// The work file may not grow past a limit: the recipe cannot be written whole, so no editor
// starts on a part of it, and the stored recipe stays.
TEST_F(RecipeTest, AShortWriteOfTheWorkFileStartsNoEditorAndStoresNothing) {
    Bytes recipe(256 * 1024);
    for (std::size_t i = 0; i < recipe.size(); ++i) recipe[i] = static_cast<std::uint8_t>(i);   // packs small
    Store(recipe);
    UseEditor("replace", ToBytes("new"));
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(fs::file_size(folder / "Kestavo.db") + 64 * 1024), RLIM_INFINITY};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    EditRecipe();
    ExpectWorkFileError("File too large");
    EXPECT_TRUE(prompter.LaunchRequests().empty());
    EXPECT_EQ(Stored(), recipe);
}

// A folder that stands where the work file goes (a name the program cannot take over), for a
// stored recipe and for the blank template of a menu item without one.
class UnwritableWorkFileTest : public RecipeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UnwritableWorkFileTest, IsToldAndChangesNothing) {
    const Bytes recipe = GetParam() ? ToBytes("old recipe") : Bytes{};
    Store(recipe);
    WriteFileText(folder / "recipe_blank.txt", "Ingredients:\r\n");
    fs::create_directories(work.Path() / "tmp_recipe.txt" / "kept");
    UseEditor("replace", ToBytes("new"));
    EditRecipe([](WForm& form) { form.Control<WComboBox>("combo_Feeds")->SetText("4"); });
    ExpectWorkFileError("Is a directory");
    EXPECT_TRUE(prompter.LaunchRequests().empty());
    EXPECT_EQ(Stored(), recipe);
    EXPECT_EQ(Text("select feeds || '' from Courses where id = " + std::to_string(course)), "1.0");
}

INSTANTIATE_TEST_SUITE_P(Recipes, UnwritableWorkFileTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Stored" : "Blank"); });

TEST_F(RecipeTest, WithNoEditorRegisteredNothingIsStoredAndNothingAsked) {
    Store(ToBytes("old recipe"));
    EditRecipe();
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Internal Error");
    EXPECT_EQ(ToText(Stored()), "old recipe");
}

TEST_F(RecipeTest, ResetToRtfClearsTheRecipeAndTheNextEditStartsFromTheRtfTemplate) {
    Store(ToBytes("old text recipe"));
    std::string caption;
    OnOpen("WinResetRecipe", [&](WForm& form) {
        caption = form.GetText();
        EXPECT_TRUE(form.Control<WCheckBox>("optb_FormatText")->GetChecked());
        form.Control<WCheckBox>("optb_FormatDoc")->SetChecked(true);
        Click(form, "cb_OK");
    });
    EXPECT_EQ(RunCommand("cb_ResetRecipe"), ".rtf/Word file: no recipe set");
    EXPECT_EQ(caption, "Reset Recipe");
    EXPECT_EQ(Count("Recipes"), 0);
    EXPECT_EQ(Stored(), Bytes{});
    EXPECT_FALSE(Stamped(course));

    WriteFileText(folder / "recipe_blank.rtf", "{\\rtf1 }");
    UseEditor("replace", ToBytes("{\\rtf1 Beans}"));
    EXPECT_EQ(EditRecipe(), ".rtf/Word file: recipe specified");
    EXPECT_EQ(HandedOver(), "{\\rtf1 }");
    EXPECT_EQ(prompter.LaunchRequests().back().fileTypeKey, ".rtf");
}

class CancelResetTest : public RecipeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CancelResetTest, LeavesFormatAndRecipeAsTheyWere) {
    Store(ToBytes("old text recipe"));
    OnOpen("WinResetRecipe", [](WForm& form) {
        form.Control<WCheckBox>("optb_FormatDoc")->SetChecked(true);
        if (GetParam())
            form.GetWindow()->close();
        else
            Click(form, "cb_Cancel");
    });
    EXPECT_EQ(RunCommand("cb_ResetRecipe"), "text file: recipe specified");
    EXPECT_EQ(ToText(Stored()), "old text recipe");
    EXPECT_EQ(Text("select recipe_format from Courses where id = " + std::to_string(course)), "1");
}

INSTANTIATE_TEST_SUITE_P(Ways, CancelResetTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "CloseBox" : "CancelButton"); });

// Name and feeds typed in the editor reach the row through the save step, with its rule of
// unique names, before either recipe command does its work.
struct SaveStepCase {
    const char* name;
    const char* button;
};
void PrintTo(const SaveStepCase& c, std::ostream* os) { *os << c.name; }

class RecipeSaveStepTest : public RecipeTest, public ::testing::WithParamInterface<SaveStepCase> {};

TEST_P(RecipeSaveStepTest, WritesNameAndFeedsWithAFreeName) {
    AddCourse("Stew");
    UseEditor("replace", ToBytes("x"));
    if (std::string(GetParam().button) == "cb_ResetRecipe")
        OnOpen("WinResetRecipe", [](WForm& form) { Click(form, "cb_OK"); });
    std::string shownName;
    RunCommand(GetParam().button, [&](WForm& form) {
        TypeOver(form, "textb_Name", "stew");
        form.Control<WComboBox>("combo_Feeds")->SetText("3.5");
    });
    EXPECT_EQ(Text("select name || '|' || feeds from Courses where id = " + std::to_string(course)), "stew_01|3.5");
    ASSERT_FALSE(prompter.Messages().empty());
    EXPECT_EQ(prompter.Messages()[0].caption, "Name already exists");
    EXPECT_FALSE(Stamped(course));
}

INSTANTIATE_TEST_SUITE_P(Commands, RecipeSaveStepTest,
                         ::testing::Values(SaveStepCase{"EditRecipe", "cb_EditRecipe"},
                                           SaveStepCase{"ResetRecipe", "cb_ResetRecipe"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecipeTest, FeedsThatAreNoNumberStopTheRecipeEdit) {
    Store(ToBytes("old recipe"));
    UseEditor("replace", ToBytes("new"));
    EditRecipe([](WForm& form) { form.Control<WComboBox>("combo_Feeds")->SetText("lots"); });
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0].caption, "Invalid number");
    EXPECT_TRUE(prompter.LaunchRequests().empty());
    EXPECT_EQ(ToText(Stored()), "old recipe");
    EXPECT_EQ(Text("select feeds || '' from Courses where id = " + std::to_string(course)), "1.0");
}

}  // namespace
