#pragma once
// A list view in report mode: rows of cells under column titles, each row with a 64-bit item
// key as its data; one row selected at a time. SelectEvent when the current row changes,
// DoubleClickEvent (with the row) as the user acts.

#include <QTreeWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms/WWindow.h"

class WListView : public WWindow {
    Q_OBJECT
public:
    WListView(WForm* form, const std::string& name, QTreeWidget* tree);

    void SetColumnTitles(const std::vector<std::string>& titles);
    int GetColumnCount() const;

    int AddItem(const std::vector<std::string>& cells, std::int64_t data = 0);   // the row's index
    void DeleteItem(int row);
    void Clear();
    int GetCount() const;
    std::string GetCellText(int row, int column) const;   // "" out of range
    void SetCellText(int row, int column, const std::string& text);
    std::int64_t GetItemData(int row) const;              // 0 out of range

    bool IsItemSelected(int row) const;
    void SetItemSelected(int row, bool selected);
    int GetFocusedItem() const;   // the current row, -1 when none
    void SetFocusedItem(int row);
    void EnsureVisible(int row);

    QTreeWidget* GetTree() const { return tree_; }

protected:
    QWidget* MouseWidget() const override;
    long RowAt(const QPoint& point) const override;

private:
    QTreeWidget* tree_;
};
