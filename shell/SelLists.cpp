#include "shell/SelLists.h"

#include <algorithm>
#include <cstdio>

#include "platform/forms/WControls.h"
#include "platform/forms/WDragImage.h"
#include "platform/forms/WListBox.h"
#include "platform/forms/WPrompter.h"
#include "shell/WinStart.h"

namespace {

// Keeps the old growth of the arrays: ten more entries whenever an append finds one full.
template <class T>
void AppendGrowingByTen(std::vector<T>& array, T value) {
    if (array.size() == array.capacity()) array.reserve(array.capacity() + 10);
    array.push_back(std::move(value));
}

}  // namespace

SelItemKey MakeSelItemKey(std::int32_t low, std::int32_t high) {
    return static_cast<SelItemKey>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) |
                                   static_cast<std::uint32_t>(low));
}

std::int32_t SelItemKeyLow(SelItemKey key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(key)));
}

std::int32_t SelItemKeyHigh(SelItemKey key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(key) >> 32));
}

// ---- SelListsData

void SelListsData::Init(bool allow) {
    // The arrays keep their storage for the next filling.
    itemNames.clear();
    itemKeys.clear();
    selectedKeys.clear();
    allowDuplicates = allow;
}

int SelListsData::AddItem(const std::string& name, std::int32_t keyLow, std::int32_t keyHigh, bool alsoSelect) {
    const SelItemKey key = MakeSelItemKey(keyLow, keyHigh);
    AppendGrowingByTen(itemNames, name);
    AppendGrowingByTen(itemKeys, key);
    if (alsoSelect) AddSelected(keyLow, keyHigh);
    return ItemCount() - 1;
}

bool SelListsData::AddSelected(std::int32_t keyLow, std::int32_t keyHigh) {
    const SelItemKey key = MakeSelItemKey(keyLow, keyHigh);
    if (!allowDuplicates && IsSelected(key)) return false;
    AppendGrowingByTen(selectedKeys, key);
    return true;
}

std::optional<SelItemKey> SelListsData::ItemKey(int index) const {
    if (index < 0 || index >= ItemCount()) return std::nullopt;
    return itemKeys[index];
}

bool SelListsData::IsSelected(SelItemKey key) const {
    return std::find(selectedKeys.begin(), selectedKeys.end(), key) != selectedKeys.end();
}

int SelListsData::FindItem(SelItemKey key) const {
    const auto it = std::find(itemKeys.begin(), itemKeys.end(), key);
    return it == itemKeys.end() ? -1 : static_cast<int>(it - itemKeys.begin());
}

// ---- SelLists

SelLists::SelLists() = default;
SelLists::~SelLists() = default;

bool SelLists::Fill(WListBox* left, WListBox* right, const SelListsData& data, const std::string& entryNoun,
                    WWindow* owner, WWindow* selectionTextControl) {
    leftList = left;
    rightList = right;
    noun = entryNoun;
    parent = owner;
    selectionText = selectionTextControl;
    allowDuplicates = data.AllowDuplicates();

    leftList->Clear();
    rightList->Clear();
    for (int i = 0; i < data.ItemCount(); ++i) {
        if (!allowDuplicates && data.IsSelected(data.ItemKeyAt(i))) continue;
        rightList->AddItem(data.ItemName(i), data.ItemKeyAt(i));
    }
    for (int i = 0; i < data.SelectedCount(); ++i) {
        const SelItemKey key = data.SelectedKeyAt(i);
        const int item = data.FindItem(key);
        leftList->AddItem(item >= 0 ? data.ItemName(item) : std::string(), key);
    }
    leftList->SetSelected(leftList->GetCount() > 0 ? 0 : -1);
    rightList->SetSelected(rightList->GetCount() > 0 ? 0 : -1);
    return true;
}

void SelLists::ShowSelectionError(const char* format) {
    const char* article = !noun.empty() && WinStart::IsVowel(noun[0]) ? "n" : "";
    const int n = std::snprintf(nullptr, 0, format, article, noun.c_str());
    std::string text(n > 0 ? n : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, article, noun.c_str());
    MessageBox(parent, "Selection error", text, WMessageIcon::Stop, WMessageButtons::OK);
}

// After a delete the entry now at the same position is current, or the last one when the
// deleted entry was the last; an emptied list has none.
void SelLists::DeleteAndSelectNext(WListBox* list, int index) {
    list->DeleteItem(index);
    list->SetSelected(std::min(index, list->GetCount() - 1));
}

