#include "print/CategoryWindow.h"

#include "platform/EscapeKey.h"
#include "platform/IoError.h"
#include "platform/TabOrder.h"
#include "print/ui_Tkat_f.h"
#include "register/StartupFiles.h"
#include "station/StorageLocation.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QTableWidgetItem>

namespace kestrana {

namespace {

constexpr int kRows = 21;

// A header cell: grey like a button face and not editable.
void setFixedCell(QTableWidget* grid, int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(grid->palette().button());
    grid->setItem(row, column, item);
}

void setNameCell(QTableWidget* grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

QString cellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

Tkat_f::Tkat_f(const Workstation& ws, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      ui(std::make_unique<Ui::Tkat_f>()), ws_(ws), prompts_(prompts) {
    ui->setupUi(this);
    setFixedSize(size());
    QHeaderView* rows = ui->tabela->verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(17);
    for (int row = 0; row < kRows; ++row)
        ui->tabela->setRowHeight(row, 17);
    ui->tabela->setColumnWidth(0, 64);
    ui->tabela->setColumnWidth(1, 128);
    ui->tabela->setColumnWidth(2, 118);
    ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(64, 64));
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { storeAndClose(); });
    bindEscape(this, {ui->BitBtn1});
    setReadingTabOrder(this);
    FormCreate();
}

Tkat_f::~Tkat_f() = default;

bool Tkat_f::FormCreate() {
    setFixedCell(ui->tabela, 0, 0, QStringLiteral("Lp"));
    setFixedCell(ui->tabela, 0, 1, QStringLiteral("Kategoria"));
    setFixedCell(ui->tabela, 0, 2, QStringLiteral("Grupa"));
    CategoryNames names;
    try {
        // Another workstation may have moved the data since start-up: the base directory is
        // decided again, as start-up decides it.
        const Workstation here = startup::locatedAgain(ws_);
        namesFile_ = here.categoriesFile();
        names = startup::prepareCategoryNames(here);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
    for (int i = 1; i < kRows; ++i) {
        setFixedCell(ui->tabela, i, 0, QString::number(i));
        setNameCell(ui->tabela, i, 1, names.categories[i - 1]);
        setNameCell(ui->tabela, i, 2, names.groups[i - 1]);
    }
    return true;
}

void Tkat_f::open() {
    setEnabled(true);
    if (!FormCreate())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    activateWindow();
}

CategoryNames Tkat_f::gridNames() const {
    CategoryNames names;
    for (int i = 1; i < kRows; ++i) {
        names.categories[i - 1] = cellText(ui->tabela, i, 1);
        names.groups[i - 1] = cellText(ui->tabela, i, 2);
    }
    return names;
}

bool Tkat_f::storeAndClose() {
    // A cell still being edited counts as typed.
    ui->tabela->setCurrentIndex(QModelIndex());
    const CategoryNames names = gridNames();
    try {
        // The file is replaced as a whole, never left half-written.
        startup::storeCategoryNames(ws_, namesFile_, names);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
    setEnabled(false);
    hide();
    close();
    emit namesStored(CategoryNames::fromBytes(names.toBytes()));
    return true;
}

void Tkat_f::closeEvent(QCloseEvent* event) {
    // "Powrót" is the only way out: the window system's close request is refused.
    if (event->spontaneous())
        event->ignore();
    else
        event->accept();
}

} // namespace kestrana
