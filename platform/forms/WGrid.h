#pragma once
// A grid bound to a query: one row per row of the query, its cells the values as text. A title
// row, no title column, whole rows selected, one at a time. A column of width 0 is hidden (the id
// columns) but its cells are read like any other.
//
// The grid's columns are the query's columns named in its column list (the column names, else
// the titles), by label without regard to case, in the list's order; a name that no query
// column has takes the query column at its own position. Without a list, the query's columns
// in their order. ClickEvent follows a left-button release over the rows.

#include <QAbstractTableModel>
#include <QTableView>
#include <string>
#include <vector>

#include "platform/forms/WWindow.h"

class WQuery;

class WGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit WGridModel(QObject* parent) : QAbstractTableModel(parent) {}
    void SetQuery(WQuery* query);
    void SetTitles(std::vector<std::string> titles);
    void SetNames(std::vector<std::string> names);
    void Reload();   // the query's rows as they are now

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    std::string Cell(long row, int column) const;

private:
    const std::vector<std::string>& ColumnList() const { return names_.empty() ? titles_ : names_; }
    int QueryColumnOf(int column) const;   // -1 when the query has none there

    WQuery* query_ = nullptr;
    std::vector<std::string> titles_;
    std::vector<std::string> names_;
    std::vector<std::string> headers_;   // the query's labels of the shown columns
    std::vector<std::vector<std::string>> rows_;
    int columns_ = 0;
};

class WGrid : public WWindow {
    Q_OBJECT
public:
    WGrid(WForm* form, const std::string& name, QTableView* view);

    void SetDataSource(WQuery* query);
    WQuery* GetDataSource() const { return query_; }
    // Titles as one text joined by ';', each optionally in double quotes: Name;"Trip date";id.
    void SetColumnTitles(const std::string& titles);
    std::vector<std::string> GetColumnTitles() const;
    // The query columns to show, as one text joined by ';' ("name;appetite;notes;id").
    void SetColumnNames(const std::string& names);
    void SetColumnWidths(const std::vector<int>& widths);
    void SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    bool IsColumnHidden(int column) const;
    void SetReadOnly(bool readOnly);

    // Fills the grid anew from its query (call after the query was opened or re-opened); the
    // current row is then row 0, or none when there are no rows.
    void Refresh();
    // Re-opens the query and refills the grid, keeping the row whose cell in keyColumn has the
    // same text as the current row's before; when no row has it, the current row of the re-read.
    bool ReQueryKeepingSelection(int keyColumn);

    long GetNumRows() const;
    int GetNumColumns() const;
    std::string GetCellText(long row, int column) const;
    long GetCurrentRow() const;        // -1 when none
    void SetCurrentRow(long row);      // current and selected; -1 clears
    bool IsRowSelected(long row) const;
    long FindRow(int column, const std::string& text) const;   // case-insensitive; -1 when none
    // The row at a point of the grid's viewport: kNoRow below the rows, kTitleRow on the titles.
    long HitTestRow(const QPoint& viewportPoint) const;
    void SetHorizontalScrollBarShown(bool shown);
    bool IsHorizontalScrollBarShown() const;

    QTableView* GetView() const { return view_; }

protected:
    QWidget* MouseWidget() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    long RowAt(const QPoint& point) const override { return HitTestRow(point); }

private:
    QTableView* view_;
    WGridModel* model_;
    WQuery* query_ = nullptr;
    std::vector<int> widths_;
};
