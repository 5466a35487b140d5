#include "app/MainWindow.h"

#include "app/QtLockWait.h"
#include "app/ui_Tbaza_f.h"
#include "cash/CompanyDataDialog.h"
#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/IoError.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"
#include "platform/Version.h"
#include "print/CategoryNames.h"
#include "print/FontWindow.h"
#include "print/PreviewSetting.h"
#include "register/Editing.h"
#include "register/Search.h"
#include "register/StartupFiles.h"
#include "reports/DefinablePrintout.h"
#include "reports/Descriptions.h"
#include "reports/DetailedPrintout.h"
#include "reports/EntryFilter.h"
#include "reports/EntrySheet.h"
#include "reports/FullListFlag.h"
#include "reports/TextPrintout.h"
#include "server/ServerChoice.h"
#include "tools/CommandLines.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
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

const QString kBossOnly = QStringLiteral(
    "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa.");
const QString kBusy = QStringLiteral("Rekord danych chwilowo zajęty przez innego użytkownika.\n"
                                     "Poczekaj na jego zwolnienie a następnie ponów operację");
const QString kNothingLoaded = QStringLiteral("Formularz nie pokazuje żadnego wpisu z bazy.\n"
                                              "Wybierz wpis z listy i ponów operację.");
const QString kEntryGone =
    QStringLiteral("Tego wpisu nie ma już w bazie: usunął go w międzyczasie inny użytkownik.\n"
                   "Nic nie zostało zapisane.");

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
      endProcess_([] { QCoreApplication::exit(0); }),
      startProgram_([](const commands::CommandLine& line, const QString& dir) {
          commands::start(line, dir);
      }) {
    ui->setupUi(this);
    setFixedSize(size());
    for (int i = 0; i < kTextFieldCount; ++i)
        fields_[i] = findChild<QLineEdit*>(QLatin1String(fieldLayouts()[i].name));
    umowa_ = findChild<QCheckBox*>(QStringLiteral("umowa"));
    for (int n = 1; n <= kCategoryCount; ++n)
        k_[n - 1] = findChild<QCheckBox*>(QStringLiteral("k%1").arg(n));
    for (int n = 1; n <= kGroupCount; ++n)
        z_[n - 1] = findChild<QCheckBox*>(QStringLiteral("z%1").arg(n));
    register_ = std::make_unique<Register>(ws_);
    wireControls();
    markUnwired();
    startUp();
}

Tbaza_f::~Tbaza_f() = default;

void Tbaza_f::wireControls() {
    ui->lista->setTextElideMode(Qt::ElideNone);
    ui->lista->setUniformItemSizes(true);
    ui->lista->installEventFilter(this);
    ui->lista->viewport()->installEventFilter(this);
    connect(ui->lista, &QListWidget::itemClicked, this, [this] { selectLine(); });
    connect(ui->lista, &QListWidget::currentRowChanged, this, [this](int) {
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
    wireEditing();
    wireTools();
    wireIdentifierMarks();
    wireCsv();
    wireVat();
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
        startProgram_(commands::CommandLine(commands::notatnik()), QDir::currentPath());
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
            if (!shownEntry_.text(Field::id).isEmpty())
                startProgram_(build(shownEntry_), QDir::currentPath());
        });
    }
    connect(ui->Czytnikzada1, &QAction::triggered, this, [this] {
        startProgram_(commands::CommandLine(commands::czytnikZadan()), QDir::currentPath());
    });
}

