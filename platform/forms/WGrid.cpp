#include "platform/forms/WGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>

#include "platform/db/WQuery.h"
#include "platform/forms/WForm.h"

namespace {

std::vector<std::string> SplitTitles(const std::string& text) {
    std::vector<std::string> titles;
    std::string current;
    bool quoted = false;
    for (char ch : text) {
        if (ch == '"') {
            quoted = !quoted;
        } else if (ch == ';' && !quoted) {
            titles.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    if (!current.empty() || !text.empty()) titles.push_back(current);
    return titles;
}

}  // namespace

void WGridModel::SetQuery(WQuery* query) {
    query_ = query;
    Reload();
}

void WGridModel::SetTitles(std::vector<std::string> titles) {
    titles_ = std::move(titles);
    if (names_.empty()) Reload();   // the titles also choose the columns
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

void WGridModel::SetNames(std::vector<std::string> names) {
    names_ = std::move(names);
    Reload();
}

int WGridModel::QueryColumnOf(int column) const {
    const std::vector<std::string>& list = ColumnList();
    if (list.empty()) return column;
    if (const int named = query_->FindColumn(list[static_cast<std::size_t>(column)]); named >= 0) return named;
    return column < query_->GetNumColumns() ? column : -1;
}

// The cells are copied out of the query, so a query closed or re-run later cannot leave the
// grid reading rows that are gone.
void WGridModel::Reload() {
    beginResetModel();
    rows_.clear();
    headers_.clear();
    columns_ = 0;
    if (query_ && query_->IsOpen()) {
        const std::vector<std::string>& list = ColumnList();
        columns_ = list.empty() ? query_->GetNumColumns() : static_cast<int>(list.size());
        std::vector<int> source;
        for (int c = 0; c < columns_; ++c) {
            source.push_back(QueryColumnOf(c));
            headers_.push_back(query_->GetColumnName(source.back()));
        }
        const long n = query_->GetNumRows();
        rows_.resize(static_cast<size_t>(n));
        for (long r = 0; r < n; ++r) {
            auto& row = rows_[static_cast<size_t>(r)];
            row.reserve(static_cast<size_t>(columns_));
            for (int c = 0; c < columns_; ++c) row.push_back(query_->GetValue(r, source[static_cast<size_t>(c)]).AsText());
        }
    }
    endResetModel();
}

int WGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int WGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return std::max(columns_, static_cast<int>(titles_.size()));
}

QVariant WGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return ToQt(Cell(index.row(), index.column()));
}

QVariant WGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section >= 0 && section < static_cast<int>(titles_.size())) return ToQt(titles_[section]);
    if (section >= 0 && section < static_cast<int>(headers_.size())) return ToQt(headers_[section]);
    return {};
}

std::string WGridModel::Cell(long row, int column) const {
    if (row < 0 || row >= static_cast<long>(rows_.size())) return {};
    const auto& cells = rows_[static_cast<size_t>(row)];
    if (column < 0 || column >= static_cast<int>(cells.size())) return {};
    return cells[static_cast<size_t>(column)];
}

WGrid::WGrid(WForm* form, const std::string& name, QTableView* view)
    : WWindow(view, form, name), view_(view), model_(new WGridModel(view)) {
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->show();
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows are chosen, never edited cell by cell: Tab goes on to the form's next control.
    view_->setTabKeyNavigation(false);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        WEventData event;
        event.id = SelectEvent;
        event.row = GetCurrentRow();
        Raise(event);
    });
    WatchMouse();
}

QWidget* WGrid::MouseWidget() const { return view_ ? view_->viewport() : nullptr; }

// A click is the left button's release over the grid, after its LeftButtonUpEvent.
bool WGrid::eventFilter(QObject* watched, QEvent* event) {
    const bool leftRelease = watched == MouseWidget() && event->type() == QEvent::MouseButtonRelease &&
                             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    const QPoint at = leftRelease ? static_cast<QMouseEvent*>(event)->position().toPoint() : QPoint();
    QPointer<WGrid> self(this);
    const bool filtered = WWindow::eventFilter(watched, event);
    if (self && leftRelease) {
        WEventData click;
        click.id = ClickEvent;
        click.x = at.x();
        click.y = at.y();
        click.row = HitTestRow(at);
        Raise(click);
    }
    return filtered;
}

