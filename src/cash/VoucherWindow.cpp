#include "cash/VoucherWindow.h"

#include "cash/Amounts.h"
#include "cash/FixedTexts.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherDocument.h"
#include "cash/VoucherPrintout.h"
#include "cash/VoucherTexts.h"
#include "cash/WordingSetting.h"
#include "cash/ui_Tkp_f.h"
#include "platform/EscapeKey.h"
#include "platform/IoError.h"
#include "platform/TabOrder.h"
#include "station/StorageLocation.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace kestrana {

namespace {

using namespace Qt::StringLiterals;

constexpr int kColumnTytulem = 0;
constexpr int kColumnKwota = 1;
const char* const kCellEditor = "tabelaEditor";

// The grid's cell editors write what is typed into the cell at once, so the total follows the
// typing, and get the window's key filter.
class LiveCellDelegate : public QStyledItemDelegate {
public:
    LiveCellDelegate(QObject* keyFilter, QObject* parent)
        : QStyledItemDelegate(parent), keyFilter_(keyFilter) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            auto* self = const_cast<LiveCellDelegate*>(this);
            connect(line, &QLineEdit::textEdited, self,
                    [self, line] { emit self->commitData(line); });
            line->setProperty(kCellEditor, true);
            line->installEventFilter(keyFilter_);
        }
        return editor;
    }

    // The cell written from the editor comes back here: the editor keeps its cursor.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && line->text() == index.data(Qt::EditRole).toString())
            return;
        QStyledItemDelegate::setEditorData(editor, index);
    }

private:
    QObject* keyFilter_;
};

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

Tkp_f::Tkp_f(const Workstation& ws, Prompts& prompts, Dialogs& dialogs, FontSettings& fonts,
             const Clock& clock, TextEditorOpener editText, CalculatorStarter calculator,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::Tkp_f>()), ws_(ws), here_(ws), prompts_(prompts), dialogs_(dialogs),
      fonts_(fonts), clock_(clock), editText_(std::move(editText)),
      startCalculator_(std::move(calculator)), Timer1(this) {
    ui->setupUi(this);
    setFixedSize(629, 515);

    QFont caption = ui->Panel1->font();
    caption.setPointSize(18);
    caption.setItalic(true);
    ui->Panel1->setFont(caption);
    QPalette grey = ui->Panel1->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    ui->Panel1->setPalette(grey);

    QTableWidget* grid = ui->tabela;
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(16);
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        grid->setRowHeight(r, 16);
        for (int c = 0; c < 2; ++c)
            grid->setItem(r, c, new QTableWidgetItem);
    }
    grid->setColumnWidth(kColumnTytulem, 495);
    grid->setColumnWidth(kColumnKwota, 71);
    grid->setItemDelegate(new LiveCellDelegate(this, grid));
    grid->setCurrentCell(0, 0);
    grid->installEventFilter(this);

    ui->lista->hide();
    ui->lista->installEventFilter(this);
    ui->lista->viewport()->installEventFilter(this);
    ui->Panel2->hide();
    ui->Panel3->hide();
    ui->gotowka->installEventFilter(this);

    ui->Memo1->setPlainText(vouchertexts::helpLines().join(u'\n'));
    ui->Memo2->setPlainText(vouchertexts::counterNoteLines().join(u'\n'));
    QTextCursor all(ui->Memo2->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    const std::pair<QAbstractButton*, void (Tkp_f::*)()> buttons[] = {
        {ui->SpeedButton1, &Tkp_f::leave},
        {ui->SpeedButton2, &Tkp_f::startCalculator},
        {ui->SpeedButton3, &Tkp_f::saveDocument},
        {ui->SpeedButton4, &Tkp_f::openDocument},
        {ui->SpeedButton5, &Tkp_f::editFixedTexts},
        {ui->SpeedButton6, &Tkp_f::offerFixedTexts},
        {ui->SpeedButton7, &Tkp_f::editIssuerBlock},
        {ui->SpeedButton8, &Tkp_f::editCompanyBlock},
        {ui->SpeedButton9, &Tkp_f::applyBlockEdit},
        {ui->SpeedButton10, &Tkp_f::cancelBlockEdit},
        {ui->SpeedButton11, &Tkp_f::showHelp},
        {ui->SpeedButton12, &Tkp_f::hideHelp},
        {ui->SpeedButton13, &Tkp_f::printVoucher},
        {ui->SpeedButton14, &Tkp_f::clearDocument},
        {ui->SpeedButton15, &Tkp_f::storeCounterParameters},
    };
    for (const auto& [button, handler] : buttons)
        connect(button, &QAbstractButton::clicked, this, handler);
    connect(ui->gotowka, &QLineEdit::returnPressed, this, &Tkp_f::acceptCash);
    connect(ui->odmiana, &QAbstractButton::clicked, this, &Tkp_f::chooseFullWords);
    // The pick list, the help and the block editor close before the window itself.
    bindEscape(this, {ui->lista, ui->SpeedButton12, ui->SpeedButton10, ui->SpeedButton1});
    setReadingTabOrder(this);
    showWordingSetting();

    Timer1.setObjectName(u"Timer1"_s);
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &Tkp_f::Timer1Timer);
    FormCreate();
}