void Tbaza_f::wireEditing() {
    const std::array<QAbstractButton*, 4> moves = {ui->SpeedButton9, ui->SpeedButton10,
                                                   ui->SpeedButton11, ui->SpeedButton12};
    for (int i = 0; i < 4; ++i)
        connect(moves[i], &QAbstractButton::clicked, this, [this, i] { navigate(i); });
    connect(ui->SpeedButton15, &QAbstractButton::clicked, this, &Tbaza_f::toggleAddMode);
    connect(ui->SpeedButton17, &QAbstractButton::clicked, this, &Tbaza_f::saveEntry);
    connect(ui->SpeedButton16, &QAbstractButton::clicked, this, &Tbaza_f::deleteEntry);
    connect(ui->Button1, &QAbstractButton::clicked, this,
            [this] { fields_[static_cast<int>(Field::data)]->setText(ws_.today); });
    connect(ui->e1, &QAction::triggered, this, &Tbaza_f::rememberEntry);
    connect(ui->e2, &QAction::triggered, this, &Tbaza_f::insertRememberedEntry);
    connect(ui->SprawdaktualnynumerIDklienta1, &QAction::triggered, this, &Tbaza_f::openIdCounter);
    connect(ui->SpeedButton22, &QAbstractButton::clicked, ui->Panel3, &QWidget::hide);
    connect(ui->SpeedButton23, &QAbstractButton::clicked, this, &Tbaza_f::storeIdCounter);
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
        ui->Panel17->hide();
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
        if (bossGuard() && openCategories_)
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

void Tbaza_f::resetControls() {
    ui->coszukac->clear();
    ui->Label46->clear();
    for (QMenu* menu :
         {ui->menuBaza, ui->menuEdycja, ui->menuWidok, ui->menuWydruki, ui->menuDodatki})
        menu->menuAction()->setEnabled(false);
    ui->um1->setChecked(true);
    ui->da2->setChecked(true);
    ui->oddaty_k->clear();
    ui->dodaty_k->clear();
    setFormValues(EntryFormValues{});
    ui->lista->clear();
    for (QLineEdit* filterField :
         {ui->kod_s, ui->nazwa1_s, ui->nazwa2_s, ui->miejscowosc_s, ui->adres_s, ui->wojewodztwo_s,
          ui->telefon_s, ui->mail_s, ui->opis_s})
        filterField->clear();
}

// The register never creates its directories unasked: missing ones are named and offered.
bool Tbaza_f::ensureDataDirectories(const QString& dir, const QStringList& names) {
    QStringList missing;
    for (const QString& name : names) {
        if (!files::isDirectory(resolvePath(dir, name)))
            missing.append(name);
    }
    if (missing.isEmpty())
        return true;
    const QString where = QDir::toNativeSeparators(dir);
    const QString list = missing.join(QStringLiteral(", "));
    if (!context_.prompts.question(
            QStringLiteral("W folderze danych %1\nbrakuje katalogów: %2.\nUtworzyć je ?")
                .arg(where, list))) {
        context_.prompts.information(
            QStringLiteral("Program nie może pracować bez katalogów danych (%1) w folderze %2.\n"
                           "Utwórz je albo wskaż inny folder danych w pliku Admini/siec.dat.")
                .arg(list, where));
        return false;
    }
    startup::createDataDirectories(dir, missing);
    return true;
}

void Tbaza_f::startUp() {
    // 1-2: user level and today's date.
    ws_.workDir = context_.workDir;
    ws_.lockWait = &lockWait_;
    ws_.faults = context_.faults;
    ws_.boss = startup::bossLevel(context_.arguments);
    ws_.today = todayString(context_.clock.today());
    resetControls();
    try {
        // 3: storage location and caption. siec.dat lies in Admini under the working
        // directory, the data directories under the base directory.
        if (!ensureDataDirectories(ws_.workDir, {QStringLiteral("ADMINI")}))
            return;
        const startup::StorageLocation location = startup::locateStorage(ws_.workDir);
        ws_.tryb = location.tryb;
        ws_.baseDir = location.baseDir;
        setWindowTitle(startup::captionForMode(ws_.tryb));
        // In server mode the local folder must not stand in for the register on the server.
        if (server::readChoice(ws_.workDir)) {
            setWindowTitle(server::captionForServerMode());
            context_.prompts.information(server::mainWindowServerModeText());
            return;
        }
        if (!ensureDataDirectories(ws_.baseDir, startup::dataDirectoryNames()))
            return;
        // 4-5: the office's company data; the file names are fixed in Workstation.
        ws_.firma = startup::prepareCompanyFile(ws_);
        // 6-10: controls to their starting state.
        resetControls();
        ui->s1->setChecked(true);
        fullList_ = true;
        clockMode_ = 2;
        ui->d2->setChecked(true);
        ui->d1->setChecked(false);
        ui->Label8->setText(QStringLiteral("Wszystkie wpisy"));
        statusTimer_.start(100);
        addMode_ = false;
        filterPass_ = false;
        viewMode_ = ViewMode::Nazwa;
        ui->l1->setChecked(true);
        for (QAction* other : {ui->l2, ui->l3, ui->l4, ui->l5})
            other->setChecked(false);
        // 11: the list font, from FONT/ under the working directory.
        context_.fonts.setWorkDir(ws_.workDir);
        startup::preparePrintFont(ws_.workDir);
        context_.fonts.CzytajFonty(ws_.listFontFileName);
        applyListFont();
        showPreviewSetting();
        // 12-14: ID counter, category names, main file.
        startup::prepareIdCounter(ws_);
        applyCategoryNames(startup::prepareCategoryNames(ws_));
        startup::prepareMainFile(ws_);
        currentPosition_ = 0;
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    // 15: the list, its first line selected as a click; a file error ends the start-up here.
    setFormValues(EntryFormValues{});
    if (!buildList() || !loadSelected(true))
        return;
    // 16: everything to work with.
    enableMainControls();
    startupCompleted_ = true;
    makeDailyBackup();
}

void Tbaza_f::showCategoryNames(const CategoryNames& names) {
    for (int n = 1; n <= 20; ++n) {
        k_[n - 1]->setText(names.categories[n - 1]);
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("kat%1").arg(n)))
            box->setText(names.categories[n - 1]);
        if (n == 20)
            continue;
        z_[n - 1]->setText(names.groups[n - 1]);
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("zaw%1").arg(n)))
            box->setText(names.groups[n - 1]);
    }
}

