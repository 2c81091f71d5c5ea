#include "shell/WinFindValue.h"

#include <cstdio>

#include "platform/db/WQuery.h"
#include "platform/forms/WListView.h"
#include "shell/WinStart.h"

namespace {

constexpr int kFindHelpTopic = 109;

std::string Printf(const char* format, const std::string& a, const std::string& b) {
    const int n = std::snprintf(nullptr, 0, format, a.c_str(), b.c_str());
    std::string text(n > 0 ? n : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, a.c_str(), b.c_str());
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int WinFindValue::FindInListBox(WWindow* parent, WListBox* list, const std::string& caption) {
    std::vector<std::string> texts;
    const int count = list ? list->GetCount() : 0;
    texts.reserve(count);
    for (int i = 0; i < count; ++i) texts.push_back(list->GetItemText(i));
    return OpenOver(parent, std::move(texts), caption);
}

int WinFindValue::FindInControl(WWindow* parent, WListView* view, int column, const std::string& caption) {
    std::vector<std::string> texts;
    const int count = view ? view->GetCount() : 0;
    texts.reserve(count);
    for (int row = 0; row < count; ++row) texts.push_back(view->GetCellText(row, column));
    return OpenOver(parent, std::move(texts), caption);
}

int WinFindValue::FindInTable(WWindow* parent, const std::string& table, const std::string& nameColumn,
                              const std::string& caption) {
    WQuery query(MainWindow->GetTransaction());
    query.SetSQL(Printf("select %s, id from %s", nameColumn, table));
    if (!query.Open() || query.GetNumRows() <= 0) {
        MessageBox(parent, "No items to find", "The list of items is empty. No items to search!",
                   WMessageIcon::Stop, WMessageButtons::OK);
        return -1;
    }
    std::vector<std::string> texts;
    std::vector<long> ids;
    texts.reserve(query.GetNumRows());
    ids.reserve(query.GetNumRows());
    for (long row = 0; row < query.GetNumRows(); ++row) {
        texts.push_back(query.GetValue(row, 0).AsText());
        ids.push_back(static_cast<long>(query.GetValue(row, 1).AsLong()));
    }
    query.Close();
    const int chosen = OpenOver(parent, std::move(texts), caption);
    return chosen >= 0 && chosen < static_cast<int>(ids.size()) ? static_cast<int>(ids[chosen]) : -1;
}

int WinFindValue::OpenOver(WWindow* parent, std::vector<std::string> texts, const std::string& caption) {
    itemTexts = std::move(texts);
    wordIndex.Clear();
    for (std::size_t i = 0; i < itemTexts.size(); ++i) wordIndex.AddText(itemTexts[i], static_cast<std::int32_t>(i));
    wordIndex.SortNodeItems();
    result = -1;
    title = caption;
    OpenModal(parent);
    // The texts and their index belong to this opening only.
    const int chosen = result;
    itemTexts.clear();
    wordIndex.Clear();
    return chosen;
}

void WinFindValue::ShowAllTexts() {
    SetText(title);
    UpdateResults(std::string());
}

void WinFindValue::UpdateResults(const std::string& text) {
    lb_Results->Clear();
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    if (start == text.size()) {
        for (std::size_t i = 0; i < itemTexts.size(); ++i) lb_Results->AddItem(itemTexts[i], static_cast<std::int64_t>(i));
    } else {
        DocList found;
        wordIndex.Search(text.substr(start), found);
        for (std::int32_t item : found.Items()) lb_Results->AddItem(itemTexts[item], item);
    }
    lb_Results->SetSelected(lb_Results->GetCount() > 0 ? 0 : -1);
}

void WinFindValue::TakeCurrentResult() {
    const int current = lb_Results->GetSelected();
    result = current >= 0 ? static_cast<std::int32_t>(lb_Results->GetItemData(current)) : -1;
}

bool WinFindValue::OnMatchChanged(WEventData&) {
    UpdateResults(textb_Match->GetText());
    return false;
}

bool WinFindValue::OnOK(WEventData&) {
    TakeCurrentResult();
    Close();
    return false;
}

bool WinFindValue::OnResultsDoubleClick(WEventData&) {
    TakeCurrentResult();
    Close();
    return false;
}

bool WinFindValue::OnCancel(WEventData&) {
    result = -1;
    Close();
    return false;
}

bool WinFindValue::OnHelp(WEventData&) {
    MainWindow->ShowHelp(kFindHelpTopic);
    return true;
}
