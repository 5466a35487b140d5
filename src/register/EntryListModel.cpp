#include "register/EntryListModel.h"

namespace kestrana {

void EntryListModel::show(const EntryList* list) {
    beginResetModel();
    list_ = list;
    rows_ = list ? list->count() : 0;
    endResetModel();
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (!list_ || !index.isValid() || index.row() >= list_->count())
        return {};
    if (role == Qt::DisplayRole)
        return list_->line(index.row());
    return {};
}

} // namespace kestrana
