#pragma once
// Choosing a set of rows by moving entries between two list boxes: the chosen entries on the
// left, the available ones on the right. SelListsData holds the candidates (name and key) and
// the keys chosen so far, as the form reads them; SelLists fills the two lists from it, moves
// entries on the user's request and hands the chosen keys back to the form.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/WDragShadow.h"
#include "platform/forms/WEvents.h"

class WCommandButton;
class WDragImage;
class WListBox;
class WWindow;

// An item key: low half the row id, high half a kind of the caller's choosing (0 for most; the
// trip-stop editor tells meals from menu items by it). Equal when both halves are equal.
using SelItemKey = std::int64_t;
SelItemKey MakeSelItemKey(std::int32_t low, std::int32_t high);
std::int32_t SelItemKeyLow(SelItemKey key);
std::int32_t SelItemKeyHigh(SelItemKey key);

class SelListsData {
public:
    virtual ~SelListsData() = default;

    void Init(bool allowDuplicates);
    // Appends an item; with alsoSelect its key is also chosen (unless duplicates are not allowed
    // and it already is). Answers the item's index either way.
    int AddItem(const std::string& name, std::int32_t keyLow, std::int32_t keyHigh, bool alsoSelect);
    // False, with nothing added, when duplicates are not allowed and the key is already chosen.
    bool AddSelected(std::int32_t keyLow, std::int32_t keyHigh);
    std::optional<SelItemKey> ItemKey(int index) const;   // none past the last item

    int ItemCount() const { return static_cast<int>(itemKeys.size()); }
    int SelectedCount() const { return static_cast<int>(selectedKeys.size()); }
    bool AllowDuplicates() const { return allowDuplicates; }
    const std::string& ItemName(int index) const { return itemNames[index]; }
    SelItemKey ItemKeyAt(int index) const { return itemKeys[index]; }
    SelItemKey SelectedKeyAt(int index) const { return selectedKeys[index]; }
    bool IsSelected(SelItemKey key) const;
    int FindItem(SelItemKey key) const;   // the first item with the key, -1 when none

private:
    std::vector<std::string> itemNames;
    std::vector<SelItemKey> itemKeys;   // parallel to the names
    std::vector<SelItemKey> selectedKeys;
    bool allowDuplicates = false;
};

class SelLists {
public:
    SelLists();
    virtual ~SelLists();
    SelLists(const SelLists&) = delete;
    SelLists& operator=(const SelLists&) = delete;

    // Binds the lists to the data and fills them; selectionText (NULL for none) shows the entry
    // last selected in either list. Always true.
    bool Fill(WListBox* left, WListBox* right, const SelListsData& data, const std::string& noun,
              WWindow* parent, WWindow* selectionText);

    bool Add();      // right to left; false after the message when nothing is current
    bool Remove();   // left to right
    void ClearAll();

    int SelectedCount() const;
    SelItemKey SelectedKey(int index) const;
    std::int32_t SelectedId(int index) const;
    int AvailableCount() const;
    std::int32_t AvailableId(int index) const;

    // Binds the double clicks, drags and selection changes of both lists, and the Add, Remove
    // and Clear all buttons, to this object, so that a form need not forward each of them; a
    // form without one of the buttons passes NULL. Bind once per window: the handlers go with
    // the controls.
    void BindControls(WListBox* left, WListBox* right, WCommandButton* add, WCommandButton* remove,
                      WCommandButton* clearAll);

    // The forms bind these to the events of both lists and answer false after calling them.
    void DoubleClick(WEventData& event);
    void BeginDrag(WEventData& event);
    void DragMove(WEventData& event);
    void Drop(WEventData& event);
    void EndDrag(WEventData& event);
    void SelectionChanged(WEventData& event);

private:
    void ShowSelectionError(const char* format);
    static void DeleteAndSelectNext(WListBox* list, int index);

    WListBox* leftList = nullptr;
    WListBox* rightList = nullptr;
    std::string noun;
    WWindow* parent = nullptr;
    WWindow* selectionText = nullptr;
    bool allowDuplicates = false;

    std::unique_ptr<WDragImage> dragImage;
    WDragShadow dragShadow;
};
