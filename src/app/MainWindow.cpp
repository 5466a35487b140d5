#include "app/MainWindow.h"

#include "app/QtLockWait.h"
#include "app/ui_Tbaza_f.h"
#include "platform/IoError.h"
#include "platform/Version.h"
#include "register/FileStore.h"
#include "register/FullListFlag.h"
#include "reports/DefinablePrintout.h"
#include "tools/CommandLines.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QSignalBlocker>

namespace kestrana {

namespace {

// The picture of the e-mail buttons: a small envelope.
QIcon mailIcon() {
    QPixmap picture(20, 14);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 120), 1.2));
    painter.setBrush(QColor(250, 250, 235));
    painter.drawRect(QRectF(1, 1, 18, 12));
    painter.drawPolyline(QPolygonF({QPointF(1, 1), QPointF(10, 8), QPointF(19, 1)}));
    return QIcon(picture);
}

} // namespace

Tbaza_f::Tbaza_f(MainWindowContext context, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tbaza_f>()), context_(std::move(context)),
      lockWait_(context_.prompts, busyCursor(), context_.lockWaitTimes),
      store_(std::make_unique<FileStore>(ws_)), register_(std::make_unique<Register>(ws_, *store_)),
      endProcess_([] { QCoreApplication::exit(0); }),
      startProgram_([](const commands::CommandLine& line, const QString& dir) {
          return commands::start(line, dir);
      }),
      openMail_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    ui->setupUi(this);
    setFixedSize(size());
    register_->setListFileInBackground(kListFileInBackgroundFrom);
    for (int i = 0; i < kTextFieldCount; ++i)
        fields_[i] = findChild<QLineEdit*>(QLatin1String(fieldLayouts()[i].name));
    umowa_ = findChild<QCheckBox*>(QStringLiteral("umowa"));
    for (int n = 1; n <= kCategoryCount; ++n)
        k_[n - 1] = findChild<QCheckBox*>(QStringLiteral("k%1").arg(n));
    for (int n = 1; n <= kGroupCount; ++n)
        z_[n - 1] = findChild<QCheckBox*>(QStringLiteral("z%1").arg(n));
    EntryView& view = *this;
    session_ = std::make_unique<EntrySession>(ws_, *register_, context_.prompts, view);
    wireControls();
    markUnwired();
    resetControls();
}

Tbaza_f::~Tbaza_f() = default;

void Tbaza_f::wireControls() {
    ui->lista->setTextElideMode(Qt::ElideNone);
    ui->lista->setUniformItemSizes(true);
    ui->lista->installEventFilter(this);
    ui->lista->viewport()->installEventFilter(this);
    connect(ui->lista, &EntryListView::rowClicked, this, [this] { selectLine(); });
    connect(ui->lista, &EntryListView::currentRowChanged, this, [this](int) {
        // A mouse press is followed by its click; only the keyboard selects here.
        if (QApplication::mouseButtons() == Qt::NoButton)
            selectLine();
    });
    for (const auto& [action, mode] : viewActions())
        connect(action, &QAction::triggered, this, [this, mode = mode] { setViewMode(mode); });
    connect(ui->d1, &QAction::triggered, this, [this] {
        ui->d1->setChecked(true);
        ui->d2->setChecked(false);
        clockMode_ = 1;
    });
    connect(ui->d2, &QAction::triggered, this, [this] {
        ui->d2->setChecked(true);
        ui->d1->setChecked(false);
        clockMode_ = 2;
    });
    connect(ui->Wyjciezprogramu1, &QAction::triggered, this, [this] { requestExit(); });
    connect(&statusTimer_, &QTimer::timeout, this, &Tbaza_f::updateStatus);
    connect(ui->Kopiazapasowa1, &QAction::triggered, this, &Tbaza_f::makeBackupNow);
    connect(ui->Przywrockopie1, &QAction::triggered, this, &Tbaza_f::restoreBackup);
    wireEditing();
    wirePanels();
    wireTools();
    wireIdentifierMarks();
    wireCsv();
    wireWriting();
    wireVat();
    wireKeys();
}