void Tbaza_f::showPreviewSetting() {
    // A setting that cannot be read leaves the preview off; the start goes on.
    bool on = false;
    try {
        on = readPreviewSetting(ws_.workDir);
    } catch (const IoError& error) {
        showIoError(error);
    }
    context_.dialogs.setPreviewEnabled(on);
    ui->Podgladwydruku1->setChecked(on);
}

void Tbaza_f::setPrintPreview(bool on) {
    try {
        storePreviewSetting(ws_.workDir, on);
    } catch (const IoError& error) {
        showIoError(error);
        ui->Podgladwydruku1->setChecked(context_.dialogs.previewEnabled());
        return;
    }
    context_.dialogs.setPreviewEnabled(on);
}

void Tbaza_f::applyListFont() {
    applyFontRecord(*ui->lista, context_.fonts.record());
}

void Tbaza_f::chooseListFont() {
    if (!bossGuard())
        return;
    try {
        context_.fonts.ZapiszFonty(ws_.listFontFileName, context_.dialogs);
    } catch (const IoError& error) {
        showIoError(error);
    }
    // Confirmed or cancelled, the list shows the setting the record now holds.
    applyListFont();
}

void Tbaza_f::chooseSortField(SortField field) {
    sortChoice_.choose(field);
    const std::array<QAction*, 4> items = {ui->s1, ui->s2, ui->s3, ui->s4};
    for (QAction* action : items)
        action->setChecked(false);
    items[static_cast<int>(field) - 1]->setChecked(true);
}

void Tbaza_f::sortEntries(bool descending) {
    if (!bossGuard())
        return;
    if (!context_.prompts.question(sortQuestion(sortChoice_.name)))
        return;
    try {
        sortRegister(ws_, sortChoice_.field, descending);
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    navigate(0);
    buildList();
}

void Tbaza_f::search() {
    QStringList lines;
    lines.reserve(ui->lista->count());
    for (int i = 0; i < ui->lista->count(); ++i)
        lines.append(ui->lista->item(i)->text());
    const int found = findNextLine(lines, ui->lista->currentRow(), ui->coszukac->text());
    if (found < 0) {
        context_.prompts.information(searchNotFoundMessage());
        ui->coszukac->clear();
        return;
    }
    selectRow(found);
    selectLine();
}

void Tbaza_f::applyCategoryNames(const CategoryNames& names) {
    showCategoryNames(names);
    for (int n = 1; n <= 20; ++n) {
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("kat%1").arg(n)))
            box->setChecked(false);
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("zaw%1").arg(n)))
            box->setChecked(false);
    }
}

