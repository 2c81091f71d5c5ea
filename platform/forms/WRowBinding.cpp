#include "platform/forms/WRowBinding.h"

#include <QString>
#include <QWidget>
#include <algorithm>
#include <charconv>

#include "platform/db/WQuery.h"
#include "platform/forms/UserNumber.h"
#include "platform/forms/WChoiceControls.h"
#include "platform/forms/WControls.h"

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// A check box's value as the column would hold it: a whole number when it reads as one.
WDataValue StoredValue(const std::string& text) {
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size()) return WDataValue(number);
    return WDataValue(text);
}

bool IsBlankText(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

std::pair<std::string, std::string> SplitLookupColumns(const std::string& columns) {
    const auto semicolon = columns.find(';');
    if (semicolon == std::string::npos) return {columns, columns};
    return {columns.substr(0, semicolon), columns.substr(semicolon + 1)};
}

}  // namespace

WRowBinding::WRowBinding(WQuery* query, std::string table, std::string idColumn)
    : query_(query), table_(std::move(table)), idColumn_(std::move(idColumn)) {}

WRowBinding::~WRowBinding() {
    for (Entry& entry : entries_)
        if (entry.control) entry.control->RemoveEventHandlers(this);
}

void WRowBinding::Bind(WWindow* control, WColumnBinding binding) {
    if (!control) return;
    if (binding.tableColumn.empty()) binding.tableColumn = binding.column;
    const bool watch = !binding.display;
    entries_.push_back({control, std::move(binding), -1, {}});
    if (watch) Watch(control);
}

// Registered after the form's own handlers, so these run first and see every change.
void WRowBinding::Watch(WWindow* control) {
    for (WEventId id : {ChangeEvent, SelectEvent, ClickEvent})
        control->AddEventHandler(id, [this](WEventData&) {
            if (!filling_) dirty_ = true;
            return false;
        }, this);
}

bool WRowBinding::Load() {
    if (query_) {
        query_->Close();
        query_->Open();
    }
    return Fill();
}

bool WRowBinding::HasRow() const { return query_ && query_->IsOpen() && query_->GetNumRows() > 0; }

bool WRowBinding::Fill() {
    filling_ = true;
    const bool row = HasRow();
    for (Entry& entry : entries_) {
        if (!entry.control) continue;
        if (auto* combo = dynamic_cast<WComboBox*>(entry.control.data()); combo && entry.binding.as == WBindAs::Lookup)
            FillLookupList(combo, entry.binding);
        entry.queryColumn = row ? query_->FindColumn(entry.binding.column) : -1;
        FillControl(entry, row ? query_->GetValue(0, entry.queryColumn) : WDataValue::Null());
        entry.filledState = StateOf(entry);
    }
    filling_ = false;
    dirty_ = false;
    return row;
}

void WRowBinding::FillLookupList(WComboBox* combo, const WColumnBinding& binding) {
    combo->Clear();
    WQuery* list = binding.lookup;
    if (!list) return;
    if (!list->IsOpen()) list->Open();
    const auto [stored, shown] = SplitLookupColumns(binding.lookupColumns);
    const int storedColumn = list->FindColumn(stored);
    const int shownColumn = list->FindColumn(shown);
    for (long row = 0; row < list->GetNumRows(); ++row)
        combo->AddItem(list->GetValue(row, shownColumn).AsText(), list->GetValue(row, storedColumn).AsLong());
}

void WRowBinding::FillControl(Entry& entry, const WDataValue& value) {
    WWindow* control = entry.control;
    const WColumnBinding& b = entry.binding;
    switch (b.as) {
    case WBindAs::Text:
    case WBindAs::Number:
        control->SetText(value.AsText());
        break;
    case WBindAs::Check:
    case WBindAs::Option:
        if (auto* box = dynamic_cast<WCheckBox*>(control)) box->SetChecked(!value.IsNull() && value.AsText() == b.onValue);
        break;
    case WBindAs::Lookup:
        if (auto* combo = dynamic_cast<WComboBox*>(control))
            combo->SetSelected(value.IsNull() ? -1 : combo->FindData(value.AsLong()));
        break;
    }
}