std::array<std::pair<QAction*, ViewMode>, 5> Tbaza_f::viewActions() const {
    return {{{ui->l1, ViewMode::Nazwa},
             {ui->l4, ViewMode::NazwaKod},
             {ui->l2, ViewMode::KodNazwa},
             {ui->l3, ViewMode::NazwaTelefon},
             {ui->l5, ViewMode::NazwaMail}}};
}

void Tbaza_f::wireTools() {
    connect(ui->Pomoc1, &QAction::triggered, this, [this] {
        if (openNotepad_)
            openNotepad_(notepad::helpRequest());
    });
    connect(ui->Oprogramie1, &QAction::triggered, this,
            [this] { context_.prompts.information(aboutText()); });
    connect(ui->Notatnik1, &QAction::triggered, this, [this] {
        runProgram(commands::CommandLine(commands::notatnik()), QDir::currentPath());
    });
    // The sibling programs receive the entry shown in the form, never whatever record a list
    // build or printout left in the buffer.
    const std::array<std::pair<QAction*, commands::CommandLine (*)(const EntryRecord&)>, 3>
        companyTools = {{
            {ui->dok1, &commands::komentarze},
            {ui->dok2, &commands::rejestrDokumentow},
            {ui->Rejestrzada1, &commands::rejestrZadan},
        }};
    for (const auto& [action, build] : companyTools) {
        connect(action, &QAction::triggered, this, [this, build = build] {
            const EntryRecord& shown = session_->shownEntry();
            if (!shown.text(Field::id).isEmpty())
                runProgram(build(shown), QDir::currentPath());
        });
    }
    connect(ui->Czytnikzada1, &QAction::triggered, this, [this] {
        runProgram(commands::CommandLine(commands::czytnikZadan()), QDir::currentPath());
    });
}

void Tbaza_f::wireEditing() {
    const std::array<QAbstractButton*, 4> moves = {ui->SpeedButton9, ui->SpeedButton10,
                                                   ui->SpeedButton11, ui->SpeedButton12};
    for (int i = 0; i < 4; ++i)
        connect(moves[i], &QAbstractButton::clicked, this,
                [this, i] { navigate(static_cast<EntrySession::Move>(i)); });
    connect(ui->SpeedButton15, &QAbstractButton::clicked, this, &Tbaza_f::toggleAddMode);
    connect(ui->SpeedButton17, &QAbstractButton::clicked, this, &Tbaza_f::saveEntry);
    connect(ui->SpeedButton16, &QAbstractButton::clicked, this, &Tbaza_f::deleteEntry);
    connect(ui->Button1, &QAbstractButton::clicked, this,
            [this] { fields_[static_cast<int>(Field::data)]->setText(ws_.today); });
    connect(ui->e1, &QAction::triggered, this, &Tbaza_f::rememberEntry);
    connect(ui->e2, &QAction::triggered, this, &Tbaza_f::insertRememberedEntry);
    connect(ui->SprawdaktualnynumerIDklienta1, &QAction::triggered, this, &Tbaza_f::openIdCounter);
    connect(ui->SpeedButton22, &QAbstractButton::clicked, this, [this] {
        if (takeover_.panel() == ui->Panel3)
            closePanel();
    });
    connect(ui->SpeedButton23, &QAbstractButton::clicked, this, &Tbaza_f::storeIdCounter);
}

