#pragma once

#include "register/Duplicates.h"

#include <QDialog>

#include <functional>
#include <vector>

class QTreeWidget;

namespace kestrana {

// "Znajdź powtórzone wpisy…": the groups of entries that are likely one company, each entry with
// its ID, code, dates, NIP, REGON, name and town. Selecting an entry's line shows that entry in
// the main window; the user decides what to do with it there, nothing is merged or removed here.
class DuplicatesWindow : public QDialog {
    Q_OBJECT

public:
    // Shows the entry at a position of the main file whose ID was `id` when it was found.
    using ShowEntry = std::function<void(qint64 position, const QString& id)>;
    DuplicatesWindow(std::vector<duplicates::Group> groups, ShowEntry show,
                     QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }

private:
    std::vector<duplicates::Group> groups_;
    ShowEntry show_;
    QTreeWidget* tree_ = nullptr;
};

} // namespace kestrana
