#include "platform/QtDialogs.h"
#include "print/PageHelper.h"
#include "print/Surface.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kestrana;

namespace {

// Answers the next modal dialog as soon as it is shown (accept or reject).
void answerNextDialog(bool accept) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, accept] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    timer->start();
}

} // namespace

// The platform's dialogs, answered without a user: what goes in comes back out.
class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void fontDialogReturnsItsPreset() {
        QtDialogs dialogs;
        const FontChoice preset{QStringLiteral("Liberation Mono"), 15,
                                fontstyle::Bold | fontstyle::Underline, QColor(Qt::red)};
        answerNextDialog(true);
        const std::optional<FontChoice> chosen = dialogs.chooseFont(preset);
        QVERIFY(chosen);
        QCOMPARE(*chosen, preset);
        answerNextDialog(false);
        QVERIFY(!dialogs.chooseFont(preset));
    }

    void printDialogGivesAPrinterSurface() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("wydruk.pdf"));
        QtDialogs dialogs;
        dialogs.printer().setOutputFileName(path);
        answerNextDialog(false);
        QVERIFY(!dialogs.choosePrinter(QStringLiteral("Wydruk")));

        answerNextDialog(true);
        std::unique_ptr<Surface> surface = dialogs.choosePrinter(QStringLiteral("Wydruk"));
        QVERIFY(surface);
        PageHelper page(*surface);
        page.beginDocument();
        page.UstawStrone();
        page.Pisz(10, 10, QStringLiteral("Próba"));
        page.ZakonczWydruk();
        QVERIFY(QFile(path).size() > 0);
    }
};

KESTRANA_TEST(QtDialogsTest)
#include "QtDialogsTest.moc"
