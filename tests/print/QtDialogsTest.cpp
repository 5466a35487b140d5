#include "print/QtDialogs.h"
#include "platform/IoError.h"
#include "print/PageHelper.h"
#include "print/Surface.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
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

    // The preview window shows every page; its print button draws the document again on the
    // printer, which is the only drawing that counts as printed.
    void previewShowsThePagesAndPrints() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("podgląd.pdf"));
        QtDialogs dialogs;
        dialogs.printer().setOutputFileName(path);
        QList<bool> drawings;
        int previewPages = -1;
        QPageLayout::Orientation previewOrientation = QPageLayout::Portrait;
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
            auto* window = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!window)
                return;
            timer->stop();
            timer->deleteLater();
            auto* widget = window->findChild<QPrintPreviewWidget*>();
            previewPages = widget->pageCount();
            previewOrientation = widget->orientation();
            widget->print();
            window->accept();
        });
        timer->start();
        const bool printed =
            dialogs.previewPrint(QStringLiteral("Wydruk"), [&](Surface& surface, bool printing) {
                drawings.append(printing);
                // A landscape printout that puts the printer back to portrait at its end.
                PageHelper page(surface);
                page.UstawPoziomo();
                page.beginDocument();
                page.UstawStrone();
                for (int n = 1; n <= 3; ++n) {
                    if (n > 1)
                        page.newPage();
                    page.Pisz(10, 10, QStringLiteral("Strona %1").arg(n));
                }
                page.ZakonczWydruk();
                page.UstawPionowo();
            });
        QVERIFY(printed);
        QCOMPARE(previewPages, 3);
        QCOMPARE(previewOrientation, QPageLayout::Landscape);
        QCOMPARE(dialogs.printer().pageLayout().orientation(), QPageLayout::Portrait);
        QVERIFY(!drawings.isEmpty());
        QCOMPARE(drawings.count(true), 1);
        QCOMPARE(drawings.last(), true);
        QVERIFY(QFile(path).size() > 0);
    }

    // A drawing that fails closes the window and the caller gets the error; closing the window
    // prints nothing.
    void previewFailureAndClose() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nic.pdf"));
        QtDialogs dialogs;
        dialogs.printer().setOutputFileName(path);
        QVERIFY_THROWS_EXCEPTION(
            IoError, dialogs.previewPrint(QStringLiteral("Wydruk"), [](Surface&, bool) {
                throw IoError(QStringLiteral("Odczyt"), QStringLiteral("x"), 5);
            }));
        answerNextDialog(false);
        QVERIFY(!dialogs.previewPrint(QStringLiteral("Wydruk"), [](Surface& surface, bool) {
            PageHelper page(surface);
            page.beginDocument();
            page.UstawStrone();
            page.Pisz(10, 10, QStringLiteral("Tylko podgląd"));
            page.ZakonczWydruk();
        }));
        QVERIFY(!QFile::exists(path));
    }
};

KESTRANA_TEST(QtDialogsTest)
#include "QtDialogsTest.moc"