void Tbaza_f::enableMainControls() {
    ui->Panel1->setEnabled(true);
    ui->Panel2->setEnabled(true);
    for (QMenu* menu :
         {ui->menuBaza, ui->menuEdycja, ui->menuWidok, ui->menuWydruki, ui->menuDodatki})
        menu->menuAction()->setEnabled(true);
    for (QWidget* button :
         std::initializer_list<QWidget*>{ui->SpeedButton18, ui->SpeedButton17, ui->SpeedButton15,
                                         ui->SpeedButton16, ui->SpeedButton19, ui->SpeedButton9,
                                         ui->SpeedButton10, ui->SpeedButton11, ui->SpeedButton12}) {
        if (!unwired_.contains(button))
            button->setEnabled(true);
    }
}

EntryFormValues Tbaza_f::formValues() const {
    EntryFormValues values;
    for (int i = 0; i < kTextFieldCount; ++i)
        values.texts[i] = fields_[i]->text();
    values.umowa = umowa_->isChecked();
    for (int i = 0; i < kCategoryCount; ++i)
        values.k[i] = k_[i]->isChecked();
    for (int i = 0; i < kGroupCount; ++i)
        values.z[i] = z_[i]->isChecked();
    return values;
}

void Tbaza_f::setFormValues(const EntryFormValues& values) {
    for (int i = 0; i < kTextFieldCount; ++i)
        fields_[i]->setText(values.texts[i]);
    umowa_->setChecked(values.umowa);
    for (int i = 0; i < kCategoryCount; ++i)
        k_[i]->setChecked(values.k[i]);
    for (int i = 0; i < kGroupCount; ++i)
        z_[i]->setChecked(values.z[i]);
}

bool Tbaza_f::buildList(const Register::Filter& filter) {
    QStringList lines;
    bool built = true;
    try {
        register_->buildList(viewMode_, lines, filter);
    } catch (const IoError& error) {
        showIoError(error);
        built = false;
    }
    {
        const QSignalBlocker blocker(ui->lista);
        ui->lista->clear();
        ui->lista->addItems(lines);
        if (!lines.isEmpty())
            ui->lista->setCurrentRow(0);
    }
    listCount_ = static_cast<int>(lines.size());
    ui->Label46->setText(QStringLiteral(" %1 poz").arg(listCount_));
    return built;
}

void Tbaza_f::selectRow(int row) {
    const QSignalBlocker blocker(ui->lista);
    ui->lista->setCurrentRow(row);
}

void Tbaza_f::showContractPicture() {
    const QString path = ws_.dataPath(contractPictureSubPath(register_->buffer()));
    QPixmap picture;
    picture.loadFromData(files::readFile(path));
    ui->Image1->setPixmap(picture);
}

void Tbaza_f::showBlankEntry() {
    register_->buffer().clear();
    shownEntry_.clear();
    EntryFormValues values = formValues();
    recordToForm(register_->buffer(), values);
    showFlags(register_->buffer(), values);
    setFormValues(values);
    entryLoaded_ = false;
    try {
        showContractPicture();
    } catch (const IoError& error) {
        showIoError(error);
    }
}

