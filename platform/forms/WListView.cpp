#include "platform/forms/WListView.h"

#include <QStringList>

WListView::WListView(WForm* form, const std::string& name, QTreeWidget* tree)
    : WWindow(tree, form, name), tree_(tree) {
    tree_->setRootIsDecorated(false);
    tree_->setItemsExpandable(false);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setSortingEnabled(false);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        WEventData event;
        event.id = SelectEvent;
        event.row = current ? tree_->indexOfTopLevelItem(current) : kNoRow;
        Raise(event);
    });
    WatchMouse();
}

QWidget* WListView::MouseWidget() const { return tree_ ? tree_->viewport() : nullptr; }

long WListView::RowAt(const QPoint& point) const {
    QTreeWidgetItem* item = tree_->itemAt(point);
    return item ? tree_->indexOfTopLevelItem(item) : kNoRow;
}

void WListView::SetColumnTitles(const std::vector<std::string>& titles) {
    QStringList labels;
    for (const std::string& title : titles) labels << ToQt(title);
    tree_->setColumnCount(static_cast<int>(labels.size()));
    tree_->setHeaderLabels(labels);
}

int WListView::GetColumnCount() const { return tree_->columnCount(); }

int WListView::AddItem(const std::vector<std::string>& cells, std::int64_t data) {
    auto* item = new QTreeWidgetItem;
    for (std::size_t column = 0; column < cells.size(); ++column)
        item->setText(static_cast<int>(column), ToQt(cells[column]));
    item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(data));
    tree_->addTopLevelItem(item);
    return tree_->indexOfTopLevelItem(item);
}

void WListView::DeleteItem(int row) {
    if (row >= 0 && row < GetCount()) delete tree_->takeTopLevelItem(row);
}

void WListView::Clear() { tree_->clear(); }
int WListView::GetCount() const { return tree_->topLevelItemCount(); }

std::string WListView::GetCellText(int row, int column) const {
    const QTreeWidgetItem* item = tree_->topLevelItem(row);
    return item && column >= 0 ? FromQt(item->text(column)) : std::string();
}

void WListView::SetCellText(int row, int column, const std::string& text) {
    if (QTreeWidgetItem* item = tree_->topLevelItem(row); item && column >= 0) item->setText(column, ToQt(text));
}

std::int64_t WListView::GetItemData(int row) const {
    const QTreeWidgetItem* item = tree_->topLevelItem(row);
    return item ? item->data(0, Qt::UserRole).toLongLong() : 0;
}

bool WListView::IsItemSelected(int row) const {
    const QTreeWidgetItem* item = tree_->topLevelItem(row);
    return item && item->isSelected();
}

void WListView::SetItemSelected(int row, bool selected) {
    if (QTreeWidgetItem* item = tree_->topLevelItem(row)) item->setSelected(selected);
}

int WListView::GetFocusedItem() const {
    QTreeWidgetItem* item = tree_->currentItem();
    return item ? tree_->indexOfTopLevelItem(item) : -1;
}

void WListView::SetFocusedItem(int row) {
    QTreeWidgetItem* item = tree_->topLevelItem(row);
    tree_->setCurrentItem(item, 0, item ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                        : QItemSelectionModel::Clear);
}

void WListView::EnsureVisible(int row) {
    if (QTreeWidgetItem* item = tree_->topLevelItem(row)) tree_->scrollToItem(item);
}