Tkp_f::~Tkp_f() = default;

bool Tkp_f::open(DocumentKind kind, const VoucherBlock& company, bool boss) {
    szef_ = boss;
    kind_ = kind;
    const std::array<QLabel*, 4> companyLabels = blockLabels(BlockTarget::Company);
    const std::array<QLabel*, 4> issuerLabels = blockLabels(BlockTarget::Issuer);
    const VoucherBlock issuer = issuerBlock(ws_.firma);
    for (int i = 0; i < 4; ++i) {
        companyLabels[i]->setText(company[i]);
        issuerLabels[i]->setText(issuer[i]);
    }
    setEnabled(true);
    if (!FormCreate())
        return false;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
    return true;
}

bool Tkp_f::FormCreate() {
    try {
        // The data may have moved since start-up: the base directory is decided again.
        here_ = startup::locatedAgain(ws_);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
    for (QLineEdit* line : editLines())
        line->clear();
    ui->k1->setChecked(true);
    if (kind_ == DocumentKind::None)
        return true;
    const KindTexts& texts = kindTexts(kind_);
    ui->Panel1->setText(texts.panelCaption);
    setWindowTitle(texts.windowCaption);
    ui->Label8->setText(texts.companyHeading);
    try {
        ensureCounterFile(here_, kind_);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
    Timer1.start();
    ui->razem->clear();
    ui->data->setText(voucherDateText(clock_.today()));
    return true;
}

QString Tkp_f::cell(int row, int column) const {
    const QTableWidgetItem* item = ui->tabela->item(row, column);
    return item ? item->text() : QString();
}

void Tkp_f::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = ui->tabela->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        ui->tabela->setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
}

VoucherGrid Tkp_f::grid() const {
    VoucherGrid g;
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        g.tytulem[r] = cell(r, kColumnTytulem);
        g.kwota[r] = cell(r, kColumnKwota);
    }
    return g;
}

void Tkp_f::setGrid(const VoucherGrid& g) {
    for (int r = 0; r < VoucherGrid::Rows; ++r) {
        setCell(r, kColumnTytulem, g.tytulem[r]);
        setCell(r, kColumnKwota, g.kwota[r]);
    }
}

Voucher Tkp_f::voucher() const {
    Voucher v;
    v.kind = kind_;
    v.numerkp = ui->numerkp->text();
    v.rozszerzeniekp = ui->rozszerzeniekp->text();
    v.data = ui->data->text();
    const std::array<QLabel*, 4> issuer = blockLabels(BlockTarget::Issuer);
    const std::array<QLabel*, 4> company = blockLabels(BlockTarget::Company);
    for (int i = 0; i < 4; ++i) {
        v.issuer[i] = issuer[i]->text();
        v.company[i] = company[i]->text();
    }
    v.grid = grid();
    v.razem = ui->razem->text();
    v.gotowka = ui->gotowka->text();
    v.reszta = ui->reszta->text();
    v.colour = colourMode_ == 1;
    v.fullWords = ui->odmiana->isChecked();
    return v;
}