void Tbaza_f::wirePanels() {
    connect(ui->SpeedButton18, &QAbstractButton::clicked, this, &Tbaza_f::openDescription);
    connect(ui->SpeedButton21, &QAbstractButton::clicked, this, &Tbaza_f::closeDescription);
    connect(ui->SpeedButton19, &QAbstractButton::clicked, this, &Tbaza_f::openFilter);
    connect(ui->BitBtn10, &QAbstractButton::clicked, this, [this] { buildFromFilter(true); });
    connect(ui->BitBtn11, &QAbstractButton::clicked, this, [this] { buildFromFilter(false); });
    const std::array<std::pair<QAction*, SortField>, 4> fields = {{{ui->s1, SortField::Nazwa1},
                                                                   {ui->s2, SortField::Nazwa2},
                                                                   {ui->s3, SortField::Data},
                                                                   {ui->s4, SortField::Numer}}};
    for (const auto& [action, field] : fields)
        connect(action, &QAction::triggered, this,
                [this, field = field] { chooseSortField(field); });
    connect(ui->sort1, &QAction::triggered, this, [this] { sortEntries(false); });
    connect(ui->sort2, &QAction::triggered, this, [this] { sortEntries(true); });
    connect(ui->SpeedButton1, &QAbstractButton::clicked, this, &Tbaza_f::search);
    connect(ui->coszukac, &QLineEdit::returnPressed, this, &Tbaza_f::search);
    connect(ui->Dopasujczionklisty1, &QAction::triggered, this, &Tbaza_f::chooseListFont);
    connect(ui->Wydrukaktualnejlisty1, &QAction::triggered, this, &Tbaza_f::printList);
    connect(ui->Wydrukuproszczonylisty1, &QAction::triggered, this,
            &Tbaza_f::openDefinablePrintout);
    connect(ui->Nadrukarce1, &QAction::triggered, this, &Tbaza_f::printEntry);
    connect(ui->Podgladwydruku1, &QAction::triggered, this, &Tbaza_f::setPrintPreview);
    connect(ui->Dopliku1, &QAction::triggered, this, &Tbaza_f::exportEntry);
    connect(ui->SpeedButton13, &QAbstractButton::clicked, this, &Tbaza_f::printDefinable);
    connect(ui->SpeedButton14, &QAbstractButton::clicked, this, &Tbaza_f::closeDefinablePrintout);
    for (QRadioButton* form : {ui->dr1, ui->dr2}) {
        connect(form, &QRadioButton::toggled, this, [this] {
            const RowForm rows = ui->dr2->isChecked() ? RowForm::OneLine : RowForm::ThreeLines;
            for (int box = 1; box <= kDefinableBoxCount; ++box)
                findChild<QComboBox*>(QStringLiteral("pole%1").arg(box))
                    ->setEnabled(definableBoxInUse(box, rows));
        });
    }
    connect(ui->SpeedButton20, &QAbstractButton::clicked, this, &Tbaza_f::printDescription);
    connect(ui->SpeedButton4, &QAbstractButton::clicked, this, &Tbaza_f::pasteSeatAddress);
    connect(ui->Button2, &QAbstractButton::clicked, this,
            [this] { openVoivodeships(AddressBlock::Seat); });
    connect(ui->Button3, &QAbstractButton::clicked, this,
            [this] { openVoivodeships(AddressBlock::Correspondence); });
    connect(ui->Button4, &QAbstractButton::clicked, this,
            [this] { openVoivodeships(AddressBlock::Contact); });
    connect(ui->listaw, &QListWidget::itemDoubleClicked, this, &Tbaza_f::chooseVoivodeship);
    connect(ui->SpeedButton8, &QAbstractButton::clicked, this, [this] {
        voivodeships_.cancel();
        if (takeover_.panel() == ui->Panel17)
            closePanel();
    });
    connect(ui->SpeedButton2, &QAbstractButton::clicked, this,
            [this] { startMail(AddressBlock::Seat); });
    connect(ui->SpeedButton6, &QAbstractButton::clicked, this,
            [this] { startMail(AddressBlock::Contact); });
    const std::array<std::pair<QAbstractButton*, int>, 3> envelopes = {
        {{ui->SpeedButton3, 1}, {ui->SpeedButton5, 2}, {ui->SpeedButton7, 3}}};
    for (const auto& [button, block] : envelopes) {
        connect(button, &QAbstractButton::clicked, this, [this, block = block] {
            if (openEnvelope_)
                openEnvelope_(formValues(), block);
        });
    }
    const std::array<std::pair<QObject*, int>, 4> vouchers = {
        {{ui->Kp1, 1}, {ui->SpeedButton24, 1}, {ui->Kw1, 2}, {ui->SpeedButton25, 2}}};
    for (const auto& [control, kind] : vouchers) {
        const auto open = [this, kind = kind] {
            if (openVoucher_)
                openVoucher_(kind, formValues());
        };
        if (auto* action = qobject_cast<QAction*>(control))
            connect(action, &QAction::triggered, this, open);
        else
            connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, this, open);
    }
    connect(ui->Danefirmy1, &QAction::triggered, this, &Tbaza_f::editCompanyData);
    ui->SpeedButton2->setIcon(mailIcon());
    ui->SpeedButton6->setIcon(mailIcon());
    connect(ui->Definiowanienazwkategorii1, &QAction::triggered, this, [this] {
        if (session_->requireBoss() && openCategories_)
            openCategories_();
    });
}