bool SelLists::Add() {
    const int current = rightList ? rightList->GetSelected() : -1;
    if (current < 0) {
        ShowSelectionError("You must select a%s %s from the list on the right to add");
        return false;
    }
    const SelItemKey key = rightList->GetItemData(current);
    leftList->SetSelected(leftList->AddItem(rightList->GetItemText(current), key));
    if (allowDuplicates) return true;
    DeleteAndSelectNext(rightList, current);
    return true;
}

bool SelLists::Remove() {
    const int current = leftList ? leftList->GetSelected() : -1;
    if (current < 0) {
        ShowSelectionError("You must select a%s %s from the list on the left to remove");
        return false;
    }
    if (!allowDuplicates)
        rightList->SetSelected(rightList->AddItem(leftList->GetItemText(current), leftList->GetItemData(current)));
    DeleteAndSelectNext(leftList, current);
    return true;
}

void SelLists::ClearAll() {
    if (!leftList) return;
    if (!allowDuplicates) {
        for (int i = 0; i < leftList->GetCount(); ++i)
            rightList->AddItem(leftList->GetItemText(i), leftList->GetItemData(i));
        rightList->SetSelected(rightList->GetCount() > 0 ? 0 : -1);
    }
    leftList->Clear();
}

int SelLists::SelectedCount() const { return leftList ? leftList->GetCount() : 0; }
SelItemKey SelLists::SelectedKey(int index) const { return leftList->GetItemData(index); }
std::int32_t SelLists::SelectedId(int index) const { return SelItemKeyLow(SelectedKey(index)); }
int SelLists::AvailableCount() const { return rightList ? rightList->GetCount() : 0; }
std::int32_t SelLists::AvailableId(int index) const { return SelItemKeyLow(rightList->GetItemData(index)); }

void SelLists::BindControls(WListBox* left, WListBox* right, WCommandButton* add, WCommandButton* remove,
                            WCommandButton* clearAll) {
    // Every handler answers false, so that the framework's own processing goes on.
    auto forward = [this](void (SelLists::*operation)(WEventData&)) {
        return [this, operation](WEventData& event) {
            (this->*operation)(event);
            return false;
        };
    };
    for (WListBox* list : {left, right}) {
        if (!list) continue;
        list->AddEventHandler(DoubleClickEvent, forward(&SelLists::DoubleClick), this);
        list->AddEventHandler(DragStartEvent, forward(&SelLists::BeginDrag), this);
        list->AddEventHandler(DragFeedbackEvent, forward(&SelLists::DragMove), this);
        list->AddEventHandler(DragDropEvent, forward(&SelLists::Drop), this);
        list->AddEventHandler(DragEndEvent, forward(&SelLists::EndDrag), this);
        list->AddEventHandler(SelectEvent, forward(&SelLists::SelectionChanged), this);
    }
    auto click = [this](WCommandButton* button, auto operation) {
        if (!button) return;
        button->AddEventHandler(ClickEvent, [this, operation](WEventData&) {
            operation(*this);
            return false;
        }, this);
    };
    click(add, [](SelLists& lists) { lists.Add(); });
    click(remove, [](SelLists& lists) { lists.Remove(); });
    click(clearAll, [](SelLists& lists) { lists.ClearAll(); });
}

void SelLists::DoubleClick(WEventData& event) {
    if (event.source == rightList) Add();
    else if (event.source == leftList) Remove();
}

void SelLists::BeginDrag(WEventData& event) {
    auto* list = dynamic_cast<WListBox*>(event.source);
    if (!list) return;
    const int current = list->GetSelected();
    std::string text = current >= 0 ? list->GetItemText(current) : std::string();
    dragImage = MainWindow->MakeDragImage(text, parent);
    if (dragImage) dragShadow.Begin(*dragImage, list, event.x, event.y);
    event.accept = true;
}

void SelLists::DragMove(WEventData& event) {
    if (dragImage) dragShadow.Move(event.source, event.x, event.y);
}

void SelLists::Drop(WEventData& event) {
    // Both moves act on the current entry of the list the drag began in: the dragged one.
    if (event.dragSource == rightList) Add();
    else Remove();
}

void SelLists::EndDrag(WEventData&) {
    dragShadow.End();
    dragImage.reset();
}

void SelLists::SelectionChanged(WEventData& event) {
    if (!selectionText || (event.source != rightList && event.source != leftList)) return;
    auto* list = static_cast<WListBox*>(event.source);
    const int current = list->GetSelected();
    selectionText->SetText(current >= 0 ? list->GetItemText(current) : std::string());
}
