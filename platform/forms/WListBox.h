#pragma once
// A list box: entries of text, each with a 64-bit item key as its data. A sorted list keeps its
// entries in alphabetical order without regard to case (each add finds its place). The current
// entry is the selected one. DoubleClickEvent and SelectEvent as the user acts; drag and drop
// between list boxes of one form raises DragStartEvent on the source (a handler sets accept),
// DragFeedbackEvent on the source while the pointer moves, DragDropEvent on the list that
// receives the drop (dragSource = the list the drag began in) and DragEndEvent on the source.

#include <QListWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms/WWindow.h"

class WListBox : public WWindow {
    Q_OBJECT
public:
    WListBox(WForm* form, const std::string& name, QListWidget* list);

    void SetSorted(bool sorted) { sorted_ = sorted; }
    bool IsSorted() const { return sorted_; }

    int AddItem(const std::string& text, std::int64_t data = 0);   // the entry's index
    void DeleteItem(int index);
    void Clear();
    int GetCount() const;
    std::string GetItemText(int index) const;
    std::int64_t GetItemData(int index) const;   // 0 out of range
    void SetItemData(int index, std::int64_t data);
    int FindText(const std::string& text) const;   // exact, -1 when none
    // The list is never made too narrow to show any of these entries whole.
    void KeepWidthFor(const std::vector<std::string>& entries);

    int GetSelected() const;          // the current entry, -1 when none
    void SetSelected(int index);      // current and selected; -1 clears

    // Drag and drop: the list takes drops from lists whose drag name it accepts.
    void SetDragName(const std::string& name) { dragName_ = name; }
    const std::string& GetDragName() const { return dragName_; }
    void AcceptDropsFrom(const std::string& dragName) { acceptsFrom_ = dragName; }
    bool AcceptsDropFrom(const WListBox* source) const;

    QListWidget* GetList() const { return list_; }

protected:
    QWidget* MouseWidget() const override;
    long RowAt(const QPoint& point) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WListBox* DropTargetAt(const QPoint& globalPosition) const;
    void FinishDrag(const QPoint& globalPosition, bool drop);

    QListWidget* list_;
    bool sorted_ = false;
    std::string dragName_;
    std::string acceptsFrom_;
    QPoint pressAt_;
    bool pressed_ = false;
    bool dragging_ = false;
};
