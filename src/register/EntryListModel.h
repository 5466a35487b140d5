#pragma once

#include "register/EntryList.h"

#include <QAbstractListModel>

namespace kestrana {

// The list for a list view: one row per line of an EntryList, its text made only when the view
// asks for it (the lines it paints). The EntryList belongs to whoever built it and outlives the
// model's use of it; show() is called after each rebuild. Until then the model keeps the row
// count it was shown with, and rows the list no longer has read as empty (a message box about a
// failed rebuild may let the view paint meanwhile).
class EntryListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // The rows become those of `list` (nullptr: none).
    void show(const EntryList* list);
    const EntryList* list() const { return list_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const EntryList* list_ = nullptr;
    int rows_ = 0;
};

} // namespace kestrana