std::string WRowBinding::StateOf(const Entry& entry) const {
    WWindow* control = entry.control;
    switch (entry.binding.as) {
    case WBindAs::Text:
    case WBindAs::Number:
        return control->GetText();
    case WBindAs::Check:
    case WBindAs::Option:
        if (auto* box = dynamic_cast<WCheckBox*>(control)) return box->GetChecked() ? "1" : "0";
        return {};
    case WBindAs::Lookup:
        if (auto* combo = dynamic_cast<WComboBox*>(control)) return std::to_string(combo->GetSelected());
        return {};
    }
    return {};
}

bool WRowBinding::Writable(const Entry& entry) const {
    return entry.control && !entry.binding.display && entry.queryColumn >= 0;
}

bool WRowBinding::ValueOf(const Entry& entry, WDataValue& value) const {
    const WColumnBinding& b = entry.binding;
    const bool unchanged = StateOf(entry) == entry.filledState;
    if (b.as == WBindAs::Option && !static_cast<WCheckBox*>(entry.control.data())->GetChecked()) return false;
    // What the user left alone goes back as it was read: NULL stays NULL, a number keeps its
    // exact value.
    if (unchanged) {
        value = query_->GetValue(0, entry.queryColumn);
        return true;
    }
    switch (b.as) {
    case WBindAs::Text:
        value = WDataValue(entry.control->GetText());
        return true;
    case WBindAs::Number: {
        const std::string text = entry.control->GetText();
        if (IsBlankText(text)) {
            value = WDataValue::Null();
        } else {
            const std::optional<double> number = ParseUserQuantity(text);
            if (!number) return false;   // Validate has refused it already
            value = WDataValue(*number);
        }
        return true;
    }
    case WBindAs::Check:
        value = StoredValue(static_cast<WCheckBox*>(entry.control.data())->GetChecked() ? b.onValue : b.offValue);
        return true;
    case WBindAs::Option:
        value = StoredValue(b.onValue);
        return true;
    case WBindAs::Lookup: {
        auto* combo = static_cast<WComboBox*>(entry.control.data());
        const int selected = combo->GetSelected();
        value = selected < 0 ? WDataValue::Null() : WDataValue(static_cast<long long>(combo->GetItemData(selected)));
        return true;
    }
    }
    return false;
}

WDataValue WRowBinding::RowId() const {
    if (!HasRow()) return WDataValue::Null();
    if (!rowIdColumn_.empty()) return query_->GetValue(0, rowIdColumn_);
    return query_->GetParameter(1);
}

bool WRowBinding::Validate() {
    for (const Entry& entry : entries_) {
        if (!Writable(entry) || entry.binding.as != WBindAs::Number) continue;
        if (StateOf(entry) == entry.filledState) continue;
        const std::string text = entry.control->GetText();
        if (IsBlankText(text) || ParseUserQuantity(text)) continue;
        ShowInvalidNumber(entry.control, text);
        return false;
    }
    return true;
}

WRowSave WRowBinding::Save() {
    if (!HasRow()) return WRowSave::NoRow;
    if (!Validate()) return WRowSave::InvalidNumber;
    // One value per table column. Where several controls share a column (option buttons, a
    // check box standing in for them), a shown control wins over a hidden one, then the last.
    struct Column {
        std::string name;
        WDataValue value;
        bool shown = false;
    };
    std::vector<Column> columns;
    for (const Entry& entry : entries_) {
        if (!Writable(entry)) continue;
        WDataValue value;
        if (!ValueOf(entry, value)) continue;
        QWidget* widget = entry.control->GetWidget();
        const bool shown = widget && widget->isVisibleTo(widget->window());
        auto same = std::find_if(columns.begin(), columns.end(),
                                 [&](const Column& c) { return SameName(c.name, entry.binding.tableColumn); });
        if (same == columns.end())
            columns.push_back({entry.binding.tableColumn, std::move(value), shown});
        else if (shown || !same->shown)
            *same = {same->name, std::move(value), shown};
    }
    if (columns.empty() || table_.empty()) return WRowSave::Saved;
    std::string sql = "update " + table_ + " set ";
    std::vector<WDataValue> parameters;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? ", " : "") + columns[i].name + " = ?";
        parameters.push_back(columns[i].value);
    }
    sql += " where " + idColumn_ + " = ?";
    parameters.push_back(RowId());
    if (!query_->Execute(sql, parameters)) return WRowSave::Failed;
    dirty_ = false;
    return WRowSave::Saved;
}
