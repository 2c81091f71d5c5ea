// The small interface operations that the forms share: the current row of a list with a uniform
// message, rows found and selected, the grids' scroll bar rule, help topics, dates as text,
// groups of dialog items, launching registered programs and the per-user work folder.

#include <QLayout>
#include <QPoint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <strings.h>

#include "platform/forms/WDragImage.h"
#include "platform/forms/WListView.h"
#include "shell/HelpTopics.h"
#include "shell/WinStart.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* MonthNames[] = {"January", "February", "March",     "April",
                                      "May",     "June",     "July",      "August",
                                      "September", "October", "November", "December"};
constexpr int ScrollBarWidth = 21;

std::string Article(const std::string& noun) {
    return !noun.empty() && WinStart::IsVowel(noun[0]) ? "an" : "a";
}

void ShowSelectionError(WWindow* owner, const char* format, const std::string& noun) {
    char text[512];
    std::snprintf(text, sizeof text, format, Article(noun).c_str(), noun.c_str());
    MessageBox(owner, "Selection error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

constexpr const char* EmptyListText =
    "You must create and select %s %s before you can complete this task.\r\n\r\n";
constexpr const char* NoCurrentRowText = "You must select %s %s before you can complete this task.\r\n";

WWindow* OwnerOf(WWindow* control) {
    return control->GetForm() ? static_cast<WWindow*>(control->GetForm()) : control;
}

void ShowInternalError(int number, const std::string& details) {
    char text[1024];
    std::snprintf(text, sizeof text,
                  "There has been an unexpected problem with this program.\nPlease report this "
                  "error, and the error number, by e-mail to:\n%s.\n\nError #: %d\nDetails: %s",
                  SupportAddress, number, details.c_str());
    MessageBox(nullptr, "Internal Error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

}  // namespace

long WinStart::GetSelectedRow(WGrid* grid, const std::string& noun) {
    if (grid->GetNumRows() == 0) {
        ShowSelectionError(OwnerOf(grid), EmptyListText, noun);
        return -1;
    }
    const long row = grid->GetCurrentRow();
    if (row == -1) ShowSelectionError(OwnerOf(grid), NoCurrentRowText, noun);
    return row;
}

long WinStart::GetSelectedRowQuiet(WGrid* grid) {
    return grid->GetNumRows() == 0 ? -1 : grid->GetCurrentRow();
}

long WinStart::GetSelectedListItem(WListView* list, const std::string& noun) {
    if (list->GetCount() == 0) {
        ShowSelectionError(OwnerOf(list), EmptyListText, noun);
        return -1;
    }
    for (int item = 0; item < list->GetCount(); ++item)
        if (list->IsItemSelected(item)) return item;
    ShowSelectionError(OwnerOf(list), NoCurrentRowText, noun);
    return -1;
}

void WinStart::SelectListItem(WListView* list, long index) {
    list->SetItemSelected(static_cast<int>(index), true);
    list->SetFocusedItem(static_cast<int>(index));
    list->EnsureVisible(static_cast<int>(index));
    list->SetFocus();
}

void WinStart::SelectRow(WGrid* grid, long row) { grid->SetCurrentRow(row); }

long WinStart::FindRowById(WGrid* grid, int column, long id) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld", id);
    for (long row = 0; row < grid->GetNumRows(); ++row)
        if (strcasecmp(grid->GetCellText(row, column).c_str(), text) == 0) return row;
    return -1;
}

void WinStart::SelectRowAtPoint(WGrid* grid, const WEventData& event) {
    const long row = event.row;
    if (row == kNoRow || row == kTitleRow) return;
    SelectRow(grid, row);
}

void WinStart::PostGridRelayout(WGrid* grid) { grid->PostUserEvent(0); }

void WinStart::UpdateGridScrollBar(WGrid* grid) {
    int total = 0;
    for (int column = 0; column < grid->GetNumColumns(); ++column)
        total += grid->GetColumnWidth(column);
    grid->SetHorizontalScrollBarShown(total > grid->GetWidget()->width() - ScrollBarWidth);
}

bool WinStart::IsVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

std::unique_ptr<WDragImage> WinStart::MakeDragImage(std::string& text, WWindow* control) {
    // Fifteen letters, not bytes: a cut never splits a UTF-8 sequence.
    int letters = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) continue;
        if (++letters > 15) {
            text = text.substr(0, at) + "...";
            break;
        }
    }
    return WDragImage::FromText(text, control);
}

