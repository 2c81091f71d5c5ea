// The recipe commands of the menu-item editor. The stored recipe is exactly the bytes of the
// work file, in both directions; it is replaced only by a work file that was read back whole.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "catalogue/MenuItemTables.h"
#include "catalogue/WinEditCourse.h"
#include "shell/FormatText.h"
#include "shell/WinStart.h"

using namespace MenuItemTables;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr long kTextFormat = 1;
// An editor that hands the file to a window of its own already open ends at once.
constexpr std::chrono::seconds kHandOverTime{2};

std::string ExtensionOf(long format) { return format == kTextFormat ? ".txt" : ".rtf"; }

// 0 when every byte reached the file, else the error number of the failure.
int WriteWholeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return errno;
    // An empty document has no data to point at, and fwrite must not be handed a null pointer.
    int error = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? 0 : errno;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    return error;
}

// The whole file, its size taken from the open file; false when it cannot be opened or read
// to its end.
bool ReadWholeFile(const std::string& path, Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    struct stat status {};
    bool read = fstat(fileno(file), &status) == 0 && status.st_size >= 0;
    if (read) {
        bytes.assign(static_cast<std::size_t>(status.st_size), 0);
        read = (bytes.empty() || std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size()) &&
               std::fgetc(file) == EOF &&
               !std::ferror(file);
    }
    std::fclose(file);
    return read;
}

}  // namespace

std::string WinEditCourse::RecipeWorkFile(const std::string& extension) const {
    return MainWindow->userWorkFolder + "tmp_recipe" + extension;
}

bool WinEditCourse::PrepareWorkFile(const std::string& workFile, const std::string& extension, const Bytes& recipe,
                                    std::optional<Bytes>& handedOver) {
    std::error_code error;
    fs::remove(workFile, error);
    Bytes document = recipe;
    if (document.empty()) {
        // The templates are staged with the program and reach the work folder when it has none.
        const std::string blank = "recipe_blank" + extension;
        const std::string workTemplate = MainWindow->userWorkFolder + blank;
        if (!fs::exists(workTemplate, error)) fs::copy_file(MainWindow->programFolder + blank, workTemplate, error);
        // Without a template the editor starts on a new file.
        if (!ReadWholeFile(workTemplate, document)) return true;
    }
    // An editor must never start on part of the recipe: whatever it saved would replace it.
    if (const int failure = WriteWholeFile(workFile, document)) {
        ShowWorkFileError(workFile, std::strerror(failure));
        return false;
    }
    handedOver = std::move(document);
    return true;
}

void WinEditCourse::ShowRecipeError(const std::string& text) {
    MessageBox(this, "Recipe error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

void WinEditCourse::ShowWorkFileError(const std::string& workFile, const std::string& reason) {
    ShowRecipeError(FormatText("The recipe could not be written to the work file\r\n'%s':\r\n%s\r\nThe stored recipe "
                               "was kept as it was and no editor was started.",
                               workFile.c_str(), reason.c_str()));
}

bool WinEditCourse::ConfirmHandedOverEdit() {
    return MessageBox(this, "Recipe editor",
                      "The recipe was handed to an editor window that is already open.\r\nSave it there, then click "
                      "OK to store it.\r\nCancel keeps the stored recipe as it was.",
                      WMessageIcon::Question, WMessageButtons::OKCancel) == WMessageAnswer::OK;
}

bool WinEditCourse::ReadEditedRecipe(const std::string& workFile, const std::optional<Bytes>& handedOver,
                                     bool endedAtOnce, Bytes& edited) {
    Bytes now;
    const bool unchanged = handedOver && ReadWholeFile(workFile, now) && now == *handedOver;
    if (endedAtOnce && unchanged && !ConfirmHandedOverEdit()) return false;
    return ReadWholeFile(workFile, edited);
}

// Nothing is written, the menu item's name and feeds included, until the editor can be given
// the whole recipe.
bool WinEditCourse::EditRecipe(WEventData&) {
    WinStart& main = *MainWindow;
    if (!binding_Course->Validate()) return false;
    const long format = static_cast<long>(query_Course->GetValue(0, "recipe_format").AsLong());
    Bytes recipe;
    // A recipe that cannot be read is left as it is stored; an edit would replace it.
    if (!main.LoadRecipe(courseId, recipe)) {
        ShowRecipeError(FormatText("The stored recipe of '%s' cannot be read: it may be damaged.\r\nIt was kept as "
                                   "it is and was not opened for editing.",
                                   textb_Name->GetText().c_str()));
        return false;
    }

    const std::string extension = ExtensionOf(format);
    const std::string workFile = RecipeWorkFile(extension);
    std::optional<Bytes> handedOver;
    if (!PrepareWorkFile(workFile, extension, recipe, handedOver)) return false;
    if (!SaveMenuItem()) return false;

    const auto started = std::chrono::steady_clock::now();
    // No editor ran: there is no edit to read back.
    if (!LaunchRegisteredProgram(extension, workFile, true, true)) return false;
    const bool endedAtOnce = std::chrono::steady_clock::now() - started < kHandOverTime;

    Bytes edited;
    if (!ReadEditedRecipe(workFile, handedOver, endedAtOnce, edited)) return false;
    main.SaveRecipe(courseId, edited);
    binding_Course->Load();
    return false;
}

bool WinEditCourse::ResetRecipe(WEventData&) {
    const std::int32_t format = resetRecipe.ChooseFormat(this);
    if (format == 0) return false;
    if (!SaveMenuItem()) return false;
    WinStart& main = *MainWindow;
    main.ExecSQL(Sql("update %s set recipe_format=%d where id = %d", Courses(), format, static_cast<int>(courseId)));
    main.ExecSQL(Sql("delete from Recipes where course = %d", static_cast<int>(courseId)));
    binding_Course->Load();
    return false;
}
