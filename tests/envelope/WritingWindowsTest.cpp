#include "envelope/GroupMailWindow.h"
#include "envelope/LabelsWindow.h"
#include "print/FontSettings.h"
#include "print/TraceSurface.h"
#include "support/DataFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "support/TestRegistry.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace kestrana;
using kestrana::test::DataFolder;

namespace {

EntryRecord company(int id, const QString& mail, bool address = true) {
    EntryRecord r = test::entry(QString::number(id), QStringLiteral("Firma %1").arg(id));
    r.setText(Field::mail, mail);
    if (address) {
        r.setText(Field::adres, QStringLiteral("ul. Krótka %1").arg(id));
        r.setText(Field::miejscowosc, QStringLiteral("00-950 Warszawa"));
    }
    return r;
}

template <typename T> T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

} // namespace

// The windows of "Wyślij e-mail do listy…" and "Etykiety adresowe…" reach their rules.
class WritingWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void groupMailButtons() {
        DataFolder folder;
        groupmail::Collector collected;
        collected.add(company(2, QStringLiteral("a@b.pl; c@d.pl")));
        collected.add(company(3, QStringLiteral("e+f@g.pl")));
        test::ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        QList<QUrl> opened;
        bool mailClient = true;
        GroupMailWindow window(
            collected, prompts, dialogs,
            [&](const QUrl& url) {
                opened << url;
                return mailClient;
            },
            folder.path());
        child<QSpinBox>(window, "wGrupie")->setValue(2);
        auto* open = child<QPushButton>(window, "otworz");
        QCOMPARE(open->text(), QStringLiteral("&Otwórz w programie pocztowym (grupa 1 z 2)"));
        open->click();
        open->click();
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened[0].toEncoded(), QByteArray("mailto:?bcc=a%40b.pl,c%40d.pl"));
        QCOMPARE(opened[1].toEncoded(), QByteArray("mailto:?bcc=e%2Bf%40g.pl"));
        mailClient = false;
        prompts.expectError(QStringLiteral("programu pocztowego"));
        open->click();

        const QString file = folder.file(QStringLiteral("adresy"));
        dialogs.expectSaveFile(file);
        prompts.expectInformation(QStringLiteral("Zapisano adresy (3) do pliku %1.txt.").arg(file));
        child<QPushButton>(window, "zapisz")->click();
        QFile saved(file + QStringLiteral(".txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("a@b.pl\nc@d.pl\ne+f@g.pl\n"));
    }

    void labelsWindowCountsPrintsAndKeepsSheets() {
        DataFolder folder;
        folder.writeEntries({company(2, {}), company(3, {}), company(4, {}, false)});
        test::ScriptedPrompts prompts;
        test::ScriptedDialogs dialogs;
        FontSettings fonts(folder.path());
        LabelsWindow window({folder.path(), folder.file(QStringLiteral("DANE/spis_ks.dat")),
                             QStringLiteral("2026-12-08")},
                            prompts, dialogs, fonts);
        auto* count = child<QLabel>(window, "liczba");
        QCOMPARE(count->text(), QStringLiteral("Etykiet: 2 (wpisów bez adresu: 1), arkuszy: 1."));
        child<QSpinBox>(window, "start")->setValue(14); // the last label of a 2 × 7 sheet
        QCOMPARE(count->text(), QStringLiteral("Etykiet: 2 (wpisów bez adresu: 1), arkuszy: 2."));

        TraceSurface printer(300, 300);
        dialogs.expectPrint(printer);
        child<QPushButton>(window, "drukuj")->click();
        QCOMPARE(printer.lines().filter(QStringLiteral("page")).size(), 1);
        QCOMPARE(printer.lines().filter(QStringLiteral("ul. Krótka")).size(), 2);

        // A sheet of this workstation: refused while it does not fit, kept when it does.
        child<QLineEdit>(window, "nazwa")->setText(QStringLiteral("Moje"));
        child<QLineEdit>(window, "wymiar1")->setText(QStringLiteral("110"));
        prompts.expectInformation(
            QStringLiteral("Etykiety nie mieszczą się na szerokości strony A4 (210 mm): "
                           "margines, etykiety i odstępy zajmują 227,15 mm."));
        child<QPushButton>(window, "zapiszArkusz")->click();
        child<QLineEdit>(window, "wymiar1")->setText(QStringLiteral("100"));
        child<QPushButton>(window, "zapiszArkusz")->click();
        auto* sheets = child<QComboBox>(window, "arkusz");
        QCOMPARE(sheets->count(), 5);
        QVERIFY(sheets->currentText().startsWith(QStringLiteral("Moje — 2 × 7, 100 × 38,1 mm")));
        QCOMPARE(readUserSheets(folder.path()).size(), 1);
    }
};

KESTRANA_TEST(WritingWindowsTest)
#include "WritingWindowsTest.moc"
