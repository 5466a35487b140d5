#include "cash/CompanyData.h"
#include "cash/CompanyDataDialog.h"
#include "platform/CheckedFile.h"
#include "station/SmallRecords.h"
#include "station/Workstation.h"
#include "support/DataFolder.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cerrno>

using namespace kestrana;
using kestrana::test::DataFolder;
using kestrana::test::ScriptedPrompts;

namespace {

CompanyRecord sample() {
    CompanyRecord r;
    r.lines = {QStringLiteral("Biuro Rachunkowe „Żuraw”"), QStringLiteral("ul. Źródlana 1"),
               QStringLiteral("00-001 Warszawa"),          QStringLiteral("NIP 111-222-33-44"),
               QStringLiteral("Bank Spółdzielczy"),        QStringLiteral("12 3456 7890")};
    return r;
}

struct Office {
    DataFolder folder;
    Workstation ws;
    ScriptedPrompts prompts;
    Office() { ws.baseDir = ws.workDir = folder.path(); }
    QByteArray stored() const { return folder.readBytes(QStringLiteral("ADMINI/firma.dat")); }
};

} // namespace

class CompanyDataTest : public QObject {
    Q_OBJECT

private slots:

    void showsAndStoresTheSixLines() {
        Office o;
        CompanyRecord old;
        old.lines[0] = QStringLiteral("Stara nazwa");
        old.lines[5] = QStringLiteral("Stare konto");
        o.folder.writeBytes(QStringLiteral("ADMINI/firma.dat"), old.toBytes());
        CompanyDataDialog dialog(o.ws, o.prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Dane firmy"));
        QCOMPARE(dialog.line(0)->text(), QStringLiteral("Stara nazwa"));
        QCOMPARE(dialog.line(5)->text(), QStringLiteral("Stare konto"));
        for (int i = 0; i < 6; ++i)
            dialog.line(i)->setText(sample().lines[i]);
        dialog.findChild<QPushButton*>(QStringLiteral("zapisz"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(o.stored(), sample().toBytes());
        QCOMPARE(dialog.stored().lines, sample().lines);
    }

    void missingFileStartsEmpty() {
        Office o;
        CompanyDataDialog dialog(o.ws, o.prompts);
        QCOMPARE(dialog.typed().lines, CompanyRecord().lines);
        dialog.line(0)->setText(QString(50, QChar(u'ż')));
        QVERIFY(dialog.save());
        QCOMPARE(o.stored().size(), CompanyRecord::Size);
        QCOMPARE(o.stored().mid(0, 2), QByteArray("\x32\xbf"));
    }

    void refusesWhatTheFileCannotHold_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("51 characters")
            << 2 << QString(51, QLatin1Char('x'))
            << "Wiersz 2 jest za długi (liczba znaków: 51, najwyżej 50). Skróć go.";
        QTest::newRow("arrow") << 4 << "NIP → 111"
                               << "Wiersz 4 zawiera znak „→”, którego nie można zapisać w danych "
                                  "firmy. Usuń go lub zastąp innym.";
        QTest::newRow("character beyond the BMP")
            << 1 << QStringLiteral("Kwiaciarnia 🌷")
            << QStringLiteral("Wiersz 1 zawiera znak „🌷”, którego nie można zapisać w danych "
                              "firmy. Usuń go lub zastąp innym.");
        QTest::newRow("tab") << 6 << "12\t34"
                             << "Wiersz 6 zawiera znak „kod 9”, którego nie można zapisać w "
                                "danych firmy. Usuń go lub zastąp innym.";
    }

    void refusesWhatTheFileCannotHold() {
        QFETCH(int, line);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Office o;
        o.folder.writeBytes(QStringLiteral("ADMINI/firma.dat"), sample().toBytes());
        CompanyDataDialog dialog(o.ws, o.prompts);
        dialog.line(line - 1)->setText(text);
        o.prompts.expectInformation(message);
        QVERIFY(!dialog.save());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(o.stored(), sample().toBytes());
        QCOMPARE(companydata::problem(dialog.typed()), message);
        // Fixed, it is stored as typed.
        dialog.line(line - 1)->setText(text.left(2));
        QVERIFY(dialog.save());
        QCOMPARE(CompanyRecord::fromBytes(o.stored()).lines[line - 1], text.left(2));
    }

    void failedWriteKeepsTheOldFile() {
        Office o;
        o.folder.writeBytes(QStringLiteral("ADMINI/firma.dat"), sample().toBytes());
        CompanyDataDialog dialog(o.ws, o.prompts);
        dialog.line(0)->setText(QStringLiteral("Nowa nazwa"));
        files::FaultInjector faults;
        o.ws.faults = &faults;
        faults.failWritesAfter(100, ENOSPC);
        o.prompts.expectError();
        QVERIFY(!dialog.save());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(o.stored(), sample().toBytes());
        QCOMPARE(dialog.stored().lines, sample().lines);
    }
};

KESTRANA_TEST(CompanyDataTest)
#include "CompanyDataTest.moc"
