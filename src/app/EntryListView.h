#pragma once

#include "register/EntryListModel.h"

#include <QListView>

namespace kestrana {

// The main window's list (`lista`): a list view over the EntryList the editing session built,
// painting only the lines in sight. Rows are addressed by number, as a list of lines would be.
class EntryListView : public QListView {
    Q_OBJECT

public:
    explicit EntryListView(QWidget* parent = nullptr);

    // The rows become the lines of `list` (nullptr: none); nothing is selected.
    void showList(const EntryList* list);
    const EntryList* list() const { return model_.list(); }

    int count() const { return model_.rowCount(); }
    // The current line (-1: none), and making a line current (-1: none).
    int currentRow() const;
    void setCurrentRow(int row);
    // The text of line `row` as shown.
    QString lineText(int row) const;
    // Brings line `row` into sight.
    void scrollToRow(int row);
    QRect rowRect(int row) const;

signals:
    void currentRowChanged(int row);
    void rowClicked(int row);

private:
    EntryListModel model_;
};

} // namespace kestrana
