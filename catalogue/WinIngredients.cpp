#include "catalogue/WinIngredients.h"

#include <cstdint>
#include <cstdlib>

#include "shell/FormatText.h"
#include "shell/TableNames.h"
#include "shell/WinStart.h"

namespace {

const char* Ingredients() { return TableName(TableId::Ingredients); }
const char* Courses() { return TableName(TableId::Courses); }
const char* CourseIngredients() { return TableName(TableId::CourseIngredients); }
const char* IngredientNoun() { return TableNoun(TableId::Ingredients); }
const char* MealMenuItemNoun() { return TableNoun(TableId::MealCourses); }

constexpr int kHelpIngredients = 106;
constexpr int kNameColumn = 0;
constexpr int kIdColumn = 2;
constexpr std::uint32_t kReselectCurrentRow = 1;   // code of the form's posted UserEvent
// Dialog items: the default-menu-item button, and the detail fields.
const std::vector<int> kRowItems = {115};
const std::vector<int> kEditItems = {108, 111, 112, 113, 114};

// The length of a UTF-8 text as a text box counts it (UTF-16 code units).
int BoxLength(const std::string& text) {
    int units = 0;
    for (unsigned char byte : text) {
        if ((byte & 0xC0) == 0x80) continue;
        units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::string Escaped(std::string text) { return WinStart::EscapeSQL(text); }

}  // namespace

bool WinIngredients::Open(WWindow* parent) {
    busy = true;
    OpenModal(parent);
    return true;
}

void WinIngredients::SetUpIngredients() {
    pictb_1->SetPicture(":/pictures/ingredients.png");
    grid_Ingredients->SetReadOnly(true);
    unlocked = false;
    ShowRows(-1);   // the list was fetched as the window was set up
    busy = false;
}

// ---- The list and the details ----

long WinIngredients::IdOfRow(long row) const {
    return std::strtol(grid_Ingredients->GetCellText(row, kIdColumn).c_str(), nullptr, 10);
}

bool WinIngredients::IsEditable() const { return !TheOptions->safeEdits || unlocked; }

void WinIngredients::Refresh(long id) {
    query_Ingredients->Close();
    query_Ingredients->Open();
    ShowRows(id);
}

void WinIngredients::ShowRows(long id) {
    checkbox_SafeEdits->SetChecked(TheOptions->safeEdits);
    busy = true;
    grid_Ingredients->Refresh();
    if (id != -1) {
        const long row = MainWindow->FindRowById(grid_Ingredients, kIdColumn, id);
        if (row != -1) MainWindow->SelectRow(grid_Ingredients, row);
    } else if (grid_Ingredients->GetNumRows() > 0) {
        MainWindow->SelectRow(grid_Ingredients, 0);
    }
    LoadDetails();
    busy = false;
}

void WinIngredients::LoadDetails() {
    bool editable = IsEditable();
    const long row = MainWindow->GetSelectedRowQuiet(grid_Ingredients);
    loaded = false;
    nameChanged = false;
    if (row != -1) {
        currentId = IdOfRow(row);
        parameterValue = WDataValue(currentId);
        query_Ingredient->SetParameter(1, parameterValue);
        binding_Ingredient->Load();
        query_Warning->SetParameter(1, parameterValue);
        binding_Warning->Load();
        MainWindow->EnableDialogItems(this, kRowItems, true);
        loaded = true;
    } else {
        // Nothing to show: the fields are emptied rather than left with the last row's values.
        query_Ingredient->Close();
        query_Warning->Close();
        binding_Ingredient->Fill();
        binding_Warning->Fill();
        MainWindow->EnableDialogItems(this, kRowItems, false);
        currentId = -1;
        editable = false;
    }
    cb_EditIngredient->SetVisible(row != -1 && !editable);
    MainWindow->EnableDialogItems(this, kEditItems, row != -1 && editable);
}

WinIngredients::SaveResult WinIngredients::SaveIfDirty(bool requery) {
    if (!loaded || !binding_Ingredient->IsDirty()) return SaveResult::NotSaved;
    // A typed number that is not one is refused before anything is written or renamed.
    if (!binding_Ingredient->Validate()) return SaveResult::Stopped;
    MainWindow->EnsureUniqueName(textb_Name, Ingredients(), IngredientNoun(), currentId);
    const WRowSave written = binding_Ingredient->Save();
    binding_Ingredient->SetDirty(false);
    if (written == WRowSave::InvalidNumber) return SaveResult::Stopped;
    if (written != WRowSave::Saved) {
        nameChanged = false;
        return SaveResult::NotSaved;
    }
    MainWindow->TouchModified(Ingredients(), currentId);
    if (requery && nameChanged) Refresh(currentId);   // the list is sorted by name
    nameChanged = false;
    return SaveResult::Saved;
}

bool WinIngredients::OnRowChange(WEventData&) {
    if (busy) return false;
    const SaveResult saved = SaveIfDirty(false);
    if (saved == SaveResult::Stopped) {
        // The edited row stays current until its number is mended: at once, and again once the
        // grid has finished the click that moved it.
        SelectCurrentRow();
        PostUserEvent(kReselectCurrentRow);
        return false;
    }
    const long row = MainWindow->GetSelectedRowQuiet(grid_Ingredients);
    if (row == -1) {
        currentId = -1;
    } else {
        currentId = IdOfRow(row);
        unlocked = false;
    }
    if (saved == SaveResult::Saved) {
        // A saved rename may have moved the rows, and the grid goes on to highlight the row now
        // under the pointer: the row gone to is highlighted again once it has finished.
        Refresh(currentId);
        PostUserEvent(kReselectCurrentRow);
    } else {
        LoadDetails();
    }
    return false;
}

void WinIngredients::SelectCurrentRow() {
    busy = true;
    MainWindow->SelectRow(grid_Ingredients, MainWindow->FindRowById(grid_Ingredients, kIdColumn, currentId));
    busy = false;
}

bool WinIngredients::OnUserEvent(WEventData& event) {
    if (event.code == kReselectCurrentRow) SelectCurrentRow();
    return false;
}

bool WinIngredients::OnNameChange(WEventData&) {
    if (loaded) nameChanged = true;
    return false;
}

bool WinIngredients::OnUnitSizeNameChange(WEventData&) {
    if (loaded) checkbox_UnitMeasure->SetChecked(true);
    return false;
}

bool WinIngredients::OnEditIngredient(WEventData&) {
    unlocked = true;
    LoadDetails();
    // The button has just hidden itself: the name takes the focus, not the next button.
    FocusNameForTyping();
    return false;
}

bool WinIngredients::OnSafeEdits(WEventData&) {
    const bool wanted = checkbox_SafeEdits->GetChecked();
    const bool before = TheOptions->safeEdits;
    // Leaving the row as any other command does; the option is set first, so that a refresh
    // after a rename shows the box as the user left it.
    TheOptions->safeEdits = wanted;
    if (SaveIfDirty(true) == SaveResult::Stopped) {
        TheOptions->safeEdits = before;
        checkbox_SafeEdits->SetChecked(before);
        return false;
    }
    unlocked = false;
    LoadDetails();
    return false;
}

// ---- Commands ----

void WinIngredients::OpenNewRow(long id) {
    if (id == -1) {
        Refresh(currentId);
        return;
    }
    unlocked = true;
    Refresh(id);
    FocusNameForTyping();
}

void WinIngredients::FocusNameForTyping() {
    textb_Name->SetFocus();
    textb_Name->SetSelection(0, BoxLength(textb_Name->GetText()));
}

void WinIngredients::AddIngredient() {
    if (SaveIfDirty(true) == SaveResult::Stopped) return;
    std::string name = "new_ingredient";
    MainWindow->MakeUniqueValue(name, Ingredients(), "name");
    const bool inserted =
        MainWindow->ExecSQL(FormatText("Insert into %s( name ) values( '%s' )", Ingredients(), Escaped(name).c_str()));
    OpenNewRow(inserted ? MainWindow->FindIdByValue(Ingredients(), "name", name, -1) : -1);
}

void WinIngredients::CopyIngredient() {
    if (SaveIfDirty(true) == SaveResult::Stopped) return;
    if (MainWindow->GetSelectedRow(grid_Ingredients, IngredientNoun()) == -1) return;
    std::string name = textb_Name->GetText();
    MainWindow->MakeUniqueValue(name, Ingredients(), "name");
    const bool inserted = MainWindow->ExecSQL(FormatText(
        "insert into Ingredients ( name, def_measure, unit_measure, unit_measure_name, unit_measure_size, notes ) "
        "select '%s', def_measure, unit_measure, unit_measure_name, unit_measure_size, notes from Ingredients "
        "where id = %ld",
        Escaped(name).c_str(), currentId));
    OpenNewRow(inserted ? MainWindow->FindIdByValue(Ingredients(), "name", name, -1) : -1);
}

void WinIngredients::DeleteIngredient() {
    if (SaveIfDirty(true) == SaveResult::Stopped) return;
    const long row = MainWindow->GetSelectedRow(grid_Ingredients, IngredientNoun());
    if (row == -1) return;
    const long id = IdOfRow(row);
    const std::string name = grid_Ingredients->GetCellText(row, kNameColumn);

    query_Gen->SetSQL(FormatText("select id from %s where ingredient = %ld", CourseIngredients(), id));
    const long uses = query_Gen->Open() ? query_Gen->GetNumRows() : -1;
    query_Gen->Close();

    if (uses <= 0) {
        const std::string text = FormatText(
            "There are no %ss currently including the\r\n'%s' %s, but are you sure you want to\r\npermanently "
            "delete this %s?\r\n",
            MealMenuItemNoun(), name.c_str(), IngredientNoun(), IngredientNoun());
        if (MessageBox(this, "Remove Ingredient?", text, WMessageIcon::Question, WMessageButtons::OKCancel) !=
            WMessageAnswer::OK)
            return;
    } else {
        const std::string text = FormatText(
            "The %s '%s' is used in one or more %ss.\r\n\r\nAre you sure you want to delete this %s? If you do, "
            "it\r\nwill be removed from all %ss that use it.",
            IngredientNoun(), name.c_str(), MealMenuItemNoun(), IngredientNoun(), MealMenuItemNoun());
        if (MessageBox(this, "Ingredient is in use", text, WMessageIcon::Exclamation, WMessageButtons::OKCancel) !=
            WMessageAnswer::OK)
            return;
    }
    DeleteWithLines(id, uses > 0);
    unlocked = false;
    Refresh(-1);
}

// The menu-item lines that use the ingredient go first; when the ingredient itself is then
// refused, the savepoint brings the lines back, so nothing is half deleted.
bool WinIngredients::DeleteWithLines(long id, bool linesFirst) {
    return MainWindow->RunAsOneUnit("delete_ingredient", [&] {
        return (!linesFirst ||
                MainWindow->ExecSQL(FormatText("Delete from %s where ingredient = %ld", CourseIngredients(), id))) &&
               MainWindow->ExecSQL(FormatText("delete from %s where id = %ld", Ingredients(), id));
    });
}

void WinIngredients::EditNotes() {
    if (SaveIfDirty(true) == SaveResult::Stopped) return;
    if (MainWindow->GetSelectedRow(grid_Ingredients, IngredientNoun()) == -1) return;
    notes.Edit(this, Ingredients(), currentId, textb_Name->GetText(), true, true);
    Refresh(currentId);
}

void WinIngredients::FindIngredient() {
    if (SaveIfDirty(true) == SaveResult::Stopped) return;
    const long id = findValue.FindInTable(this, Ingredients(), "name", "Find ingredient");
    if (id == -1) return;
    if (id != currentId) unlocked = false;   // another row: locked again, as a click on it would be
    Refresh(id);
}

void WinIngredients::CreateDefaultMenuItem() {
    if (SaveIfDirty(true) == SaveResult::Stopped) return;
    const std::string shownName = textb_Name->GetText();
    const std::string name = Escaped(shownName);
    query_Gen->SetSQL(FormatText("Select id from %s where name = '%s'", Courses(), name.c_str()));
    query_Gen->Open();
    const bool exists = query_Gen->GetNumRows() > 0;
    query_Gen->Close();
    if (exists) {
        RefuseDefaultMenuItem("Menu item already exists",
                              FormatText("A menu item with the name '%s' already exists.", shownName.c_str()));
        return;
    }
    DefaultLine line;
    if (!ReadDefaultLine(line)) return;
    if (line.measure == -1) {
        RefuseDefaultMenuItem("No default measure",
                              FormatText("The ingredient '%s' has no default measure: choose one first.",
                                         shownName.c_str()));
        return;
    }
    if (InsertDefaultMenuItem(name, line))
        MessageBox(this, "Default menu item created",
                   FormatText("A simple menu item called '%s' was\r\ncreated for this ingredient.", shownName.c_str()),
                   WMessageIcon::Information, WMessageButtons::OK);
    grid_Ingredients->SetFocus();
}

void WinIngredients::RefuseDefaultMenuItem(const char* caption, const std::string& reason) {
    MessageBox(this, caption, reason + "\r\nA new default menu item for this ingredient was NOT added.",
               WMessageIcon::Stop, WMessageButtons::OK);
}

bool WinIngredients::ReadDefaultLine(DefaultLine& line) {
    query_Gen->SetSQL(FormatText("select def_measure, unit_measure from %s where id = %ld", Ingredients(), currentId));
    const bool read = query_Gen->Open() && query_Gen->GetNumRows() > 0;
    if (read && !query_Gen->IsNull(0, 0)) {
        line.measure = static_cast<long>(query_Gen->GetValue(0, 0).AsLong());
        line.portions = static_cast<long>(query_Gen->GetValue(0, 1).AsLong());   // NULL: 0
    }
    query_Gen->Close();
    return read;
}

// The menu item and its line go in together or not at all.
bool WinIngredients::InsertDefaultMenuItem(const std::string& escapedName, const DefaultLine& line) {
    const long courseId = MainWindow->NextId(Courses());
    if (courseId == -1) return false;
    return MainWindow->RunAsOneUnit("default_menu_item", [&] {
        return MainWindow->ExecSQL(FormatText("insert into %s( id, name ) values( %ld, '%s' )", Courses(), courseId,
                                              escapedName.c_str())) &&
               MainWindow->ExecSQL(FormatText(
                   "insert into %s( course, ingredient, measure, amount, unit_measure ) values( %ld, %ld, %ld, 1, %ld )",
                   CourseIngredients(), courseId, currentId, line.measure, line.portions));
    });
}

// ---- Handlers ----

bool WinIngredients::OnAdd(WEventData&) {
    AddIngredient();
    return false;
}

bool WinIngredients::OnDelete(WEventData&) {
    DeleteIngredient();
    return false;
}

bool WinIngredients::OnNotes(WEventData&) {
    EditNotes();
    return false;
}

bool WinIngredients::OnCopy(WEventData&) {
    CopyIngredient();
    return false;
}

bool WinIngredients::OnFind(WEventData&) {
    FindIngredient();
    return false;
}

bool WinIngredients::OnDefaultCourse(WEventData&) {
    CreateDefaultMenuItem();
    return false;
}

// Enter and Escape press Close too; the title-bar box ends the form without this save.
bool WinIngredients::OnCloseButton(WEventData&) {
    if (SaveIfDirty(true) == SaveResult::Stopped) return false;
    PostClose();
    return false;
}

bool WinIngredients::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kHelpIngredients);
    return true;
}

bool WinIngredients::OnGridClick(WEventData&) {
    MainWindow->PostGridRelayout(grid_Ingredients);
    // The release of a click may highlight the row under the pointer too (see OnRowChange).
    PostUserEvent(kReselectCurrentRow);
    return false;
}

bool WinIngredients::OnGridDoubleClick(WEventData&) {
    EditNotes();
    return false;
}

bool WinIngredients::OnGridRightButtonUp(WEventData& event) {
    MainWindow->SelectRowAtPoint(grid_Ingredients, event);
    return false;
}

bool WinIngredients::OnGridUserEvent(WEventData&) {
    MainWindow->UpdateGridScrollBar(grid_Ingredients);
    return false;
}
