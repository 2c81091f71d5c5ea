#include "shell/WinNotes.h"

#include <algorithm>
#include <cstdio>

#include "shell/WinStart.h"

namespace {

constexpr int kNotesLimit = 15000;
constexpr int kNotesHelpTopic = 107;
constexpr const char* kLicensePage = "food_data_license.html";

// The length of a UTF-8 text as the text box counts it (UTF-16 code units).
int BoxLength(const std::string& text) {
    int units = 0;
    for (unsigned char byte : text) {
        if ((byte & 0xC0) == 0x80) continue;    // continuation byte
        units += byte >= 0xF0 ? 2 : 1;          // four-byte sequences take a surrogate pair
    }
    return units;
}

std::string Format(const char* format, const char* a, const char* b, long id) {
    const int n = std::snprintf(nullptr, 0, format, a, b, id);
    std::string text(n > 0 ? n : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, a, b, id);
    return text;
}

}  // namespace

bool WinNotes::Edit(WWindow* parent, const std::string& tableName, long id, const std::string& name,
                    bool stampModified, bool withLicensor) {
    table = tableName;
    rowId = id;
    itemName = name;
    markModified = stampModified;
    hasLicensor = withLicensor;
    changed = false;
    OpenModal(parent);
    return changed;
}

void WinNotes::LoadNotes() {
    query_Notes->SetSQL(Format("select notes%s from %s where id = %ld", hasLicensor ? ", licensor " : "",
                               table.c_str(), rowId));
    query_Notes->Open();
    const std::string notes = query_Notes->GetValue(0, 0).AsText();
    // The limit keeps typing and pasting within 15000 characters; a note stored longer (written
    // by an older version or an import) still loads whole, so that OK never cuts it.
    textb_Notes->SetMaxLength(std::max(kNotesLimit, BoxLength(notes)));
    textb_Notes->SetText(notes);

    SetText("Notes for '" + itemName + "'");

    const std::string licensor = query_Notes->GetNumColumns() > 1 ? query_Notes->GetValue(0, 1).AsText() : std::string();
    if (hasLicensor) {
        textb_License->SetReadOnly(false);
        textb_License->SetText(licensor);
        cb_License->Show();
        textb_License->Show();
    } else {
        MainWindow->TrimFormAtControl(this, cb_License);
        textb_License->Hide();
        cb_License->Hide();
    }
    PostUserEvent(0);
}

bool WinNotes::OnUserEvent(WEventData&) {
    textb_Notes->SetSelection(0, 0);
    textb_Notes->SetFocus();
    return false;
}

bool WinNotes::SaveNotes(WEventData&) {
    // Only the notes column of this row changes; the text travels as a bound parameter.
    WQuery update(query_Notes->GetTransaction());
    char statement[256];
    std::snprintf(statement, sizeof statement, "update %s set notes = ? where id = %ld", table.c_str(), rowId);
    update.Execute(statement, {WDataValue(textb_Notes->GetText())});
    if (markModified) MainWindow->TouchModified(table, rowId);
    query_Notes->Close();
    changed = true;
    if (hasLicensor) {
        std::string credit = textb_License->GetText();
        WinStart::EscapeSQL(credit);
        MainWindow->ExecSQL(Format("update %s set licensor = '%s' where id = %ld", table.c_str(), credit.c_str(), rowId));
    }
    PostClose();
    return false;
}

bool WinNotes::OnCancel(WEventData&) {
    query_Notes->Close();
    Close();
    return false;
}

bool WinNotes::ShowLicense(WEventData&) {
    LaunchRegisteredProgram(".html", MainWindow->programFolder + kLicensePage, true, false);
    return false;
}

bool WinNotes::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kNotesHelpTopic);
    return true;
}
