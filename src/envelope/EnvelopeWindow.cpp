#include "envelope/EnvelopeWindow.h"

#include "envelope/EnvelopePaper.h"
#include "envelope/EnvelopePrintout.h"
#include "envelope/EnvelopeRecords.h"
#include "envelope/EnvelopeSetup.h"
#include "envelope/EnvelopeTexts.h"
#include "envelope/SerialEnvelopes.h"
#include "envelope/ui_Tkoperta_f.h"
#include "platform/CheckedFile.h"
#include "platform/EscapeKey.h"
#include "platform/IoError.h"
#include "platform/TabOrder.h"
#include "print/FontWindow.h"
#include "print/PrintRun.h"
#include "station/StorageLocation.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace kestrana {

namespace {

// The decorative picture at the top right: an envelope with a stamp.
QPixmap envelopePicture() {
    QPixmap picture(160, 100);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(4.5, 10.5, 150, 84);
    p.setPen(QPen(QColor(0x40, 0x40, 0x60), 2));
    p.setBrush(QColor(0xf4, 0xec, 0xd8));
    p.drawRect(body);
    p.drawLine(body.topLeft(), body.center() + QPointF(0, 8));
    p.drawLine(body.topRight(), body.center() + QPointF(0, 8));
    p.setBrush(QColor(0xc0, 0x30, 0x30));
    p.drawRect(QRectF(124.5, 16.5, 22, 26));
    return picture;
}

// The question before a name that got the profile suffix from us, not from the dialog, would
// replace an existing file.
QString replaceQuestion(const QString& path) {
    return QStringLiteral("Plik %1 już istnieje. Zastąpić go ?")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace

Tkoperta_f::Tkoperta_f(const Workstation& ws, Prompts& prompts, Dialogs& dialogs,
                       FontSettings& fonts, Tfont_f& fontWindow, const Clock& clock,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      ui(std::make_unique<Ui::Tkoperta_f>()), ws_(ws), prompts_(prompts), dialogs_(dialogs),
      fonts_(fonts), fontWindow_(fontWindow), clock_(clock), here_(ws), Timer1(this) {
    ui->setupUi(this);
    setFixedSize(824, 548);
    ui->Image1->setPixmap(envelopePicture());
    // The note's lines are one sentence broken for a narrower box: shown as one paragraph.
    ui->noteText->setPlainText(envelope::noteLines().join(QString()));
    for (const EnvelopePaper paper : envelopePapers())
        ui->papier->addItem(envelopePaperText(paper), static_cast<int>(paper));
    connect(ui->papier, &QComboBox::activated, this, [this] { choosePaper(); });
    ui->helpText->setPlainText(envelope::helpLines().join(QLatin1Char('\n')));

    connect(ui->SpeedButton2, &QPushButton::clicked, this, [this] { storeAsDefaults(); });
    connect(ui->SpeedButton12, &QPushButton::clicked, this, [this] { readDefaults(); });
    connect(ui->SpeedButton11, &QPushButton::clicked, this, [this] { storeProfile(); });
    connect(ui->SpeedButton10, &QPushButton::clicked, this, [this] { readProfile(); });
    connect(ui->SpeedButton6, &QPushButton::clicked, this, [this] { attachPicture(); });
    connect(ui->SpeedButton7, &QPushButton::clicked, this, [this] { detachPicture(); });
    connect(ui->SpeedButton4, &QPushButton::clicked, this, [this] { printCurrentEnvelope(); });
    connect(ui->KopertySeryjne, &QPushButton::clicked, this, [this] { printSerialEnvelopes(); });
    connect(ui->SpeedButton3, &QPushButton::clicked, this, [this] { choosePrintFont(); });
    connect(ui->SpeedButton9, &QPushButton::clicked, this, [this] { showHelp(); });
    connect(ui->SpeedButton8, &QPushButton::clicked, this, [this] { hideHelp(); });
    connect(ui->SpeedButton1, &QPushButton::clicked, this, [this] { leave(); });
    bindEscape(this, {ui->SpeedButton8, ui->SpeedButton1});
    setReadingTabOrder(this);
    const std::array<QRadioButton*, 4> sizes = {ui->RadioButton1, ui->RadioButton2,
                                                ui->RadioButton3, ui->RadioButton4};
    for (int k = 1; k <= 4; ++k)
        connect(sizes[k - 1], &QRadioButton::clicked, this, [this, k] { chooseSize(k); });

    // The clock runs whether the window is shown or not.
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &Tkoperta_f::Timer1Timer);
    Timer1.start();

    FormCreate();
}

Tkoperta_f::~Tkoperta_f() = default;

EnvelopeFields Tkoperta_f::fields() const {
    EnvelopeFields f;
    EnvelopeSettings& s = f.settings;
    s.sender = {ui->n1->text(), ui->n2->text(), ui->n3->text(), ui->n4->text()};
    s.left = {ui->l1->text(), ui->l2->text(), ui->l3->text(), ui->l4->text()};
    s.top = {ui->g1->text(), ui->g2->text(), ui->g3->text(), ui->g4->text()};
    s.spacing = ui->od->text();
    s.senderLeft = ui->l_n->text();
    s.senderTop = ui->g_n->text();
    f.logo = {ui->nazwa->text(), ui->l_log->text(), ui->g_log->text()};
    f.form = ui->o1->text();
    f.recipient = {ui->o2->text(), ui->o3->text(), ui->o4->text(), ui->o5->text()};
    f.size = ui->RadioButton4->isChecked()   ? 4
             : ui->RadioButton3->isChecked() ? 3
             : ui->RadioButton2->isChecked() ? 2
                                             : 1;
    f.printLogo = ui->logo->isChecked();
    // The box's own state: a window left through "Koniec" is disabled as a whole.
    f.logoEnabled = ui->logo->isEnabledTo(this);
    f.landscape = ui->poziomo->isChecked();
    f.paper = static_cast<EnvelopePaper>(ui->papier->currentData().toInt());
    f.caption = windowTitle();
    return f;
}

void Tkoperta_f::showFields(const EnvelopeFields& f) {
    const EnvelopeSettings& s = f.settings;
    const std::array<QLineEdit*, 4> sender = {ui->n1, ui->n2, ui->n3, ui->n4};
    const std::array<QLineEdit*, 4> left = {ui->l1, ui->l2, ui->l3, ui->l4};
    const std::array<QLineEdit*, 4> top = {ui->g1, ui->g2, ui->g3, ui->g4};
    const std::array<QLineEdit*, 4> recipient = {ui->o2, ui->o3, ui->o4, ui->o5};
    const std::array<QRadioButton*, 4> sizes = {ui->RadioButton1, ui->RadioButton2,
                                                ui->RadioButton3, ui->RadioButton4};
    for (int i = 0; i < 4; ++i) {
        sender[i]->setText(s.sender[i]);
        left[i]->setText(s.left[i]);
        top[i]->setText(s.top[i]);
        recipient[i]->setText(f.recipient[i]);
    }
    ui->od->setText(s.spacing);
    ui->l_n->setText(s.senderLeft);
    ui->g_n->setText(s.senderTop);
    ui->nazwa->setText(f.logo.path);
    ui->l_log->setText(f.logo.left);
    ui->g_log->setText(f.logo.top);
    ui->o1->setText(f.form);
    sizes[selectedSize(f) - 1]->setChecked(true);
    ui->logo->setChecked(f.printLogo);
    ui->logo->setEnabled(f.logoEnabled);
    ui->poziomo->setChecked(f.landscape);
    setWindowTitle(f.caption);
    showPicture();
}

void Tkoperta_f::showPicture() {
    if (picture_.image.isNull()) {
        ui->Image2->clear();
        ui->Image3->clear();
        return;
    }
    const QPixmap pixmap = QPixmap::fromImage(picture_.image);
    ui->Image2->setPixmap(pixmap);
    ui->Image3->setPixmap(pixmap);
    ui->Image3->resize(pixmap.size());
}

void Tkoperta_f::refreshSizeLabel() {
    ui->Label7->setText(sizeLabel(fields()));
}

bool Tkoperta_f::apply(const std::function<QString(EnvelopeFields&)>& operation) {
    EnvelopeFields f = fields();
    QString logoError;
    try {
        logoError = operation(f);
    } catch (const IoError& error) {
        showFields(f);
        prompts_.error(error.text());
        return false;
    }
    showFields(f);
    if (!logoError.isEmpty())
        prompts_.error(logoError);
    return true;
}

bool Tkoperta_f::FormCreate() {
    ui->helpPanel->hide();
    if (!apply([this](EnvelopeFields& f) {
            here_ = startup::locatedAgain(ws_);
            return envelope::prepare(here_, f, picture_);
        }))
        return false;
    refreshSizeLabel();
    showStoredPaper();
    return true;
}

void Tkoperta_f::showStoredPaper() {
    EnvelopePaper paper = EnvelopePaper::PrinterPage;
    try {
        paper = readEnvelopePaper(ws_.workDir);
    } catch (const IoError& error) {
        // The window works on: envelopes print on the printer's page.
        prompts_.error(error.text());
    }
    ui->papier->setCurrentIndex(ui->papier->findData(static_cast<int>(paper)));
}

void Tkoperta_f::choosePaper() {
    try {
        storeEnvelopePaper(ws_.workDir, fields().paper, ws_.faults);
    } catch (const IoError& error) {
        prompts_.error(error.text());
        showStoredPaper();
    }
}

bool Tkoperta_f::open(const EntryFormValues& form, const CompanyRecord& firma, AddressBlock block) {
    setEnabled(true);
    ui->helpPanel->hide();
    if (!apply([&](EnvelopeFields& f) {
            here_ = startup::locatedAgain(ws_);
            Workstation sender = here_;
            sender.firma = firma;
            return openEnvelope(sender, form, block, f, picture_);
        }))
        return false;
    ui->blokSeryjny->setCurrentIndex(static_cast<int>(block) - 1);
    refreshSizeLabel();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
    return true;
}

void Tkoperta_f::storeAsDefaults() {
    apply([this](EnvelopeFields& f) {
        envelope::saveDefaults(here_, f, picture_);
        return QString();
    });
}

void Tkoperta_f::readDefaults() {
    if (!prompts_.question(envelope::loadDefaultsQuestion()))
        return;
    if (apply([this](EnvelopeFields& f) { return envelope::loadDefaults(here_, f, picture_); }))
        refreshSizeLabel();
}

void Tkoperta_f::storeProfile() {
    QString path = dialogs_.saveFileName(QStringLiteral("Zapisz profil"),
                                         envelopeProfilesFolder(here_), envelope::profileFilter());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty()) {
        // The dialog asked about the name as typed, not about the name with the suffix.
        path += QLatin1Char('.') + envelope::profileSuffix();
        if (files::exists(path) && !prompts_.question(replaceQuestion(path)))
            return;
    }
    apply([&](EnvelopeFields& f) {
        envelope::saveProfile(path, f);
        return QString();
    });
}

void Tkoperta_f::readProfile() {
    const QString path = dialogs_.openFileName(
        QStringLiteral("Czytaj profil"), envelopeProfilesFolder(here_), envelope::profileFilter());
    if (path.isEmpty())
        return;
    if (apply([&](EnvelopeFields& f) { return envelope::loadProfile(path, f, picture_); }))
        refreshSizeLabel();
}

void Tkoperta_f::attachPicture() {
    const QString current = ui->nazwa->text();
    const QString dir = current.isEmpty() ? here_.baseDir : QFileInfo(current).absolutePath();
    const QString path =
        dialogs_.openFileName(QStringLiteral("Dołącz obrazek"), dir, envelope::logoFilter());
    if (path.isEmpty())
        return;
    apply([&](EnvelopeFields& f) { return envelope::attachLogo(path, f, picture_); });
}

void Tkoperta_f::detachPicture() {
    EnvelopeFields f = fields();
    envelope::detachLogo(f);
    showFields(f);
}

void Tkoperta_f::chooseSize(int k) {
    const std::array<QRadioButton*, 4> sizes = {ui->RadioButton1, ui->RadioButton2,
                                                ui->RadioButton3, ui->RadioButton4};
    sizes[k - 1]->setChecked(true);
    refreshSizeLabel();
}

bool Tkoperta_f::printCurrentEnvelope() {
    try {
        const EnvelopeFields f = fields();
        return runPrintout(dialogs_, fonts_, envelopePrintDocument(f),
                           envelopePrintout(f, picture_));
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
}

bool Tkoperta_f::printSerialEnvelopes() {
    const auto block = static_cast<AddressBlock>(ui->blokSeryjny->currentIndex() + 1);
    try {
        const SerialEnvelopeCount count = countSerialEnvelopes(here_.listFile(), block);
        if (count.envelopes == 0) {
            prompts_.information(QStringLiteral("Żaden wpis bieżącej listy nie ma adresu w bloku "
                                                "„%1”. Nie ma czego drukować.")
                                     .arg(ui->blokSeryjny->currentText()));
            return false;
        }
        if (!runPrintout(dialogs_, fonts_, serialEnvelopesPrintDocument(here_.today),
                         serialEnvelopePrintout(fields(), picture_, here_.listFile(), block)))
            return false;
        if (count.withoutAddress > 0)
            prompts_.information(
                QStringLiteral("Wydrukowano koperty: %1. Pominięto wpisy bez adresu w bloku "
                               "„%2”: %3.")
                    .arg(count.envelopes)
                    .arg(ui->blokSeryjny->currentText())
                    .arg(count.withoutAddress));
        return true;
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
}

void Tkoperta_f::choosePrintFont() {
    try {
        fontWindow_.ZapiszFonty(kPrintFontFile);
    } catch (const IoError& error) {
        prompts_.error(error.text());
    }
}

void Tkoperta_f::showHelp() {
    ui->helpPanel->setGeometry(93, 62, 636, 390);
    ui->helpPanel->raise();
    ui->helpPanel->show();
}

void Tkoperta_f::hideHelp() {
    ui->helpPanel->hide();
}

bool Tkoperta_f::leave() {
    if (!prompts_.question(envelope::quitQuestion()))
        return false;
    try {
        envelope::saveFormOfAddress(here_, ui->o1->text());
    } catch (const IoError& error) {
        prompts_.error(error.text());
        return false;
    }
    setEnabled(false);
    hide();
    close();
    return true;
}

void Tkoperta_f::Timer1Timer() {
    ui->Label5->setText(clock_.now().toString(QStringLiteral("HH:mm:ss")));
}

void Tkoperta_f::closeEvent(QCloseEvent* event) {
    // "Koniec" is the only way out: the window system's close request is refused.
    if (event->spontaneous())
        event->ignore();
    else
        event->accept();
}

} // namespace kestrana
