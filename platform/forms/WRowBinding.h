#pragma once
// A row binding: controls of a form that show, and edit, the columns of one row of a query.
//
// Filling reads the query's first row into the controls, each by its column label (without
// regard to case); it never counts as an edit. A change the user makes to a bound control marks
// the binding dirty. Saving writes the bound columns, and only those, by one parameterised
//     update <table> set <c1> = ?, <c2> = ? where <id column> = ?
// so a column the form does not bind (notes, licensor) is never touched. A binding names the
// table column apart from the query's label, because queries rename columns. The row's id is
// the query's parameter 1 (every "... where id = ?" query), or a column of the query.
//
// A control the user left as filling put it writes back the value that was read, NULL and all.
// Numbers typed by the user are quantities here (amounts, sizes, appetites), read with
// ParseUserQuantity; a text that is not one, or a negative number, stops the save with the
// "Invalid number" message, and nothing is written.
//
// The generated set-up declares a form's bindings from its .json (see platform/forms/README.md).

#include <QPointer>
#include <string>
#include <vector>

#include "platform/db/WDataValue.h"

class WCheckBox;
class WComboBox;
class WQuery;
class WWindow;

enum class WBindAs {
    Text,     // the control's text: a text box, a label, a combo box's edit text
    Number,   // the control's text read as a number that is not negative; a blank text is NULL
    Check,    // a check box: checked stores onValue, unchecked offValue
    Option,   // an option button: checked when the column holds onValue, and then stores it
    Lookup,   // a combo box listing a lookup query: shows one column, stores another (item data)
};

struct WColumnBinding {
    std::string column;          // the query's column label
    std::string tableColumn;     // the table's column; empty: the same as the label
    WBindAs as = WBindAs::Text;
    bool display = false;        // shown only, never written
    std::string onValue = "1";   // Check: the checked value; Option: the button's value
    std::string offValue = "0";  // Check: the unchecked value
    WQuery* lookup = nullptr;    // Lookup: the query that lists the choices
    std::string lookupColumns;   // Lookup: "stored;shown" labels of the lookup query, e.g. "id;MDesc"
};

enum class WRowSave {
    Saved,           // the row was written (or nothing was bound to write)
    NoRow,           // the query has no row: nothing to write
    InvalidNumber,   // the user was told; nothing written, the command should stop
    Failed,          // the database refused the update
};

class WRowBinding {
public:
    // table: the table written to; empty for a binding that only shows values.
    WRowBinding(WQuery* query, std::string table, std::string idColumn = "id");
    ~WRowBinding();
    WRowBinding(const WRowBinding&) = delete;
    WRowBinding& operator=(const WRowBinding&) = delete;

    // The query column that holds the row's id, when the id is not the query's parameter 1.
    void SetRowIdColumn(std::string queryColumn) { rowIdColumn_ = std::move(queryColumn); }
    void Bind(WWindow* control, WColumnBinding binding);

    // Runs the query again (with its parameters as set) and fills the controls.
    bool Load();
    // Fills the controls from the query's first row as it stands (lookup lists included); with
    // no row they are emptied. Clears dirty. Answers whether there was a row.
    bool Fill();
    bool HasRow() const;
    WDataValue RowId() const;

    bool IsDirty() const { return dirty_; }
    void SetDirty(bool dirty) { dirty_ = dirty; }

    // Every number typed into a bound control reads as one, and none is negative; otherwise the
    // "Invalid number" message for the first that does not, the focus back in it, and false.
    bool Validate();
    // Validate, then the one update of the bound columns. Dirty is cleared when it was written.
    WRowSave Save();

private:
    struct Entry {
        QPointer<WWindow> control;
        WColumnBinding binding;
        int queryColumn = -1;     // of the last fill
        std::string filledState;  // what the control showed right after the fill
    };
    void Watch(WWindow* control);
    void FillLookupList(WComboBox* combo, const WColumnBinding& binding);
    void FillControl(Entry& entry, const WDataValue& value);
    std::string StateOf(const Entry& entry) const;
    bool Writable(const Entry& entry) const;
    // The value the entry stores; false when it stores none (an unchecked option button).
    bool ValueOf(const Entry& entry, WDataValue& value) const;

    WQuery* query_;
    std::string table_;
    std::string idColumn_;
    std::string rowIdColumn_;
    std::vector<Entry> entries_;
    bool filling_ = false;
    bool dirty_ = false;
};