void WGrid::SetDataSource(WQuery* query) {
    query_ = query;
    model_->SetQuery(query);
}

void WGrid::SetColumnTitles(const std::string& titles) { model_->SetTitles(SplitTitles(titles)); }
void WGrid::SetColumnNames(const std::string& names) { model_->SetNames(SplitTitles(names)); }

std::vector<std::string> WGrid::GetColumnTitles() const {
    std::vector<std::string> titles;
    for (int c = 0; c < model_->columnCount(); ++c)
        titles.push_back(FromQt(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
    return titles;
}

void WGrid::SetColumnWidths(const std::vector<int>& widths) {
    widths_ = widths;
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) SetColumnWidth(c, widths[c]);
}

void WGrid::SetColumnWidth(int column, int width) {
    if (column < 0) return;
    if (column >= static_cast<int>(widths_.size())) widths_.resize(static_cast<size_t>(column) + 1, -1);
    widths_[static_cast<size_t>(column)] = width;
    view_->setColumnHidden(column, width == 0);
    if (width > 0) view_->setColumnWidth(column, width);
}

int WGrid::GetColumnWidth(int column) const {
    if (IsColumnHidden(column)) return 0;
    return view_->columnWidth(column);
}

bool WGrid::IsColumnHidden(int column) const { return view_->isColumnHidden(column); }

void WGrid::SetReadOnly(bool readOnly) {
    view_->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                    : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
}

void WGrid::Refresh() {
    model_->Reload();
    // A model reset forgets hidden columns and widths: give them back.
    for (int c = 0; c < static_cast<int>(widths_.size()); ++c)
        if (widths_[static_cast<size_t>(c)] >= 0) SetColumnWidth(c, widths_[static_cast<size_t>(c)]);
    SetCurrentRow(GetNumRows() > 0 ? 0 : -1);
}

bool WGrid::ReQueryKeepingSelection(int keyColumn) {
    const long current = GetCurrentRow();
    const bool hadKey = current >= 0;
    const std::string key = hadKey ? GetCellText(current, keyColumn) : std::string();
    bool opened = false;
    if (query_) {
        query_->Close();
        opened = query_->Open();
    }
    Refresh();
    if (hadKey) {
        const long row = FindRow(keyColumn, key);
        if (row >= 0) SetCurrentRow(row);
    }
    return opened;
}

long WGrid::GetNumRows() const { return model_->rowCount(); }
int WGrid::GetNumColumns() const { return model_->columnCount(); }

std::string WGrid::GetCellText(long row, int column) const { return model_->Cell(row, column); }

long WGrid::GetCurrentRow() const {
    const QModelIndex index = view_->selectionModel()->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void WGrid::SetCurrentRow(long row) {
    QItemSelectionModel* selection = view_->selectionModel();
    if (row < 0 || row >= GetNumRows()) {
        selection->clear();
        return;
    }
    int column = 0;
    while (column < GetNumColumns() - 1 && view_->isColumnHidden(column)) ++column;
    const QModelIndex index = model_->index(static_cast<int>(row), column);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
}

bool WGrid::IsRowSelected(long row) const {
    return row >= 0 && row < GetNumRows() && view_->selectionModel()->isRowSelected(static_cast<int>(row), {});
}

long WGrid::FindRow(int column, const std::string& text) const {
    const QString wanted = ToQt(text);
    for (long r = 0; r < GetNumRows(); ++r)
        if (ToQt(GetCellText(r, column)).compare(wanted, Qt::CaseInsensitive) == 0) return r;
    return -1;
}

long WGrid::HitTestRow(const QPoint& viewportPoint) const {
    if (viewportPoint.y() < 0) return kTitleRow;
    const int row = view_->rowAt(viewportPoint.y());
    return row < 0 ? kNoRow : row;
}

void WGrid::SetHorizontalScrollBarShown(bool shown) {
    view_->setHorizontalScrollBarPolicy(shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

bool WGrid::IsHorizontalScrollBarShown() const {
    return view_->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}
