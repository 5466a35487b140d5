#include "print/QtDialogs.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace kestrana;

namespace {

// Runs `act` on the next modal dialog as soon as it is shown.
void onNextDialog(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

QPushButton* button(QDialog* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

const QStringList kButtons = {QStringLiteral("Dodaj wszystkie"), QStringLiteral("Dodaj tylko nowe"),
                              QStringLiteral("Anuluj")};

} // namespace

// The decision window of the platform's dialogs: what it shows, and which button it reports.
class ChoiceDialogTest : public QObject {
    Q_OBJECT

private slots:
    void reportsTheButtonPressed_data() {
        QTest::addColumn<QString>("press"); // empty: the window is closed otherwise
        QTest::addColumn<int>("index");
        QTest::newRow("first") << "Dodaj wszystkie" << 0;
        QTest::newRow("second") << "Dodaj tylko nowe" << 1;
        QTest::newRow("cancel") << "Anuluj" << 2;
        QTest::newRow("closed") << "" << 2;
    }
    void reportsTheButtonPressed() {
        QFETCH(QString, press);
        QFETCH(int, index);
        QtDialogs dialogs;
        QString summary;
        QString details;
        bool cancelIsDefault = false;
        onNextDialog([&](QDialog* dialog) {
            summary = dialog->findChild<QLabel*>()->text();
            details = dialog->findChild<QPlainTextEdit*>()->toPlainText();
            cancelIsDefault = button(dialog, QStringLiteral("Anuluj"))->isDefault();
            if (press.isEmpty())
                dialog->reject();
            else
                button(dialog, press)->click();
        });
        QCOMPARE(dialogs.choose(QStringLiteral("Import z CSV"), QStringLiteral("Wiersze: 2."),
                                QStringLiteral("wiersz 2: powód"), kButtons),
                 index);
        QCOMPARE(summary, QStringLiteral("Wiersze: 2."));
        QCOMPARE(details, QStringLiteral("wiersz 2: powód"));
        QVERIFY(cancelIsDefault); // Enter never adds anything by accident
    }

    void withoutDetailsThereIsNoList() {
        QtDialogs dialogs;
        bool list = true;
        onNextDialog([&](QDialog* dialog) {
            list = dialog->findChild<QPlainTextEdit*>() != nullptr;
            button(dialog, QStringLiteral("Dodaj wszystkie"))->click();
        });
        QCOMPARE(dialogs.choose(QStringLiteral("Import z CSV"), QStringLiteral("Wiersze: 2."),
                                QString(), kButtons),
                 0);
        QVERIFY(!list);
    }
};

KESTRANA_TEST(ChoiceDialogTest)
#include "ChoiceDialogTest.moc"