bool Tbaza_f::loadSelected(bool takeLock) {
    const int row = ui->lista->currentRow();
    if (row < 0)
        return true;
    const qint64 number = recordNumberOfLine(ui->lista->item(row)->text());
    currentPosition_ = number - 1;
    reselectIndex_ = number - 1;
    try {
        register_->load(currentPosition_);
    } catch (const IoError& error) {
        showIoError(error); // a stale line: the form keeps what it shows
        return false;
    }
    const QString id = register_->buffer().text(Field::id);
    if (takeLock && locks_.check(id) == EntryLocks::Outcome::HeldByOther) {
        context_.prompts.information(kBusy);
        showBlankEntry();
        return true;
    }
    try {
        EntryFormValues values = formValues();
        recordToForm(register_->buffer(), values);
        showFlags(register_->buffer(), values);
        setFormValues(values);
        entryLoaded_ = true;
        shownId_ = id;
        shownEntry_ = register_->buffer();
        showContractPicture();
        if (!takeLock)
            return true;
        switch (locks_.take(id)) {
        case EntryLocks::Outcome::Taken:
            break;
        case EntryLocks::Outcome::HeldByOther:
            // Another workstation took the entry between our check and our lock.
            context_.prompts.information(kBusy);
            showBlankEntry();
            break;
        case EntryLocks::Outcome::InvalidId:
            context_.prompts.information(
                QStringLiteral("Wpis ma nieprawidłowy numer ID „%1”, więc nie można go "
                               "zablokować dla innych użytkowników.")
                    .arg(id));
            break;
        }
    } catch (const IoError& error) {
        showIoError(error);
        return false;
    }
    return true;
}

void Tbaza_f::selectLine() {
    loadSelected(true);
}

void Tbaza_f::enterKey() {
    loadSelected(false);
}

void Tbaza_f::setViewMode(ViewMode mode) {
    viewMode_ = mode;
    buildList();
    for (const auto& [action, m] : viewActions())
        action->setChecked(m == mode);
    selectLine();
}

void Tbaza_f::updateStatus() {
    ui->dok->menuAction()->setEnabled(!fields_[0]->text().isEmpty());
    const bool withDates = !ui->da2->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Label_oddaty, ui->Label_dodaty,
                                                      ui->oddaty_k, ui->dodaty_k})
        w->setVisible(withDates);
    ui->lista->setEnabled(!addMode_);
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    ui->Label47->setText(clockMode_ == 2
                             ? context_.clock.now().toString(QStringLiteral("HH:mm:ss"))
                             : polish.toString(context_.clock.today(), QLocale::ShortFormat));
    ui->so->menuAction()->setEnabled(fullList_);
    if (!definableOpen_ && !unwired_.contains(ui->SpeedButton15))
        ui->SpeedButton15->setEnabled(fullList_);
    ui->Label8->setText(fullListCaption(fullList_));
}

