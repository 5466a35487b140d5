#include "envelope/EnvelopeWindow.h"
#include "envelope/EnvelopePaper.h"
#include "envelope/EnvelopeRecords.h"
#include "envelope/EnvelopeTexts.h"
#include "platform/CheckedFile.h"
#include "platform/Mnemonics.h"
#include "print/FontWindow.h"
#include "print/TraceSurface.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cerrno>
#include <memory>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedDialogs;
using kestrana::test::ScriptedPrompts;

namespace {

const QString kSettingsFile = QStringLiteral("ADMINI/dane_kop_1.dat");
const QString kOptionsFile = QStringLiteral("ADMINI/dane_kop_ori_1.dat");
const QString kFormFile = QStringLiteral("ADMINI/dane_kop_for.dat");

QString writeJpeg(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    if (!image.save(path, "JPG"))
        QTest::qFail("cannot write a JPEG", __FILE__, __LINE__);
    return path;
}

EntryFormValues entryForm() {
    EntryFormValues form;
    form[Field::nazwa1] = QStringLiteral("Młyn Zbożowy");
    form[Field::nazwa2] = QStringLiteral("Sp. z o.o.");
    form[Field::adres] = QStringLiteral("ul. Wiejska 4");
    form[Field::miejscowosc] = QStringLiteral("00-950 Warszawa");
    form[Field::personaliao] = QStringLiteral("Jan Kowalski");
    form[Field::adreso] = QStringLiteral("ul. Floriańska 2");
    form[Field::miejscowosco] = QStringLiteral("30-001 Kraków");
    return form;
}

CompanyRecord firma() {
    CompanyRecord c;
    c.lines = {QStringLiteral("Biuro Rachunkowe"), QStringLiteral("ul. Krótka 5"),
               QStringLiteral("00-002 Warszawa"),  QStringLiteral("NIP 1"),
               QStringLiteral("linia 5"),          QStringLiteral("linia 6")};
    return c;
}

// One envelope window on a data folder, with scripted message boxes and dialogs.
struct Session {
    DataFolder folder;
    Workstation ws;
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    FixedClock clock{QDate(2007, 3, 5), QTime(14, 5, 9)};
    FontSettings fonts{folder.path()};
    Tfont_f fontWindow{fonts, dialogs};
    std::unique_ptr<Tkoperta_f> window;

    Session() {
        ws.workDir = ws.baseDir = folder.path();
        ws.firma = firma();
    }
    Tkoperta_f& start() {
        window = std::make_unique<Tkoperta_f>(ws, prompts, dialogs, fonts, fontWindow, clock);
        return *window;
    }

    template <typename T> T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit* edit(const char* name) const { return find<QLineEdit>(QLatin1String(name)); }
    QString text(const char* name) const { return edit(name)->text(); }
    void type(const char* name, const QString& value) const { edit(name)->setText(value); }
    void click(const char* name) const { find<QAbstractButton>(QLatin1String(name))->click(); }
    bool checked(const char* name) const {
        return find<QAbstractButton>(QLatin1String(name))->isChecked();
    }
    QString label7() const { return find<QLabel>(QStringLiteral("Label7"))->text(); }
    QCheckBox* logo() const { return find<QCheckBox>(QStringLiteral("logo")); }
    QSize image3Size() const {
        const QPixmap pixmap = find<QLabel>(QStringLiteral("Image3"))->pixmap();
        return pixmap.isNull() ? QSize() : pixmap.size();
    }
    bool done() const { return prompts.done() && dialogs.done(); }
};

} // namespace

class EnvelopeWindowTest : public QObject {
    Q_OBJECT

private slots:

    void preparationShowsTheStoredDefaults() {
        Session s;
        Tkoperta_f& w = s.start();
        for (const QString& file :
             {kSettingsFile, kOptionsFile, kFormFile, QStringLiteral("ADMINI/dane_kop_log_1.dat")})
            QVERIFY2(files::exists(s.folder.file(file)), qPrintable(file));

        const QStringList expected = {"50",  "100", "150", "200", "50", "100", "150",
                                      "200", "5",   "5",   "5",   "",   "",    ""};
        QStringList shown;
        for (const char* name : {"l1", "l2", "l3", "l4", "g1", "g2", "g3", "g4", "od", "l_n", "g_n",
                                 "nazwa", "l_log", "g_log"})
            shown << s.text(name);
        QCOMPARE(shown, expected);
        QVERIFY(s.checked("RadioButton1"));
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 50X50"));
        QVERIFY(!s.logo()->isChecked() && !s.logo()->isEnabled());
        QVERIFY(!s.checked("poziomo"));
        QVERIFY(s.edit("nazwa")->isReadOnly());
        QCOMPARE(w.windowTitle(), QStringLiteral("Adresowanie kopert - profil domyślny"));

        // Fixed size, no close button, the clock, the help panel hidden.
        QCOMPARE(w.size(), QSize(824, 548));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(s.find<QLabel>(QStringLiteral("Label5"))->text(), QStringLiteral("00:00:00"));
        auto* timer = s.find<QTimer>(QStringLiteral("Timer1"));
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 100);
        w.Timer1Timer();
        QCOMPARE(s.find<QLabel>(QStringLiteral("Label5"))->text(), QStringLiteral("14:05:09"));
        QVERIFY(!s.find<QWidget>(QStringLiteral("helpPanel"))->isVisibleTo(&w));
        QCOMPARE(s.find<QLabel>(QStringLiteral("Image2"))->size(), QSize(101, 69));
        QVERIFY(s.find<QLabel>(QStringLiteral("Image2"))->hasScaledContents());
        QVERIFY(!s.find<QLabel>(QStringLiteral("Image3"))->isVisibleTo(&w));
    }

    void controlsCarryTheirCaptions() {
        Session s;
        s.start();
        const QList<std::pair<const char*, const char*>> buttons = {
            {"SpeedButton2", "Zapisz ustalenia jako domyślne"},
            {"SpeedButton12", "Czytaj ustalenia domyślne"},
            {"SpeedButton3", "Czcionka druku"},
            {"SpeedButton11", "Zapisz profil"},
            {"SpeedButton10", "Czytaj profil"},
            {"SpeedButton9", "Pomoc"},
            {"SpeedButton4", "Drukuj kopertę"},
            {"SpeedButton6", "Dołącz obrazek"},
            {"SpeedButton7", "Odłącz obrazek"},
            {"SpeedButton1", "Koniec"},
            {"SpeedButton8", "Powrót"},
            {"RadioButton1", "rozmiar 1"},
            {"RadioButton4", "rozmiar 4"},
            {"poziomo", "drukuj poziomo"},
            {"logo", "drukuj obrazek"},
        };
        for (const auto& [name, caption] : buttons)
            QCOMPARE(mnemonics::shown(s.find<QAbstractButton>(QLatin1String(name))->text()),
                     QString::fromUtf8(caption));
        const QStringList help = s.find<QPlainTextEdit>(QStringLiteral("helpText"))
                                     ->toPlainText()
                                     .split(QLatin1Char('\n'));
        QCOMPARE(help.size(), 16);
        QCOMPARE(help, envelope::helpLines());
    }

    // The note is one paragraph in the window's own type size, wrapped to its box and shown
    // whole: no part of it is scrolled away.
    void noteIsLegibleAndWhole() {
        Session s;
        Tkoperta_f& w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* note = s.find<QPlainTextEdit>(QStringLiteral("noteText"));
        QCOMPARE(note->toPlainText(), envelope::noteLines().join(QString()));
        QVERIFY(note->font().pointSizeF() >= w.font().pointSizeF());
        QCOMPARE(note->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        const QFontMetrics metrics(note->font());
        const int lines = note->document()->lineCount();
        QVERIFY(lines > 1);
        QVERIFY2(lines * metrics.lineSpacing() <= note->viewport()->height(),
                 qPrintable(
                     QStringLiteral("%1 lines, %2 px").arg(lines).arg(note->viewport()->height())));
        // Beside "Koniec", not under it.
        QVERIFY(!note->geometry().intersects(
            s.find<QPushButton>(QStringLiteral("SpeedButton1"))->geometry()));
    }

    // The envelope's paper: offered with the envelope sizes and the printer's page, stored for
    // this workstation at once (in its working directory, not in the shared folder), shown
    // again at the next preparation, and printed on.
    void paperChosenStoredAndPrintedOn() {
        Session s;
        Tkoperta_f& w = s.start();
        auto* papier = s.find<QComboBox>(QStringLiteral("papier"));
        QStringList offered;
        for (int i = 0; i < papier->count(); ++i)
            offered << papier->itemText(i);
        QCOMPARE(offered,
                 (QStringList{"DL (110 × 220 mm)", "C6 (114 × 162 mm)", "C5 (162 × 229 mm)",
                              "C4 (229 × 324 mm)", "strona drukarki"}));
        QCOMPARE(papier->currentText(), QStringLiteral("strona drukarki"));
        QCOMPARE(w.fields().paper, EnvelopePaper::PrinterPage);

        papier->setCurrentIndex(0);
        emit papier->activated(0);
        QCOMPARE(readEnvelopePaper(s.folder.path()), EnvelopePaper::DL);
        QCOMPARE(s.folder.readBytes(QStringLiteral("ADMINI/koperta_papier.dat")), QByteArray(1, 1));

        papier->setCurrentIndex(4);
        QVERIFY(w.FormCreate());
        QCOMPARE(papier->currentText(), QStringLiteral("DL (110 × 220 mm)"));

        QVERIFY(w.open(entryForm(), firma(), AddressBlock::Seat));
        s.click("poziomo");
        TraceSurface trace(600, 600);
        s.dialogs.expectPrint(trace);
        QVERIFY(w.printCurrentEnvelope());
        QCOMPARE(trace.lines().value(0), QStringLiteral("begin\tlandscape\t600\t600"));
        QCOMPARE(trace.lines().value(1), QStringLiteral("paper\tEnvelope DL\t110\t220"));
        // The printer is left on its own page, in portrait.
        QVERIFY(!trace.paper().isValid());
        QVERIFY(!trace.landscape());

        // A choice that cannot be stored is said, and the stored one shown again.
        files::FaultInjector faults;
        faults.failWritesAfter(0, ENOSPC);
        s.ws.faults = &faults;
        papier->setCurrentIndex(2);
        s.prompts.expectError(QStringLiteral("koperta_papier"));
        emit papier->activated(2);
        s.ws.faults = nullptr;
        QCOMPARE(papier->currentText(), QStringLiteral("DL (110 × 220 mm)"));
        QVERIFY(s.done());
    }

    void kopertaFillsAndReprepares() {
        Session s;
        Tkoperta_f& w = s.start();
        s.type("l1", QStringLiteral("99")); // not saved: lost at the next opening
        s.type("o1", QStringLiteral("Pan"));
        s.type("n4", QStringLiteral("stara linia"));
        s.folder.writeBytes(kFormFile, FormOfAddress{QStringLiteral("Szanowny Pan")}.toBytes());

        QVERIFY(w.open(entryForm(), firma(), AddressBlock::Contact));
        QVERIFY(w.isVisible() && w.isEnabled());
        QCOMPARE(s.text("n1"), QStringLiteral("Biuro Rachunkowe"));
        QCOMPARE(s.text("n3"), QStringLiteral("00-002 Warszawa"));
        QCOMPARE(s.text("n4"), QString());
        QCOMPARE(s.text("o2"), QStringLiteral("Jan Kowalski"));
        QCOMPARE(s.text("o3"), QStringLiteral("ul. Floriańska 2"));
        QCOMPARE(s.text("o4"), QStringLiteral("30-001 Kraków"));
        QCOMPARE(s.text("o5"), QString());
        QCOMPARE(s.text("o1"), QStringLiteral("Szanowny Pan"));
        QCOMPARE(s.text("l1"), QStringLiteral("50"));

        // Pressed again while open: refilled in place.
        QVERIFY(w.open(entryForm(), firma(), AddressBlock::Seat));
        QCOMPARE(s.text("o3"), QStringLiteral("Sp. z o.o."));
        QCOMPARE(s.text("o5"), QStringLiteral("00-950 Warszawa"));
    }

    void openingWithoutSettingsFolderShowsNothing() {
        Session s;
        s.start();
        QDir(s.folder.file(QStringLiteral("ADMINI"))).removeRecursively();
        s.prompts.expectError();
        QVERIFY(!s.window->open(entryForm(), firma(), AddressBlock::Seat));
        QVERIFY(!s.window->isVisible());
    }

    void defaultsSavedAndReadBack() {
        Session s;
        Tkoperta_f& w = s.start();
        s.type("n1", QStringLiteral("Biuro Żuraw"));
        s.type("l3", QStringLiteral("77"));
        s.click("RadioButton3");
        s.click("poziomo");
        s.click("SpeedButton2");
        QVERIFY(s.done());
        const EnvelopeSettings stored = readEnvelopeSettings(s.folder.file(kSettingsFile));
        QCOMPARE(stored.sender[0], QStringLiteral("Biuro Żuraw"));
        QCOMPARE(stored.left[2], QStringLiteral("77"));
        QCOMPARE(s.folder.readBytes(kOptionsFile), QByteArray("\x03\x00\x01", 3));
        QCOMPARE(s.folder.readBytes(kFormFile), QByteArray(21, 0)); // not part of the defaults

        s.type("n1", QStringLiteral("inny"));
        s.type("l3", QStringLiteral("7"));
        s.type("o1", QStringLiteral("Pani"));
        s.type("o2", QStringLiteral("Odbiorca"));
        s.click("RadioButton1");
        s.click("poziomo");

        s.prompts.expectQuestion(QStringLiteral("Wczytać ustawienia domyślne ?"), false);
        s.click("SpeedButton12");
        QCOMPARE(s.text("n1"), QStringLiteral("inny"));
        QVERIFY(s.checked("RadioButton1"));

        s.prompts.expectQuestion(QStringLiteral("Wczytać ustawienia domyślne ?"), true);
        s.click("SpeedButton12");
        QCOMPARE(s.text("n1"), QStringLiteral("Biuro Żuraw"));
        QCOMPARE(s.text("l3"), QStringLiteral("77"));
        QVERIFY(s.checked("RadioButton3") && s.checked("poziomo"));
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 77X150"));
        QCOMPARE(s.text("o1"), QStringLiteral("Pani"));
        QCOMPARE(s.text("o2"), QStringLiteral("Odbiorca"));
        QCOMPARE(w.windowTitle(), envelope::defaultCaption());
    }

    // Reading stops at the missing file; what was read before it stays on screen.
    void readingDefaultsStopsAtAMissingFile() {
        Session s;
        s.start();
        s.folder.writeBytes(kOptionsFile, QByteArray("\x02\x00\x00", 3));
        QVERIFY(QFile::remove(s.folder.file(kSettingsFile)));
        s.type("n1", QStringLiteral("zostaje"));
        s.prompts.expectQuestion(QStringLiteral("Wczytać ustawienia domyślne ?"), true);
        s.prompts.expectError(QStringLiteral("dane_kop_1.dat"));
        s.click("SpeedButton12");
        QVERIFY(s.checked("RadioButton2"));
        QCOMPARE(s.text("n1"), QStringLiteral("zostaje"));
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 50X50")); // not refreshed
    }

    void profileSavedAndOpened() {
        Session s;
        Tkoperta_f& w = s.start();
        QVERIFY(QDir(s.folder.path()).mkpath(QStringLiteral("Koperty")));
        const QString folder = s.folder.file(QStringLiteral("Koperty"));
        const QString path = folder + QStringLiteral("/biuro.pro");
        s.type("n1", QStringLiteral("Biuro"));
        s.type("g2", QStringLiteral("120"));
        s.type("l_log", QStringLiteral("10"));
        s.click("RadioButton2");
        s.type("o1", QStringLiteral("Pan"));

        // The suffix is added to a name typed without it.
        s.dialogs.expectSaveFile(folder + QStringLiteral("/biuro"),
                                 QStringLiteral("Zapisz profil"));
        s.click("SpeedButton11");
        QVERIFY(s.done());
        QCOMPARE(s.dialogs.lastDir(), folder);
        QCOMPARE(s.dialogs.lastFilter(), QStringLiteral("Pliki profilów (*.pro)"));
        const EnvelopeProfile stored = readEnvelopeProfile(path);
        QCOMPARE(files::size(path), qint64(726));
        QCOMPARE(stored.settings, w.fields().settings);
        QCOMPARE(stored.options, (EnvelopeOptions{2, 0, 0}));
        QCOMPARE(w.windowTitle(), envelope::defaultCaption());

        // That name exists now: saving under it again asks first.
        s.type("n1", QStringLiteral("Zmieniony"));
        s.dialogs.expectSaveFile(folder + QStringLiteral("/biuro"),
                                 QStringLiteral("Zapisz profil"));
        s.prompts.expectQuestion(QStringLiteral("Plik %1 już istnieje. Zastąpić go ?")
                                     .arg(QDir::toNativeSeparators(path)),
                                 false);
        s.click("SpeedButton11");
        QCOMPARE(readEnvelopeProfile(path).settings.sender[0], QStringLiteral("Biuro"));

        s.type("g2", QStringLiteral("1"));
        s.click("RadioButton4");
        s.dialogs.expectOpenFile(QString(), QStringLiteral("Czytaj profil")); // cancelled
        s.click("SpeedButton10");
        QCOMPARE(s.text("g2"), QStringLiteral("1"));

        s.dialogs.expectOpenFile(path, QStringLiteral("Czytaj profil"));
        s.click("SpeedButton10");
        QCOMPARE(w.fields().settings, stored.settings);
        QCOMPARE(s.text("l_log"), QStringLiteral("10"));
        QVERIFY(s.checked("RadioButton2"));
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 100X120"));
        QCOMPARE(s.text("o1"), QStringLiteral("Pan"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Adresowanie kopert ") + path);
    }

    void truncatedProfileChangesNothing() {
        Session s;
        Tkoperta_f& w = s.start();
        const QString path = s.folder.file(QStringLiteral("krotki.pro"));
        s.folder.writeBytes(QStringLiteral("krotki.pro"), EnvelopeProfile().toBytes().left(700));
        s.type("n1", QStringLiteral("bez zmian"));
        s.dialogs.expectOpenFile(path, QStringLiteral("Czytaj profil"));
        s.prompts.expectError(QStringLiteral("krotki.pro"));
        s.click("SpeedButton10");
        QCOMPARE(s.text("n1"), QStringLiteral("bez zmian"));
        QCOMPARE(s.text("l1"), QStringLiteral("50"));
        QCOMPARE(w.windowTitle(), envelope::defaultCaption());
    }

    void logoAttachedAndDetached() {
        Session s;
        Tkoperta_f& w = s.start();
        const QString jpeg = writeJpeg(s.folder.file(QStringLiteral("logo.jpg")), QSize(200, 100));
        s.dialogs.expectOpenFile(jpeg, QStringLiteral("Dołącz obrazek"));
        s.click("SpeedButton6");
        QVERIFY(s.done());
        QCOMPARE(s.dialogs.lastFilter(), QStringLiteral("Pliki graficzne (*.jpg)"));
        QCOMPARE(s.text("nazwa"), jpeg);
        QVERIFY(s.logo()->isEnabled());
        QVERIFY(!s.logo()->isChecked()); // attaching does not tick it
        QCOMPARE(s.image3Size(), QSize(200, 100));
        QVERIFY(!s.find<QLabel>(QStringLiteral("Image2"))->pixmap().isNull());
        QCOMPARE(w.picture().path, jpeg);

        // A file that is not a JPEG: a message, and the old logo stays.
        const QString broken = s.folder.file(QStringLiteral("zepsuty.jpg"));
        s.folder.writeBytes(QStringLiteral("zepsuty.jpg"),
                            s.folder.readBytes(QStringLiteral("logo.jpg")).left(300));
        s.dialogs.expectOpenFile(broken, QStringLiteral("Dołącz obrazek"));
        s.prompts.expectError();
        s.click("SpeedButton6");
        QCOMPARE(s.text("nazwa"), jpeg);
        QVERIFY(s.logo()->isEnabled());
        QCOMPARE(s.image3Size(), QSize(200, 100));

        s.click("logo");
        s.click("SpeedButton7");
        QCOMPARE(s.text("nazwa"), QString());
        QVERIFY(!s.logo()->isEnabled());
        QVERIFY(s.logo()->isChecked());
        QCOMPARE(s.image3Size(), QSize(200, 100)); // the picture stays held
    }

    // A stored logo that does not decode is reported at the preparation; the window works.
    void brokenStoredLogoIsReported() {
        Session s;
        s.folder.writeBytes(QStringLiteral("zly.jpg"), QByteArray("to nie jest obrazek"));
        EnvelopeLogo logo{s.folder.file(QStringLiteral("zly.jpg")), QStringLiteral("1"),
                          QStringLiteral("2")};
        s.folder.writeBytes(QStringLiteral("ADMINI/dane_kop_log_1.dat"), logo.toBytes());
        s.prompts.expectError(QStringLiteral("zly.jpg"));
        Tkoperta_f& w = s.start();
        QCOMPARE(s.text("nazwa"), logo.path);
        QVERIFY(!s.logo()->isEnabled());
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 50X50"));
        QCOMPARE(w.windowTitle(), envelope::defaultCaption());
    }

    void sizeButtonsRefreshTheLabel() {
        Session s;
        s.start();
        s.click("RadioButton3");
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 150X150"));
        s.type("l3", QStringLiteral("99"));
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 150X150")); // typing does not refresh it
        s.click("RadioButton3");
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 99X150"));
        s.click("RadioButton4");
        QCOMPARE(s.label7(), QStringLiteral("Rozmiar 200X200"));
        QCOMPARE(s.window->fields().size, 4);
    }

    void koniecAsksAndStoresTheFormOfAddress() {
        Session s;
        files::FaultInjector faults;
        s.ws.faults = &faults;
        Tkoperta_f& w = s.start();
        QVERIFY(w.open(entryForm(), firma(), AddressBlock::Seat));
        s.type("o1", QStringLiteral("Szanowna Pani Profesor Dyrektor"));

        s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), false);
        s.click("SpeedButton1");
        QVERIFY(w.isVisible() && w.isEnabled());
        QCOMPARE(s.folder.readBytes(kFormFile), QByteArray(21, 0));

        // A failed write keeps the window open.
        faults.failWritesAfter(0, ENOSPC);
        s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), true);
        s.prompts.expectError();
        s.click("SpeedButton1");
        faults.clear();
        QVERIFY(w.isVisible() && w.isEnabled());

        s.prompts.expectQuestion(QStringLiteral("Koniec pracy ?"), true);
        s.click("SpeedButton1");
        QVERIFY(!w.isVisible() && !w.isEnabled());
        QCOMPARE(readFormOfAddress(s.folder.file(kFormFile)).text,
                 QStringLiteral("Szanowna Pani Profes"));

        s.type("o1", QString());
        QVERIFY(w.open(entryForm(), firma(), AddressBlock::Seat));
        QVERIFY(w.isVisible() && w.isEnabled());
        QCOMPARE(s.text("o1"), QStringLiteral("Szanowna Pani Profes"));
    }

    void printingThroughTheDialog() {
        Session s;
        Tkoperta_f& w = s.start();
        QVERIFY(w.open(entryForm(), firma(), AddressBlock::Seat));
        s.type("o1", QStringLiteral("Pan"));
        s.type("g_n", QStringLiteral("20"));

        s.dialogs.expectPrintCancel();
        QVERIFY(!w.printCurrentEnvelope());

        QVERIFY(QDir(s.folder.path()).mkpath(QStringLiteral("FONT")));
        s.dialogs.expectFont(
            FontChoice{QStringLiteral("Courier New"), 14, fontstyle::Bold, Qt::black});
        s.click("SpeedButton3");
        QVERIFY(files::exists(s.fonts.path(kPrintFontFile)));

        TraceSurface trace(600, 600);
        s.dialogs.expectPrint(trace);
        s.click("SpeedButton4");
        QCOMPARE(s.dialogs.shown().last(), QStringLiteral("Koperta"));
        const QStringList lines = trace.lines();
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[1],
                 QStringLiteral("text\t120\t504\tCourier New\t-117\tb\t#000000\tBiuro Rachunkowe"));
        QCOMPARE(lines[5], QStringLiteral("text\t1200\t1200\tCourier New\t-117\tb\t#000000\tPan"));
        QCOMPARE(lines[6],
                 QStringLiteral("text\t1320\t1800\tCourier New\t-117\tb\t#000000\tMłyn Zbożowy"));
        QCOMPARE(lines[9], QStringLiteral(
                               "text\t1320\t2160\tCourier New\t-117\tb\t#000000\t00-950 Warszawa"));
    }

    void helpPanelShownAndHidden() {
        Session s;
        Tkoperta_f& w = s.start();
        auto* panel = s.find<QWidget>(QStringLiteral("helpPanel"));
        s.click("SpeedButton9");
        QVERIFY(panel->isVisibleTo(&w));
        QCOMPARE(panel->geometry(), QRect(93, 62, 636, 390));
        s.click("SpeedButton8");
        QVERIFY(!panel->isVisibleTo(&w));
        s.click("SpeedButton9");
        QVERIFY(w.FormCreate());
        QVERIFY(!panel->isVisibleTo(&w));
    }

    // "Koperty seryjne": one envelope per list entry with an address in the chosen block, as
    // one document, through the preview when it is on.
    void serialEnvelopes_data() {
        QTest::addColumn<int>("block");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QStringList>("recipients");
        QTest::newRow("seat") << 1 << false
                              << QStringList{QStringLiteral("ul. Polna 1"),
                                             QStringLiteral("ul. Polna 2"),
                                             QStringLiteral("ul. Polna 3")};
        QTest::newRow("seat, preview")
            << 1 << true
            << QStringList{QStringLiteral("ul. Polna 1"), QStringLiteral("ul. Polna 2"),
                           QStringLiteral("ul. Polna 3")};
        QTest::newRow("contact") << 3 << false << QStringList{QStringLiteral("Osoba 2")};
    }

    void serialEnvelopes() {
        QFETCH(int, block);
        QFETCH(bool, preview);
        QFETCH(QStringList, recipients);
        Session s;
        QByteArray list;
        for (int n = 1; n <= 3; ++n) {
            EntryRecord r = test::entry(QString::number(n), QStringLiteral("Firma %1").arg(n));
            r.setText(Field::adres, QStringLiteral("ul. Polna %1").arg(n));
            r.setText(Field::miejscowosc, u"62-800 Kalisz");
            if (n == 2) {
                r.setText(Field::personaliao, u"Osoba 2");
                r.setText(Field::miejscowosco, u"Łódź");
            }
            list.append(r.data(), EntryRecord::Size);
        }
        s.folder.writeBytes(QStringLiteral("DANE/sp_ks.dat"), list);
        Tkoperta_f& w = s.start();
        QVERIFY(w.open(entryForm(), firma(), static_cast<AddressBlock>(block)));
        s.dialogs.setPreviewEnabled(preview);
        TraceSurface shown(300, 300);
        TraceSurface paper(300, 300);
        if (preview)
            s.dialogs.expectPreview(shown, &paper);
        else
            s.dialogs.expectPrint(paper);
        if (recipients.size() < 3)
            s.prompts.expectInformation(
                QStringLiteral("Wydrukowano koperty: 1. Pominięto wpisy bez adresu w bloku "
                               "„Osoba odpowiedzialna za kontakt”: 2."));
        QVERIFY(w.printSerialEnvelopes());
        const QStringList lines = paper.lines();
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^begin\\b"))).size(), 1);
        QCOMPARE(lines.count(QStringLiteral("page")), recipients.size() - 1);
        QCOMPARE(lines.count(QStringLiteral("end")), 1);
        const QString all = lines.join(u'\n');
        for (const QString& recipient : recipients)
            QVERIFY2(all.contains(recipient), qPrintable(recipient));
        QVERIFY(all.contains(QStringLiteral("Biuro Rachunkowe")));
        if (preview)
            QCOMPARE(shown.lines(), lines);
        QCOMPARE(s.dialogs.shown().last(), QStringLiteral("Koperty seryjne"));
    }

    void serialEnvelopesWithoutAddresses() {
        Session s;
        s.folder.writeBytes(QStringLiteral("DANE/sp_ks.dat"), {});
        Tkoperta_f& w = s.start();
        QVERIFY(w.open(entryForm(), firma(), AddressBlock::Correspondence));
        s.prompts.expectInformation(QStringLiteral("Żaden wpis bieżącej listy nie ma adresu w "
                                                   "bloku „Dane do korespondencji”. Nie ma czego "
                                                   "drukować."));
        QVERIFY(!w.printSerialEnvelopes());
    }
};

KESTRANA_TEST(EnvelopeWindowTest)
#include "EnvelopeWindowTest.moc"
