#include "cash/VoucherWindow.h"
#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherDocument.h"
#include "cash/VoucherTexts.h"
#include "platform/CheckedFile.h"
#include "platform/Mnemonics.h"
#include "print/TraceSurface.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"
#include "tools/CommandLines.h"
#include "tools/Notepad.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <cerrno>
#include <cstring>
#include <memory>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedDialogs;
using kestrana::test::ScriptedPrompts;

namespace {

// A voucher window on a data folder with scripted message boxes and dialogs.
struct Session {
    DataFolder folder;
    Workstation ws;
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    FontSettings fonts;
    FixedClock clock{QDate(2007, 3, 5), QTime(14, 5, 9)};
    QList<notepad::Request> notepadRequests;
    QStringList started;
    std::unique_ptr<Tkp_f> window;

    explicit Session(bool documents = true) : fonts(folder.path()) {
        ws.baseDir = ws.workDir = folder.path();
        ws.firma.lines = {QStringLiteral("Biuro Rachunkowe"),
                          QStringLiteral("ul. Polna 1"),
                          QStringLiteral("00-001 Warszawa"),
                          QStringLiteral("NIP 111"),
                          QStringLiteral("Bank"),
                          QStringLiteral("Konto")};
        QDir(folder.file(QStringLiteral("DOKUMENTY"))).removeRecursively();
        if (documents)
            QDir(folder.path()).mkdir(QStringLiteral("Dokumenty"));
        window = std::make_unique<Tkp_f>(
            ws, prompts, dialogs, fonts, clock,
            [this](const QString& file, const QString& title) {
                notepadRequests.append({file, title, 2});
            },
            [this] { started.append(commands::kalkulator()); });
    }
    bool open(DocumentKind kind, bool boss = false) {
        return window->open(kind,
                            {QStringLiteral("Zakład Mięsny"), QStringLiteral("Łódź"),
                             QStringLiteral("ul. Długa 5"), QStringLiteral("łódzkie")},
                            boss);
    }

    template <typename T> T* find(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString text(const char* name) const { return find<QLineEdit>(name)->text(); }
    void setText(const char* name, const QString& text) const {
        find<QLineEdit>(name)->setText(text);
    }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }
    void click(const char* name) const { find<QAbstractButton>(name)->click(); }
    QTableWidget* grid() const { return find<QTableWidget>("tabela"); }
    QListWidget* lista() const { return find<QListWidget>("lista"); }
    QString cell(int row, int column) const { return grid()->item(row, column)->text(); }
    void setCell(int row, int column, const QString& text) const {
        grid()->item(row, column)->setText(text);
    }
    // Keys typed into the current cell as the user types them: the first opens the editor.
    void type(const QString& keys) const {
        for (const QChar key : keys) {
            QWidget* target = editor();
            QTest::keyClick(target ? target : grid(), key.toLatin1());
        }
    }
    void pressEnter() const {
        QWidget* target = editor();
        QTest::keyClick(target ? target : grid(), Qt::Key_Return);
    }
    QWidget* editor() const {
        for (QLineEdit* line : grid()->viewport()->findChildren<QLineEdit*>()) {
            if (line->isVisible())
                return line;
        }
        return nullptr;
    }
    QByteArray counterBytes(const char* file) const {
        return folder.readBytes(QStringLiteral("Dokumenty/") + QLatin1String(file));
    }
};

VoucherGrid sampleGrid() {
    VoucherGrid grid;
    grid.tytulem[0] = QStringLiteral("Zaliczka na poczet dostaw");
    grid.kwota[0] = QStringLiteral("  120.00");
    grid.tytulem[3] = QStringLiteral("Opłata – źródło");
    grid.kwota[9] = QStringLiteral("3.45");
    return grid;
}

} // namespace

class VoucherWindowTest : public QObject {
    Q_OBJECT

private slots:

    void openingPreparesTheWindow_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("counter");
        QTest::newRow("KP") << 1 << "Dokument Kp"
                            << "Dowód wpłaty"
                            << "Od kogo"
                            << "nrkp.dat";
        QTest::newRow("KW") << 2 << "Dokument Kw"
                            << "Dowód wypłaty"
                            << "Komu"
                            << "nrkw.dat";
    }

    void openingPreparesTheWindow() {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, panel);
        QFETCH(QString, heading);
        QFETCH(QString, counter);
        Session s;
        QCOMPARE(s.window->size(), QSize(629, 515));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Dokument KP/KW"));
        QVERIFY(!s.window->isVisible());
        s.setText("pole2", QStringLiteral("left over"));
        s.find<QRadioButton>("k2")->setChecked(true);

        QVERIFY(s.open(static_cast<DocumentKind>(kind)));
        QVERIFY(s.window->isVisible());
        QCOMPARE(s.window->windowTitle(), caption);
        QCOMPARE(s.label("Panel1"), panel);
        QCOMPARE(s.label("Label8"), heading);
        QCOMPARE(s.label("Label9"), QStringLiteral("Zakład Mięsny"));
        QCOMPARE(s.label("Label12"), QStringLiteral("łódzkie"));
        QCOMPARE(s.label("Label3"), QStringLiteral("Biuro Rachunkowe"));
        QCOMPARE(s.label("Label6"), QStringLiteral("NIP 111"));
        QCOMPARE(s.text("data"), voucherDateText(QDate(2007, 3, 5)));
        QCOMPARE(s.text("pole2"), QString());
        QVERIFY(s.find<QRadioButton>("k1")->isChecked());
        QCOMPARE(s.text("numerkp"), QString());
        // A fresh counter: number 1, empty suffix.
        QCOMPARE(s.counterBytes(counter.toLatin1().constData()),
                 CounterRecord({1, QString()}).toBytes());
        QCOMPARE(s.window->baseDir(), s.folder.path());
        QVERIFY(s.find<QTimer>("Timer1")->isActive());
        QCOMPARE(s.find<QTimer>("Timer1")->interval(), 100);
        // The real timer keeps the total.
        QTRY_COMPARE(s.text("razem"), QStringLiteral("    0.00"));
    }

    void controlsAndCaptions() {
        Session s;
        const std::pair<const char*, const char*> buttons[] = {
            {"SpeedButton1", "Powrót"},
            {"SpeedButton2", "Kalkulator"},
            {"SpeedButton3", "Zapisz dokument"},
            {"SpeedButton4", "Czytaj dokument"},
            {"SpeedButton5", "Edytor treści"},
            {"SpeedButton6", "Wstaw treść"},
            {"SpeedButton7", "Edytuj"},
            {"SpeedButton8", "Edytuj"},
            {"SpeedButton9", "Wstaw"},
            {"SpeedButton10", "Zaniechaj"},
            {"SpeedButton11", "Pomoc"},
            {"SpeedButton12", "Koniec pomocy"},
            {"SpeedButton13", "Drukuj dokument"},
            {"SpeedButton14", "Wyczyść dokument"},
            {"SpeedButton15", "Zapisz parametry"},
            {"k1", "Czarny"},
            {"k2", "Kolor"},
        };
        for (const auto& [name, caption] : buttons)
            QCOMPARE(mnemonics::shown(s.find<QAbstractButton>(name)->text()),
                     QString::fromUtf8(caption));
        for (const char* name : {"numerkp", "rozszerzeniekp", "data", "razem", "gotowka", "reszta",
                                 "pole1", "pole2", "pole3", "pole4"})
            s.find<QLineEdit>(name);
        QTableWidget* grid = s.grid();
        QCOMPARE(grid->rowCount(), 10);
        QCOMPARE(grid->columnCount(), 2);
        QCOMPARE(grid->columnWidth(0), 495);
        QCOMPARE(grid->columnWidth(1), 71);
        QCOMPARE(grid->rowHeight(9), 16);
        QCOMPARE(grid->font().family(), QStringLiteral("Courier New"));
        QVERIFY(!s.lista()->isVisible() && s.lista()->isHidden());
        QVERIFY(s.find<QWidget>("Panel2")->isHidden());
        QVERIFY(s.find<QWidget>("Panel3")->isHidden());
        QTextEdit* note = s.find<QTextEdit>("Memo2");
        QVERIFY(!note->isEnabled());
        QCOMPARE(note->toPlainText().split(QLatin1Char('\n')), vouchertexts::counterNoteLines());
        QCOMPARE(note->document()->firstBlock().blockFormat().alignment() & Qt::AlignHCenter,
                 Qt::AlignHCenter);
    }

    void helpPanel() {
        Session s;
        s.open(DocumentKind::KP);
        s.click("SpeedButton11");
        QWidget* panel = s.find<QWidget>("Panel3");
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->geometry(), QRect(8, 8, 613, 293));
        const QStringList lines =
            s.find<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines[0], QStringLiteral("1. Możesz poprawić lub edytować dane wystawcy lub "
                                          "odbiorcy dokumentu. Uruchom przycisk Edycja."));
        QCOMPARE(lines[9], QString());
        QList<int> endingInBlank;
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].endsWith(QLatin1Char(' ')))
                endingInBlank.append(i + 1);
        }
        QCOMPARE(endingInBlank, QList<int>({2, 3, 5, 7, 11, 13, 15}));
        QVERIFY(lines[12].contains(QStringLiteral("( np /2006). Raz wpisene rozszerzenie")));
        s.click("SpeedButton12");
        QVERIFY(!panel->isVisible());
    }

    void totalAndChange() {
        Session s;
        s.open(DocumentKind::KP);
        s.setCell(0, 1, QStringLiteral("12.5"));
        s.setCell(1, 1, QStringLiteral("0.00"));
        s.setCell(2, 1, QStringLiteral("abc"));
        s.setCell(3, 1, QStringLiteral(" 7"));
        s.setCell(4, 0, QStringLiteral("100"));
        s.setText("reszta", QStringLiteral("earlier"));
        s.setText("razem", QStringLiteral("999"));
        s.window->Timer1Timer();
        QCOMPARE(s.text("razem"), QStringLiteral("   19.50"));
        // No cash typed: the change keeps its text.
        QCOMPARE(s.text("reszta"), QStringLiteral("earlier"));
        s.setText("gotowka", QStringLiteral("20"));
        s.window->Timer1Timer();
        QCOMPARE(s.text("reszta"), QStringLiteral("    0.50"));
        s.setText("reszta", QStringLiteral("typed over"));
        s.setText("gotowka", QStringLiteral("10"));
        QTRY_COMPARE(s.text("reszta"), QStringLiteral("   -9.50"));

        // Leaving an empty cash field makes it 0.00; the change is then the negative total.
        s.setText("gotowka", QString());
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(s.find<QLineEdit>("gotowka"), &out);
        QCOMPARE(s.text("gotowka"), QStringLiteral("    0.00"));
        s.window->Timer1Timer();
        QCOMPARE(s.text("reszta"), QStringLiteral("  -19.50"));
        // Enter in the cash field.
        s.setText("gotowka", QStringLiteral("25,5"));
        QTest::keyClick(s.find<QLineEdit>("gotowka"), Qt::Key_Return);
        QCOMPARE(s.text("gotowka"), QStringLiteral("   25.00"));
    }

    void parametersButtonNeedsANumber() {
        Session s;
        s.open(DocumentKind::KW);
        QAbstractButton* button = s.find<QAbstractButton>("SpeedButton15");
        s.window->Timer1Timer();
        QVERIFY(!button->isEnabled());
        s.setText("numerkp", QStringLiteral("5"));
        s.window->Timer1Timer();
        QVERIFY(button->isEnabled());
        s.setText("numerkp", QString());
        s.window->Timer1Timer();
        QVERIFY(!button->isEnabled());
    }

    void amountsReformattedOnAChangeOfCell() {
        Session s;
        s.open(DocumentKind::KP);
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        s.grid()->setCurrentCell(0, 1);
        s.window->Timer1Timer();
        s.setCell(1, 1, QStringLiteral("0"));
        s.setCell(2, 1, QStringLiteral("0.00"));
        s.type(QStringLiteral("12,5"));
        QCOMPARE(s.cell(0, 1), QStringLiteral("12.5"));
        s.window->Timer1Timer();
        // Same cell: kept as typed, but the total follows the typing.
        QCOMPARE(s.cell(0, 1), QStringLiteral("12.5"));
        QCOMPARE(s.text("razem"), QStringLiteral("   12.50"));
        s.grid()->setCurrentCell(1, 1);
        s.window->Timer1Timer();
        QCOMPARE(s.cell(0, 1), QStringLiteral("   12.50"));
        QCOMPARE(s.cell(1, 1), QStringLiteral("0"));
        QCOMPARE(s.cell(2, 1), QStringLiteral("0.00"));
        QCOMPARE(s.cell(3, 1), QString());
    }

    void keysInTheGrid_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("cell");
        QTest::newRow("comma becomes a point") << 1 << "12,5"
                                               << "12.5";
        QTest::newRow("letters and blanks dropped") << 1 << "1a2 b"
                                                    << "12";
        QTest::newRow("comma first") << 1 << ",75"
                                     << ".75";
        QTest::newRow("no sign in the amount") << 1 << "-3+"
                                               << "3";
        QTest::newRow("title takes anything") << 0 << "Ab, 1-x"
                                              << "Ab, 1-x";
    }

    void keysInTheGrid() {
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(QString, cell);
        Session s;
        s.open(DocumentKind::KP);
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        s.grid()->setCurrentCell(2, column);
        s.type(keys);
        QCOMPARE(s.cell(2, column), cell);
        // Backspace is the editor's own.
        QTest::keyClick(s.editor(), Qt::Key_Backspace);
        QCOMPARE(s.cell(2, column), cell.chopped(1));
    }

    void enterInTheGrid() {
        Session s;
        s.open(DocumentKind::KW);
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        s.setText("gotowka", QStringLiteral("15,5"));
        s.setCell(0, 1, QStringLiteral("3"));
        s.grid()->setCurrentCell(4, 0);
        s.window->Timer1Timer();
        s.type(QStringLiteral("Zwrot"));
        s.pressEnter();
        QCOMPARE(s.text("gotowka"), QStringLiteral("   15.00"));
        QCOMPARE(s.cell(0, 1), QStringLiteral("    3.00"));
        QCOMPARE(s.cell(4, 0), QStringLiteral("Zwrot"));
        // Enter on the grid itself, no cell being edited.
        QTRY_VERIFY(!s.editor());
        s.setText("gotowka", QString());
        s.setCell(1, 1, QStringLiteral("2.5"));
        s.pressEnter();
        QCOMPARE(s.text("gotowka"), QStringLiteral("    0.00"));
        QCOMPARE(s.cell(1, 1), QStringLiteral("    2.50"));
    }

    void pickList() {
        Session s;
        s.folder.writeBytes(QStringLiteral("Dokumenty/kptresc.dat"),
                            QByteArray("zaliczka\r\n\r\nAbonament\r\nop\xb3") + "ata\r\n");
        s.open(DocumentKind::KP);
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        s.setCell(3, 0, QStringLiteral("stary tytuł"));
        s.setCell(3, 1, QStringLiteral("5"));
        s.grid()->setCurrentCell(3, 1);
        s.click("SpeedButton6");
        QListWidget* list = s.lista();
        QVERIFY(list->isVisible());
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries.append(list->item(i)->text());
        QCOMPARE(entries, QStringList({QString(), QStringLiteral("Abonament"),
                                       QStringLiteral("opłata"), QStringLiteral("zaliczka")}));

        // Nothing selected: a double click inserts nothing and the list stays.
        list->clearSelection();
        s.window->insertPickedText();
        QVERIFY(list->isVisible());
        QCOMPARE(s.cell(3, 0), QStringLiteral("stary tytuł"));

        const QRect item = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QVERIFY(!list->isVisible());
        QCOMPARE(s.cell(3, 0), QStringLiteral("opłata"));
        QCOMPARE(s.cell(3, 1), QStringLiteral("5"));

        // Esc hides the list and inserts nothing; reopening lists the file afresh.
        s.click("SpeedButton6");
        QCOMPARE(list->count(), 4);
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QCOMPARE(s.cell(3, 0), QStringLiteral("opłata"));
    }

    void pickListWithoutLibrary() {
        Session s;
        s.open(DocumentKind::KW);
        s.click("SpeedButton6");
        QVERIFY(!s.lista()->isVisible());
    }

    void blockEditor() {
        Session s;
        s.open(DocumentKind::KP);
        s.click("SpeedButton8");
        QWidget* panel = s.find<QWidget>("Panel2");
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->geometry(), QRect(96, 56, 413, 273));
        QCOMPARE(s.label("Label21"), QStringLiteral("Komu/Od kogo"));
        QCOMPARE(s.text("pole1"), QStringLiteral("Zakład Mięsny"));
        QCOMPARE(s.text("pole4"), QStringLiteral("łódzkie"));
        s.setText("pole2", QStringLiteral("Kraków"));
        s.click("SpeedButton9");
        QVERIFY(!panel->isVisible());
        QCOMPARE(s.label("Label10"), QStringLiteral("Kraków"));
        QCOMPARE(s.label("Label9"), QStringLiteral("Zakład Mięsny"));
        QCOMPARE(s.label("Label4"), QStringLiteral("ul. Polna 1"));

        s.click("SpeedButton7");
        QCOMPARE(s.label("Label21"), QStringLiteral("Kto"));
        QCOMPARE(s.text("pole1"), QStringLiteral("Biuro Rachunkowe"));
        s.setText("pole1", QStringLiteral("Inne biuro"));
        s.click("SpeedButton10");
        QVERIFY(!panel->isVisible());
        QCOMPARE(s.label("Label3"), QStringLiteral("Biuro Rachunkowe"));
        // Only on screen: the own company data stay.
        s.click("SpeedButton7");
        s.setText("pole1", QStringLiteral("Inne biuro"));
        s.click("SpeedButton9");
        QCOMPARE(s.label("Label3"), QStringLiteral("Inne biuro"));
        QCOMPARE(s.ws.firma.lines[0], QStringLiteral("Biuro Rachunkowe"));
    }

    void clearCalculatorAndEditor() {
        Session s;
        s.open(DocumentKind::KW);
        s.window->setGrid(sampleGrid());
        s.setText("numerkp", QStringLiteral("4"));
        s.setText("gotowka", QStringLiteral("   10.00"));
        s.click("SpeedButton14");
        QCOMPARE(s.window->grid(), VoucherGrid{});
        QCOMPARE(s.text("numerkp"), QStringLiteral("4"));
        QCOMPARE(s.text("gotowka"), QStringLiteral("   10.00"));
        QCOMPARE(s.label("Label9"), QStringLiteral("Zakład Mięsny"));

        s.click("SpeedButton2");
        QCOMPARE(s.started, QStringList{commands::kalkulator()});
        s.click("SpeedButton5");
        QCOMPARE(s.notepadRequests.size(), 1);
        QCOMPARE(s.notepadRequests[0].fileName, QStringLiteral("\\DOKUMENTY\\kwtresc.dat"));
        QCOMPARE(s.notepadRequests[0].title, QStringLiteral("Edytor stałej treści"));
        QCOMPARE(s.notepadRequests[0].mode, 2);
    }

    void saveParameters_data() {
        QTest::addColumn<bool>("boss");
        QTest::addColumn<QString>("numerkp");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<qint32>("next");
        QTest::addColumn<QString>("stored");
        QTest::newRow("57 and 2006") << true << "57"
                                     << "2006" << 57 << "2006";
        QTest::newRow("12x stores 12") << true << "12x"
                                       << "" << 12 << "";
        QTest::newRow("letters store 0") << true << "abc"
                                         << "A" << 0 << "A";
        QTest::newRow("suffix cut to 10") << true << "3"
                                          << "200620072008" << 3 << "2006200720";
        QTest::newRow("below the boss") << false << "57"
                                        << "2006" << 1 << "";
    }

    void saveParameters() {
        QFETCH(bool, boss);
        QFETCH(QString, numerkp);
        QFETCH(QString, suffix);
        QFETCH(qint32, next);
        QFETCH(QString, stored);
        Session s;
        s.open(DocumentKind::KP, boss);
        s.setText("numerkp", numerkp);
        s.setText("rozszerzeniekp", suffix);
        if (!boss)
            s.prompts.expectInformation(QStringLiteral(
                "Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."));
        s.window->Timer1Timer();
        s.click("SpeedButton15");
        QCOMPARE(readCounter(s.ws, DocumentKind::KP), CounterRecord({next, stored}));
        QCOMPARE(s.text("numerkp"), numerkp);
    }

    // The typed number counts only once stored; printing shows what the counter gave.
    void printingTakesTheStoredNumber() {
        Session s;
        s.open(DocumentKind::KP, true);
        s.window->setGrid(sampleGrid());
        s.setText("numerkp", QStringLiteral("57"));
        s.setText("rozszerzeniekp", QStringLiteral("2006"));

        s.dialogs.expectPrintCancel();
        s.click("SpeedButton13");
        QCOMPARE(s.text("numerkp"), QStringLiteral("57"));
        QCOMPARE(readCounter(s.ws, DocumentKind::KP).next, 1);

        TraceSurface first(600, 600);
        s.dialogs.expectPrint(first);
        s.click("SpeedButton13");
        QCOMPARE(s.text("numerkp"), QStringLiteral("1"));
        QCOMPARE(s.text("rozszerzeniekp"), QString());
        QCOMPARE(readCounter(s.ws, DocumentKind::KP), CounterRecord({2, QString()}));
        QVERIFY(first.lines().contains(
            QStringLiteral("text\t240\t144\t\t-125\tb\t#000000\tDowód wpłaty KP nr 1/")));

        // Stored at the boss level, the next print bears 57/2006 and leaves 58; typing into
        // the total just before printing changes nothing, and "Kolor" prints in colour.
        s.setText("numerkp", QStringLiteral("57"));
        s.setText("rozszerzeniekp", QStringLiteral("2006"));
        s.window->Timer1Timer();
        s.click("SpeedButton15");
        s.setText("razem", QStringLiteral("1.00"));
        s.find<QRadioButton>("k2")->setChecked(true);
        TraceSurface second(600, 600);
        s.dialogs.expectPrint(second);
        s.click("SpeedButton13");
        QCOMPARE(s.window->colourMode(), 1);
        QCOMPARE(s.text("numerkp"), QStringLiteral("57"));
        QCOMPARE(readCounter(s.ws, DocumentKind::KP), CounterRecord({58, QStringLiteral("2006")}));
        QVERIFY(second.lines().contains(
            QStringLiteral("text\t240\t144\t\t-125\tb\t#008080\tDowód wpłaty KP nr 57/2006")));
        QVERIFY(second.lines().contains(
            QStringLiteral("text\t3648\t2304\tCourier New\t-75\t-\t#000000\t  123.45")));
    }

    void printRefusals() {
        Session s;
        s.open(DocumentKind::KW);
        s.setCell(0, 1, QStringLiteral("2147483648"));
        s.dialogs.expectPrintCancel();
        s.click("SpeedButton13");
        TraceSurface trace(600, 600);
        s.dialogs.expectPrint(trace);
        s.prompts.expectInformation(totalTooLargeMessage());
        s.click("SpeedButton13");
        QCOMPARE(readCounter(s.ws, DocumentKind::KW).next, 1);
        QCOMPARE(s.text("numerkp"), QString());

        // The counter file gone: the platform's error, nothing printed.
        s.setCell(0, 1, QStringLiteral("1"));
        QVERIFY(QFile::remove(s.folder.file(QStringLiteral("Dokumenty/nrkw.dat"))));
        TraceSurface failed(600, 600);
        s.dialogs.expectPrint(failed);
        s.prompts.expectError(QStringLiteral("nrkw.dat"));
        s.click("SpeedButton13");
        QVERIFY(!failed.lines().contains(QStringLiteral("end")));
    }

    // "Słownie z pełną odmianą": off at first, kept for the workstation, printed in full when on,
    // and a choice that cannot be stored goes back.
    void fullWordsOption() {
        Session s;
        s.open(DocumentKind::KP);
        auto* box = s.find<QCheckBox>("odmiana");
        QCOMPARE(box->text(), QStringLiteral("Słownie z pełną odmianą"));
        QVERIFY(!box->isChecked());
        s.setCell(0, 1, QStringLiteral("22.22"));
        const auto wordsOnPaper = [&] {
            TraceSurface trace(600, 600);
            s.dialogs.expectPrint(trace);
            s.click("SpeedButton13");
            return trace.lines().filter(QStringLiteral("Słownie")).first().section(u'\t', 7);
        };
        QCOMPARE(wordsOnPaper(),
                 QStringLiteral("Słownie :dwadzieścia dwa złotych dwadzieścia dwa groszy"));

        box->click();
        QCOMPARE(s.folder.readBytes(QStringLiteral("ADMINI/odmiana.dat")), QByteArray(1, 1));
        QCOMPARE(wordsOnPaper(),
                 QStringLiteral("Słownie: dwadzieścia dwa złote dwadzieścia dwa grosze"));

        // The next start of the program on this workstation keeps the choice.
        Tkp_f again(s.ws, s.prompts, s.dialogs, s.fonts, s.clock, {}, {});
        QVERIFY(again.findChild<QCheckBox*>(QStringLiteral("odmiana"))->isChecked());

        files::FaultInjector faults;
        faults.failWritesAfter(0, ENOSPC);
        s.ws.faults = &faults;
        s.prompts.expectError(QString::fromLocal8Bit(std::strerror(ENOSPC)));
        box->click();
        s.ws.faults = nullptr;
        QVERIFY(box->isChecked());
        QCOMPARE(s.folder.readBytes(QStringLiteral("ADMINI/odmiana.dat")), QByteArray(1, 1));
        QVERIFY(s.prompts.done());
        QVERIFY(s.dialogs.done());
    }

    void documentRoundTrip() {
        Session s;
        s.open(DocumentKind::KP);
        s.window->setGrid(sampleGrid());
        const QString base = s.folder.file(QStringLiteral("Dokumenty/czynsz"));
        s.dialogs.expectSaveFile(base, QStringLiteral("Zapisz dokument"));
        s.click("SpeedButton3");
        QCOMPARE(s.dialogs.lastDir(), s.folder.file(QStringLiteral("Dokumenty")));
        QCOMPARE(s.dialogs.lastFilter(), QStringLiteral("Dokumenty Kp i Kw (*.kpw)"));
        QCOMPARE(s.folder.readBytes(QStringLiteral("Dokumenty/czynsz.kpw")),
                 kpw::toBytes(sampleGrid()));

        // Read into the KW window: the file does not record the kind.
        s.click("SpeedButton1");
        s.open(DocumentKind::KW);
        s.click("SpeedButton14");
        s.setText("gotowka", QStringLiteral("   50.00"));
        s.dialogs.expectOpenFile(QString());
        s.click("SpeedButton4");
        QCOMPARE(s.window->grid(), VoucherGrid{});
        s.dialogs.expectOpenFile(s.folder.file(QStringLiteral("Dokumenty/brak.kpw")));
        s.click("SpeedButton4");
        QCOMPARE(s.window->grid(), VoucherGrid{});
        s.dialogs.expectOpenFile(base + QStringLiteral(".kpw"), QStringLiteral("Czytaj dokument"));
        s.click("SpeedButton4");
        QCOMPARE(s.window->grid(), sampleGrid());
        QCOMPARE(s.text("gotowka"), QStringLiteral("   50.00"));

        // An empty grid saves 20 empty slots and loading it empties the grid.
        s.click("SpeedButton14");
        s.dialogs.expectSaveFile(s.folder.file(QStringLiteral("Dokumenty/pusty.kpw")));
        s.click("SpeedButton3");
        QCOMPARE(s.folder.readBytes(QStringLiteral("Dokumenty/pusty.kpw")),
                 QByteArray(kpw::Size, '\0'));
        s.window->setGrid(sampleGrid());
        s.dialogs.expectOpenFile(s.folder.file(QStringLiteral("Dokumenty/pusty.kpw")));
        s.click("SpeedButton4");
        QCOMPARE(s.window->grid(), VoucherGrid{});
        // A cancelled save writes nothing.
        s.dialogs.expectSaveFile(QString());
        s.click("SpeedButton3");
        QCOMPARE(QDir(s.folder.file(QStringLiteral("Dokumenty")))
                     .entryList({QStringLiteral("*.kpw")}, QDir::Files),
                 QStringList({QStringLiteral("czynsz.kpw"), QStringLiteral("pusty.kpw")}));
    }

    void leavingKeepsTheVoucher() {
        Session s;
        s.open(DocumentKind::KP);
        s.window->setGrid(sampleGrid());
        s.setText("gotowka", QStringLiteral("  200.00"));
        s.setText("numerkp", QStringLiteral("9"));
        s.find<QRadioButton>("k2")->setChecked(true);
        s.click("SpeedButton1");
        QVERIFY(!s.window->isVisible());
        QVERIFY(!s.window->isEnabled());
        s.open(DocumentKind::KP);
        QVERIFY(s.window->isVisible() && s.window->isEnabled());
        QCOMPARE(s.window->grid(), sampleGrid());
        QCOMPARE(s.text("gotowka"), QStringLiteral("  200.00"));
        QCOMPARE(s.text("numerkp"), QStringLiteral("9"));
        QVERIFY(s.find<QRadioButton>("k1")->isChecked());
        QCOMPARE(s.text("razem"), QString());
        s.window->Timer1Timer();
        QCOMPARE(s.text("razem"), QStringLiteral("  123.45"));
        QCOMPARE(s.text("reszta"), QStringLiteral("   76.55"));
    }

    void missingVoucherDirectory() {
        Session s(false);
        s.prompts.expectError(QStringLiteral("DOKUMENTY/nrkp"));
        QVERIFY(!s.open(DocumentKind::KP));
        QVERIFY(!s.window->isVisible());
    }
};

KESTRANA_TEST(VoucherWindowTest)
#include "VoucherWindowTest.moc"