void WinStart::ShowHelp(int helpId) {
    constexpr int MainTopic = 100;
    if (helpId <= 0) helpId = MainTopic;
    // An id missing from the table shows the main topic rather than nothing.
    const char* topic = FindIdText(HelpTopics, helpId);
    RequestHelp(this, helpPath + (topic ? topic : FindIdText(HelpTopics, MainTopic)));
}

std::string& WinStart::FormatDate(std::string& text, int year, int month, int day, bool longForm) {
    char formatted[64];
    if (longForm) {
        // A month outside 1-12 has no name; it is written as its number.
        if (month >= 1 && month <= 12)
            std::snprintf(formatted, sizeof formatted, "%s %d, %d", MonthNames[month - 1], day, year);
        else
            std::snprintf(formatted, sizeof formatted, "%d %d, %d", month, day, year);
    } else {
        std::snprintf(formatted, sizeof formatted, "%d-%02d-%02d", year, month, day);
    }
    text = formatted;
    return text;
}

void WinStart::EnableDialogItems(WForm* form, const std::vector<int>& itemIds, bool enable) {
    for (int id : itemIds) {
        if (id == -1) break;
        for (WWindow* control : form->Controls())
            if (control->GetItemId() == id) control->SetEnabled(enable);
    }
}

void WinStart::TrimFormAtControl(WForm* form, WWindow* control) {
    QWidget* window = form->GetWindow();
    if (!window) return;
    // A form laid out by a layout has its controls' places only once the layout has run. The
    // place is that at the designed width; when the form's texts need more at its narrowest, the
    // window grows the fixed height to that (FormWindow::FitMinimumToLayout).
    if (window->layout()) window->layout()->activate();
    const int top = control->GetWidget()->mapTo(window, QPoint(0, 0)).y();
    window->setFixedHeight(top);
}

bool LaunchRegisteredProgram(const std::string& fileTypeKey, const std::string& argument,
                             bool quote, bool wait) {
    // The argument travels as one element of the program's argument vector, so it needs no
    // quotes to keep its blanks together; quotes added here would reach the program as text.
    (void)quote;
    const LaunchProblem problem = RequestLaunch(fileTypeKey, argument, wait);
    switch (problem) {
        case LaunchProblem::None:
            return true;
        case LaunchProblem::NotStarted:
            return false;
        default:
            ShowInternalError(static_cast<int>(problem), fileTypeKey.empty() ? "none" : fileTypeKey);
            return false;
    }
}

std::string& GetUserWorkFolder(std::string& folder) {
    std::error_code error;
    std::string current = fs::current_path(error).string();
    while (current.size() > 1 && current.back() == '/') current.pop_back();
    const std::string last = current.substr(current.find_last_of('/') + 1);
    std::string base;
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome)
        base = dataHome;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    if (base.empty()) {
        folder = current;
    } else {
        if (base.back() != '/') base += '/';
        folder = base + last;
        fs::create_directories(folder, error);
    }
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string ProgramFolderOf(const std::string& executableFolder) {
    std::string folder = executableFolder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    for (const char* suffix : {"debug/", "release/"}) {
        const std::size_t length = std::strlen(suffix);
        // Only a whole last folder name counts: "/x/release/" but not "/x/myrelease/".
        if (folder.size() > length && folder[folder.size() - length - 1] == '/' &&
            strcasecmp(folder.c_str() + folder.size() - length, suffix) == 0) {
            folder.resize(folder.size() - length);
            break;
        }
    }
    return folder;
}
