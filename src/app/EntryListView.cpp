#include "app/EntryListView.h"

namespace kestrana {

EntryListView::EntryListView(QWidget* parent) : QListView(parent), model_(this) {
    setModel(&model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                emit currentRowChanged(current.isValid() ? current.row() : -1);
            });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit rowClicked(index.row()); });
}

void EntryListView::showList(const EntryList* list) {
    model_.show(list);
}

int EntryListView::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void EntryListView::setCurrentRow(int row) {
    const QModelIndex index = model_.index(row, 0);
    if (!index.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QString EntryListView::lineText(int row) const {
    return model_.data(model_.index(row, 0)).toString();
}

void EntryListView::scrollToRow(int row) {
    scrollTo(model_.index(row, 0));
}

QRect EntryListView::rowRect(int row) const {
    return visualRect(model_.index(row, 0));
}

} // namespace kestrana