// Controls whose actions are not built yet stay visibly inactive; enabling steps skip them.
void Tbaza_f::markUnwired() {
    unwired_ = {};
    for (QObject* object : std::as_const(unwired_)) {
        if (auto* w = qobject_cast<QWidget*>(object))
            w->setEnabled(false);
        else if (auto* a = qobject_cast<QAction*>(object))
            a->setEnabled(false);
    }
}

void Tbaza_f::showIoError(const IoError& error) {
    context_.prompts.error(error.text());
}

void Tbaza_f::updateStatus() {
    ui->dok->menuAction()->setEnabled(!fields_[0]->text().isEmpty());
    const bool withDates = !ui->da2->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Label_oddaty, ui->Label_dodaty,
                                                      ui->oddaty_k, ui->dodaty_k})
        w->setVisible(withDates);
    ui->lista->setEnabled(!session_->addMode());
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    ui->Label47->setText(clockMode_ == 2
                             ? context_.clock.now().toString(QStringLiteral("HH:mm:ss"))
                             : polish.toString(context_.clock.today(), QLocale::ShortFormat));
    ui->so->menuAction()->setEnabled(session_->fullList());
    // While a panel holds the window the button keeps the state the panel found.
    if (!takeover_.active() && !unwired_.contains(ui->SpeedButton15))
        ui->SpeedButton15->setEnabled(session_->fullList());
    ui->Label8->setText(fullListCaption(session_->fullList()));
}

bool Tbaza_f::requestExit() {
    if (!context_.prompts.question(QStringLiteral("Koniec pracy ?")))
        return false;
    statusTimer_.stop();
    session_->releaseLock();
    for (int opacity = 255; opacity >= 10; opacity -= 5)
        setWindowOpacity(opacity / 255.0);
    endProcess_();
    return true;
}

void Tbaza_f::closeEvent(QCloseEvent* event) {
    // The close button never closes the window by itself: only a confirmed exit ends the run.
    event->ignore();
    requestExit();
}

bool Tbaza_f::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->lista && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            enterKey();
            return true;
        }
    }
    if (watched == ui->lista->viewport()) {
        // A press on one line and a release on another is a selection without a click.
        if (event->type() == QEvent::MouseButtonPress)
            pressedRow_ = ui->lista->indexAt(static_cast<QMouseEvent*>(event)->pos()).row();
        if (event->type() == QEvent::MouseButtonRelease &&
            ui->lista->indexAt(static_cast<QMouseEvent*>(event)->pos()).row() != pressedRow_)
            QTimer::singleShot(0, this, [this] { selectLine(); });
        // The tooltip names the entry in the buffer, loaded before this click.
        if (event->type() == QEvent::MouseButtonPress) {
            const EntryRecord& buffer = register_->buffer();
            ui->lista->setToolTip(buffer.text(Field::nazwa1) + QLatin1Char('\n') +
                                  buffer.text(Field::nazwa2));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            ui->lista->setToolTip(QString());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kestrana
