#include "app/DuplicatesWindow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrana {

DuplicatesWindow::DuplicatesWindow(std::vector<duplicates::Group> groups, ShowEntry show,
                                   QWidget* parent)
    : QDialog(parent), groups_(std::move(groups)), show_(std::move(show)) {
    setObjectName(QStringLiteral("DuplicatesWindow"));
    setWindowTitle(QStringLiteral("Powtórzone wpisy"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Grup wpisów, które mogą być tą samą firmą: %1. Wybierz wpis, aby go "
                       "zobaczyć w oknie głównym; nic nie jest łączone ani usuwane samo.")
            .arg(groups_.size()),
        this));
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("grupy"));
    tree_->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("Kod"), QStringLiteral("Data"),
                            QStringLiteral("Zmiana"), QStringLiteral("NIP"),
                            QStringLiteral("REGON"), QStringLiteral("Nazwa"),
                            QStringLiteral("Miejscowość")});
    for (size_t g = 0; g < groups_.size(); ++g) {
        auto* heading = new QTreeWidgetItem(tree_);
        heading->setText(0, duplicates::groupHeading(int(g) + 1, groups_[g]));
        heading->setFirstColumnSpanned(true);
        for (size_t m = 0; m < groups_[g].members.size(); ++m) {
            // The line's cells are those of the command line's output, without their words.
            QStringList cells =
                duplicates::memberLine(groups_[g].members[m]).split(QLatin1Char('\t'));
            for (int c = 0; c < 6; ++c)
                cells[c] = cells[c].section(QLatin1Char(' '), 1);
            auto* line = new QTreeWidgetItem(heading, cells);
            line->setData(0, Qt::UserRole, QVariant::fromValue(qint64(g) << 32 | qint64(m)));
        }
    }
    tree_->expandAll();
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(tree_);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item || !item->parent())
            return;
        const qint64 where = item->data(0, Qt::UserRole).toLongLong();
        const duplicates::Member& member =
            groups_[size_t(where >> 32)].members[size_t(where & 0xffffffff)];
        show_(member.position, member.record.text(Field::id));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 500);
}

} // namespace kestrana