void Tkp_f::showWordingSetting() {
    // A setting that cannot be read leaves the office's own wording; the window still opens.
    try {
        fullWords_ = readWordingSetting(ws_.workDir);
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
    ui->odmiana->setChecked(fullWords_);
}

void Tkp_f::chooseFullWords(bool on) {
    try {
        storeWordingSetting(ws_.workDir, on, ws_.faults);
        fullWords_ = on;
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
    ui->odmiana->setChecked(fullWords_);
}

void Tkp_f::Timer1Timer() {
    ui->SpeedButton15->setEnabled(!ui->numerkp->text().isEmpty());
    if (ui->k1->isChecked())
        colourMode_ = 0;
    if (ui->k2->isChecked())
        colourMode_ = 1;
    const int column = ui->tabela->currentColumn();
    if (column != rememberedColumn_) {
        reformatAmounts();
        rememberedColumn_ = column;
    }
    const int row = ui->tabela->currentRow();
    if (row != rememberedRow_) {
        reformatAmounts();
        rememberedRow_ = row;
    }
    const double total = gridTotal(grid());
    const QString razem = formatAmount(total);
    if (ui->razem->text() != razem)
        ui->razem->setText(razem);
    if (const std::optional<QString> change = changeText(ui->gotowka->text(), total);
        change && ui->reszta->text() != *change)
        ui->reszta->setText(*change);
}

void Tkp_f::reformatAmounts() {
    for (int r = 0; r < VoucherGrid::Rows; ++r)
        setCell(r, kColumnKwota, reformatAmountCell(cell(r, kColumnKwota)));
}

void Tkp_f::enterInGrid() {
    ui->gotowka->setText(cashFieldText(ui->gotowka->text()));
    reformatAmounts();
}

void Tkp_f::acceptCash() {
    const QString formatted = cashFieldText(ui->gotowka->text());
    if (ui->gotowka->text() != formatted)
        ui->gotowka->setText(formatted);
}

bool Tkp_f::gridKeyPress(QObject* watched, QKeyEvent* event) {
    if (isEnter(event->key())) {
        enterInGrid();
        return false;
    }
    if (ui->tabela->currentColumn() != kColumnKwota)
        return false;
    const QString text = event->text();
    // Keys without a character (arrows, Tab, Delete) and control characters (Backspace, Esc,
    // the editing shortcuts) are the grid's own.
    if (text.isEmpty() || text.front().category() == QChar::Other_Control)
        return false;
    QString allowed;
    for (const QChar c : text) {
        if (const std::optional<QChar> key = filterAmountKey(c))
            allowed += *key;
    }
    if (allowed == text)
        return false;
    if (!allowed.isEmpty()) {
        // A comma goes on as a point.
        QKeyEvent replacement(QEvent::KeyPress,
                              allowed == u"."_s ? Qt::Key_Period : Qt::Key_unknown,
                              event->modifiers(), allowed);
        QCoreApplication::sendEvent(watched, &replacement);
    }
    return true;
}

bool Tkp_f::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == ui->gotowka && type == QEvent::FocusOut) {
        acceptCash();
    } else if (watched == ui->lista && type == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        ui->lista->hide();
        return true;
    } else if (watched == ui->lista->viewport() && type == QEvent::MouseButtonDblClick) {
        insertPickedText();
        return true;
    } else if (type == QEvent::KeyPress &&
               (watched == ui->tabela || watched->property(kCellEditor).toBool())) {
        return gridKeyPress(watched, static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

void Tkp_f::insertPickedText() {
    const QList<QListWidgetItem*> selected = ui->lista->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = std::max(ui->tabela->currentRow(), 0);
    setCell(row, kColumnTytulem, selected.front()->text());
    ui->lista->hide();
}

std::array<QLabel*, 4> Tkp_f::blockLabels(BlockTarget target) const {
    if (target == BlockTarget::Issuer)
        return {ui->Label3, ui->Label4, ui->Label5, ui->Label6};
    return {ui->Label9, ui->Label10, ui->Label11, ui->Label12};
}

std::array<QLineEdit*, 4> Tkp_f::editLines() const {
    return {ui->pole1, ui->pole2, ui->pole3, ui->pole4};
}

void Tkp_f::showBlockEditor(BlockTarget target) {
    target_ = target;
    const std::array<QLabel*, 4> labels = blockLabels(target);
    const std::array<QLineEdit*, 4> lines = editLines();
    for (int i = 0; i < 4; ++i)
        lines[i]->setText(labels[i]->text());
    ui->Label21->setText(target == BlockTarget::Issuer ? u"Kto"_s : u"Komu/Od kogo"_s);
    ui->Panel2->setGeometry(96, 56, 413, 273);
    ui->Panel2->show();
    ui->Panel2->raise();
    ui->pole1->setFocus();
}

void Tkp_f::editIssuerBlock() {
    showBlockEditor(BlockTarget::Issuer);
}

void Tkp_f::editCompanyBlock() {
    showBlockEditor(BlockTarget::Company);
}

void Tkp_f::applyBlockEdit() {
    // Only on screen: neither the entry nor the own company data change.
    const std::array<QLabel*, 4> labels = blockLabels(target_);
    const std::array<QLineEdit*, 4> lines = editLines();
    for (int i = 0; i < 4; ++i)
        labels[i]->setText(lines[i]->text());
    ui->Panel2->hide();
}

void Tkp_f::cancelBlockEdit() {
    ui->Panel2->hide();
}

void Tkp_f::showHelp() {
    ui->Panel3->setGeometry(8, 8, 613, 293);
    ui->Panel3->show();
    ui->Panel3->raise();
}

void Tkp_f::hideHelp() {
    ui->Panel3->hide();
}

void Tkp_f::clearDocument() {
    setGrid(VoucherGrid{});
}

void Tkp_f::startCalculator() {
    if (startCalculator_)
        startCalculator_();
}

void Tkp_f::leave() {
    setEnabled(false);
    hide();
    close();
}

void Tkp_f::storeCounterParameters() {
    if (!szef_) {
        prompts_.information(vouchertexts::bossOnly());
        return;
    }
    if (kind_ == DocumentKind::None)
        return;
    try {
        saveCounterParameters(here_, kind_, ui->numerkp->text(), ui->rozszerzeniekp->text());
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

void Tkp_f::printVoucher() {
    // The total as the grid gives it now, not as it was typed over since the last tick.
    Timer1Timer();
    Voucher v = voucher();
    try {
        const VoucherPrintResult result = kestrana::printVoucher(dialogs_, fonts_, here_, v);
        if (result.status == VoucherPrintResult::Refused)
            prompts_.information(result.message);
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
    // A number once taken stays shown, even when the printer failed afterwards.
    ui->numerkp->setText(v.numerkp);
    ui->rozszerzeniekp->setText(v.rozszerzeniekp);
}

void Tkp_f::saveDocument() {
    QString path = dialogs_.saveFileName(vouchertexts::saveCaption(),
                                         kpw::documentsDirectory(here_), kpw::Filter.toString());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + kpw::Extension.toString();
    try {
        kpw::write(path, grid());
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

void Tkp_f::openDocument() {
    const QString path = dialogs_.openFileName(
        vouchertexts::openCaption(), kpw::documentsDirectory(here_), kpw::Filter.toString());
    try {
        if (const std::optional<VoucherGrid> loaded = kpw::read(path))
            setGrid(*loaded);
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

void Tkp_f::editFixedTexts() {
    if (kind_ == DocumentKind::None || !editText_)
        return;
    QString file = kindTexts(kind_).librarySubPath;
    file.replace(u'/', u'\\');
    editText_(u"\\"_s + file, FixedTextsEditorTitle.toString());
}

void Tkp_f::offerFixedTexts() {
    if (kind_ == DocumentKind::None)
        return;
    try {
        const std::optional<QStringList> texts = pickListTexts(here_, kind_);
        if (!texts)
            return;
        ui->lista->clear();
        ui->lista->addItems(*texts);
        ui->lista->show();
        ui->lista->raise();
        ui->lista->setFocus();
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

void Tkp_f::closeEvent(QCloseEvent* event) {
    // "Powrót" is the only way out: the window system's close request is refused.
    if (event->spontaneous())
        event->ignore();
    else
        event->accept();
}

} // namespace kestrana