bool Tbaza_f::requestExit() {
    if (!context_.prompts.question(QStringLiteral("Koniec pracy ?")))
        return false;
    statusTimer_.stop();
    locks_.release();
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

bool Tbaza_f::bossGuard() {
    if (ws_.boss)
        return true;
    context_.prompts.information(kBossOnly);
    return false;
}

void Tbaza_f::setAddMode(bool on) {
    addMode_ = on;
    ui->SpeedButton15->setText(on ? QStringLiteral("Zaniechaj") : QStringLiteral("Dodaj wpis"));
}

void Tbaza_f::navigate(int button) {
    setAddMode(false);
    const int count = ui->lista->count();
    if (count == 0)
        return;
    const int selected = ui->lista->currentRow();
    int row = 0;
    switch (button) {
    case 0:
        row = 0;
        break;
    case 1:
        row = std::max(selected - 1, 0);
        break;
    case 2:
        row = std::min(selected + 1, count - 1);
        break;
    default:
        row = count - 1;
        break;
    }
    selectRow(row);
    selectLine();
}

void Tbaza_f::toggleAddMode() {
    if (!addMode_) {
        setFormValues(EntryFormValues{});
        setAddMode(true);
        fields_[static_cast<int>(Field::id)]->clear();
        updateStatus();
        return;
    }
    selectLine();
    setAddMode(false);
}

void Tbaza_f::clearShownEntry() {
    setFormValues(EntryFormValues{});
    entryLoaded_ = false;
    shownEntry_.clear();
}

bool Tbaza_f::mayChangeShownEntry() {
    if (!entryLoaded_) {
        context_.prompts.information(kNothingLoaded);
        return false;
    }
    if (locks_.heldByOther(shownId_)) {
        context_.prompts.information(kBusy);
        return false;
    }
    return true;
}

void Tbaza_f::selectRecordLine(qint64 position) {
    // In a full list line i is record i; look the line up in case the list is shorter.
    int row = static_cast<int>(std::min<qint64>(position, ui->lista->count() - 1));
    for (int i = 0; i < ui->lista->count(); ++i) {
        if (recordNumberOfLine(ui->lista->item(i)->text()) == position + 1) {
            row = i;
            break;
        }
    }
    selectRow(row);
}

void Tbaza_f::saveEntry() {
    // An edit is saved only over the entry the form shows, never from a blank form.
    if (!addMode_) {
        if (fields_[static_cast<int>(Field::id)]->text().isEmpty()) {
            context_.prompts.information(kNothingLoaded);
            return;
        }
        if (!mayChangeShownEntry())
            return;
    }
    const bool adding = addMode_;
    if (context_.prompts.question(adding ? QStringLiteral("Zapisać nowe dane ?")
                                         : QStringLiteral("Zapisać zmiany w danych ?"))) {
        try {
            EntryRecord& buffer = register_->buffer();
            qint64 position = 0;
            if (adding) {
                // The new entry's ID comes from the counter under the main file's lock.
                EntryRecord added;
                formToRecord(formValues(), added, true);
                added.setText(Field::datamodyfikacji, ws_.today);
                position = editing::addEntry(ws_, added).firstPosition;
                fields_[static_cast<int>(Field::id)]->setText(added.text(Field::id));
                editing::keepPreviousEntry(ws_, buffer);
                buffer = added;
            } else {
                const std::optional<qint64> saved =
                    editing::saveEditedEntry(ws_, buffer, formValues(), shownId_, currentPosition_);
                if (!saved) {
                    context_.prompts.information(kEntryGone);
                    setAddMode(false);
                    return;
                }
                position = *saved;
            }
            EntryFormValues values = formValues();
            showFlags(buffer, values);
            setFormValues(values);
            buildList();
            selectRecordLine(position);
        } catch (const IoError& error) {
            showIoError(error);
            return;
        }
    }
    selectLine();
    setAddMode(false);
}

void Tbaza_f::deleteEntry() {
    if (listCount_ <= 1) {
        context_.prompts.information(QStringLiteral("Nie można skasować ostatniego wpisu."));
        return;
    }
    setAddMode(false);
    if (!mayChangeShownEntry())
        return;
    if (context_.prompts.question(QStringLiteral("Usunąć wpis ?"))) {
        try {
            if (editing::deleteEntry(ws_, shownId_, currentPosition_))
                context_.prompts.information(QStringLiteral("Wpis został usunięty."));
            else
                context_.prompts.information(kEntryGone);
        } catch (const IoError& error) {
            showIoError(error);
            return;
        }
    }
    clearShownEntry();
    buildList();
    selectLine();
}

void Tbaza_f::rememberEntry() {
    try {
        formToRecord(formValues(), register_->buffer(), addMode_);
        editing::rememberEntry(ws_, register_->buffer());
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::insertRememberedEntry() {
    try {
        const EntryRecord remembered = editing::rememberedEntry(ws_);
        QLineEdit* idField = fields_[static_cast<int>(Field::id)];
        const QString id = idField->text();
        register_->buffer() = remembered;
        EntryFormValues values = formValues();
        recordToForm(remembered, values);
        showFlags(remembered, values);
        setFormValues(values);
        idField->setText(id);
        showContractPicture();
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::openIdCounter() {
    if (!bossGuard())
        return;
    ui->aktualny_id->clear();
    try {
        ui->aktualny_id->setText(QString::number(editing::readIdCounter(ws_)));
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    ui->Panel3->show();
    ui->Panel3->raise();
}

void Tbaza_f::storeIdCounter() {
    const qint64 value = readLeadingNumber(ui->aktualny_id->text());
    if (value < 1 || value > editing::kIdLimit) {
        context_.prompts.information(
            QStringLiteral("Numer ID musi być liczbą od 1 do %1. Licznik nie został zmieniony.")
                .arg(editing::kIdLimit));
        return;
    }
    try {
        editing::writeIdCounter(ws_, static_cast<qint32>(value));
    } catch (const IoError& error) {
        showIoError(error);
        return;
    }
    ui->Panel3->hide();
}

void Tbaza_f::setBrowsingEnabled(bool enabled) {
    ui->Panel1->setEnabled(enabled);
    ui->Panel2->setEnabled(enabled);
    for (QAbstractButton* button : {ui->SpeedButton9, ui->SpeedButton10, ui->SpeedButton11,
                                    ui->SpeedButton12, ui->SpeedButton18, ui->SpeedButton17,
                                    ui->SpeedButton15, ui->SpeedButton16, ui->SpeedButton19}) {
        if (!unwired_.contains(button))
            button->setEnabled(enabled);
    }
}

void Tbaza_f::openDescription() {
    const QString id = fields_[static_cast<int>(Field::id)]->text();
    descriptionPath_ = descriptions::path(ws_, id);
    if (descriptionPath_.isEmpty()) {
        context_.prompts.information(
            QStringLiteral("Wpis ma nieprawidłowy numer ID „%1”, więc nie może mieć opisu.")
                .arg(id));
        return;
    }
    ui->Panel11->setGeometry(8, 8, 984, 644);
    ui->Label33->setText(fields_[static_cast<int>(Field::nazwa1)]->text());
    ui->Label34->setText(fields_[static_cast<int>(Field::numer)]->text());
    ui->Memo1->clear();
    try {
        const QStringList lines = descriptions::read(descriptionPath_);
        // Each stored line ends with a break, so an empty last line survives a round trip.
        ui->Memo1->setPlainText(
            lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    } catch (const IoError& error) {
        showIoError(error); // an unreadable description is never opened, so never overwritten
        return;
    }
    setBrowsingEnabled(false);
    ui->Panel11->show();
    ui->Panel11->raise();
}

void Tbaza_f::closeDescription() {
    // Stored under the identifier the form shows now.
    const QString id = fields_[static_cast<int>(Field::id)]->text();
    descriptionPath_ = descriptions::path(ws_, id);
    if (descriptionPath_.isEmpty()) {
        context_.prompts.information(
            QStringLiteral("Wpis ma nieprawidłowy numer ID „%1”, więc nie może mieć opisu.")
                .arg(id));
        return;
    }
    try {
        descriptions::store(descriptionPath_, textfile::splitLines(ui->Memo1->toPlainText()));
    } catch (const IoError& error) {
        showIoError(error); // the panel stays open
        return;
    }
    ui->Panel11->hide();
    setBrowsingEnabled(true);
}

void Tbaza_f::openFilter() {
    setBrowsingEnabled(false);
    clearShownEntry();
    setAddMode(false);
    ui->Panel12->setGeometry(160, 48, 655, 489);
    fullList_ = false;
    ui->Panel12->show();
    ui->Panel12->raise();
}

FilterCriteria Tbaza_f::filterCriteria() const {
    FilterCriteria c;
    c.kod_s = ui->kod_s->text();
    c.nazwa1_s = ui->nazwa1_s->text();
    c.nazwa2_s = ui->nazwa2_s->text();
    c.miejscowosc_s = ui->miejscowosc_s->text();
    c.adres_s = ui->adres_s->text();
    c.wojewodztwo_s = ui->wojewodztwo_s->text();
    c.telefon_s = ui->telefon_s->text();
    c.mail_s = ui->mail_s->text();
    c.opis_s = ui->opis_s->text();
    for (int n = 1; n <= kFilterCategoryCount; ++n)
        c.kat[n - 1] = findChild<QCheckBox*>(QStringLiteral("kat%1").arg(n))->isChecked();
    for (int n = 1; n <= kFilterGroupCount; ++n)
        c.zaw[n - 1] = findChild<QCheckBox*>(QStringLiteral("zaw%1").arg(n))->isChecked();
    c.um = ui->um2->isChecked()   ? ContractState::Signed
           : ui->um3->isChecked() ? ContractState::Terminated
                                  : ContractState::All;
    c.da1 = ui->da1->isChecked();
    c.oddaty_k = ui->oddaty_k->text();
    c.dodaty_k = ui->dodaty_k->text();
    return c;
}

void Tbaza_f::buildFromFilter(bool filtered) {
    setBrowsingEnabled(true);
    ui->Panel12->hide();
    filterPass_ = filtered;
    if (filtered) {
        try {
            buildList(makeEntryFilter(filterCriteria(), ws_));
        } catch (const IoError& error) {
            showIoError(error); // OPISY could not be listed: nothing was built
        }
    } else {
        fullList_ = true;
        buildList();
    }
    selectLine();
    fullList_ = fullListAfter(filtered ? ListBuild::Filtered : ListBuild::Unfiltered);
    filterPass_ = false;
}

void Tbaza_f::printList() {
    if (listCount_ == 0)
        return;
    try {
        runDetailedPrintout(context_.dialogs, context_.fonts, *register_);
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::openDefinablePrintout() {
    if (listCount_ == 0)
        return;
    ui->dr1->setChecked(true);
    ui->tytul->clear();
    for (int box = 1; box <= kDefinableBoxCount; ++box) {
        auto* pole = findChild<QComboBox*>(QStringLiteral("pole%1").arg(box));
        pole->setEnabled(true);
        pole->setInsertPolicy(QComboBox::NoInsert);
        pole->clear();
        pole->addItems(definableFieldChoices());
        pole->setEditText(QString());
    }
    definableOpen_ = true;
    setBrowsingEnabled(false);
    ui->Panel22->setGeometry(146, 116, 665, 450);
    ui->Panel22->show();
    ui->Panel22->raise();
}

void Tbaza_f::printDefinable() {
    DefinableSettings settings;
    for (int box = 1; box <= kDefinableBoxCount; ++box)
        settings.pole[box - 1] =
            findChild<QComboBox*>(QStringLiteral("pole%1").arg(box))->currentText();
    settings.tytul = ui->tytul->text();
    settings.form = ui->dr2->isChecked() ? RowForm::OneLine : RowForm::ThreeLines;
    try {
        runDefinablePrintout(context_.dialogs, context_.fonts, *register_, settings);
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::closeDefinablePrintout() {
    definableOpen_ = false;
    setBrowsingEnabled(true);
    ui->Panel22->hide();
}

void Tbaza_f::printEntry() {
    try {
        runEntrySheetPrintout(context_.dialogs, context_.fonts, formValues());
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::exportEntry() {
    try {
        exportEntrySheet(context_.dialogs, formValues(), ws_.workDir);
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::printDescription() {
    try {
        // The heading is the name line as it was when the panel was opened.
        runDescriptionPrintout(context_.dialogs, context_.fonts, ui->Label33->text(),
                               textfile::splitLines(ui->Memo1->toPlainText()));
    } catch (const IoError& error) {
        showIoError(error);
    }
}

void Tbaza_f::editCompanyData() {
    if (!bossGuard())
        return;
    CompanyDataDialog dialog(ws_, context_.prompts, this);
    if (dialog.exec() == QDialog::Accepted)
        ws_.firma = dialog.stored();
}

void Tbaza_f::pasteSeatAddress() {
    EntryFormValues values = formValues();
    copySeatToCorrespondence(values);
    setFormValues(values);
}

void Tbaza_f::openVoivodeships(AddressBlock block) {
    voivodeships_.open(block);
    ui->Panel17->setGeometry(VoivodeshipChooser::panelGeometry());
    ui->listaw->clear();
    // The chooser gives them in Polish order; the widget's own sorting knows no Polish.
    ui->listaw->setSortingEnabled(false);
    ui->listaw->addItems(voivodeships_.items());
    ui->Panel17->show();
    ui->Panel17->raise();
}

void Tbaza_f::chooseVoivodeship() {
    QListWidgetItem* item = ui->listaw->currentItem();
    EntryFormValues values = formValues();
    if (!voivodeships_.choose(item ? item->text() : QString(), values))
        return;
    setFormValues(values);
    ui->Panel17->hide();
}

void Tbaza_f::startMail(AddressBlock block) {
    const EntryFormValues form = formValues();
    const commands::CommandLine line = commands::mailProgram(
        block == AddressBlock::Contact ? form[Field::mailo] : form[Field::mail]);
    if (!line.isEmpty())
        startProgram_(line, ws_.baseDir);
}

} // namespace kestrana
