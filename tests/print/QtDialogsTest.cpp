#include "print/QtDialogs.h"
#include "platform/IoError.h"
#include "print/PageHelper.h"
#include "print/Surface.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

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

// Runs `act` on the next modal dialog as soon as it is shown.
void actOnNextDialog(std::function<void(QDialog*)> act) {
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

    // Every installed style of two families, with and without effects: the dialog opens on
    // exactly the stored face, size and style, and OK without a change gives them back.
    void fontDialogShowsTheStoredStyle_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("installedStyle");
        QTest::addColumn<int>("effects");
        for (const QString& family :
             {QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Sans")}) {
            const QStringList styles = QFontDatabase::styles(family);
            QVERIFY2(styles.size() >= 4, qPrintable(family));
            for (const QString& style : styles) {
                for (const int effects : {0, int(fontstyle::StrikeOut),
                                          int(fontstyle::Underline | fontstyle::StrikeOut)})
                    QTest::addRow("%s %s %d", qPrintable(family), qPrintable(style), effects)
                        << family << style << effects;
            }
        }
    }
    void fontDialogShowsTheStoredStyle() {
        QFETCH(QString, family);
        QFETCH(QString, installedStyle);
        QFETCH(int, effects);
        const bool bold = QFontDatabase::bold(family, installedStyle);
        const bool italic = QFontDatabase::italic(family, installedStyle);
        const FontChoice stored{
            family, 11,
            std::uint8_t((bold ? fontstyle::Bold : 0) | (italic ? fontstyle::Italic : 0) | effects),
            QColor(Qt::darkBlue)};
        QString shownStyle;
        QFont shownFont;
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer->stop();
            timer->deleteLater();
            shownFont = dialog->findChild<QFontDialog*>()->currentFont();
            dialog->accept();
        });
        timer->start();
        QtDialogs dialogs;
        const std::optional<FontChoice> chosen = dialogs.chooseFont(stored);
        QVERIFY(chosen);
        QCOMPARE(*chosen, stored);
        // The style shown is the family's plain one for these bits, not a condensed cousin.
        QCOMPARE(shownFont.family(), family);
        QCOMPARE(shownFont.pointSize(), 11);
        QCOMPARE(QFontDatabase::bold(family, shownFont.styleName()), bold);
        QCOMPARE(QFontDatabase::italic(family, shownFont.styleName()), italic);
        QVERIFY2(!shownFont.styleName().contains(QLatin1String("Condensed")),
                 qPrintable(shownFont.styleName()));
        QCOMPARE(shownFont.strikeOut(), bool(effects & fontstyle::StrikeOut));
        QCOMPARE(shownFont.underline(), bool(effects & fontstyle::Underline));
    }

    void printDialogGivesAPrinterSurface() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Wydruk 7.pdf"));
        QtDialogs dialogs;
        dialogs.setDocumentsFolder(dir.path());
        answerNextDialog(false);
        QVERIFY(!dialogs.choosePrinter(PrintDocument(QStringLiteral("Wydruk"))));

        answerNextDialog(true);
        std::unique_ptr<Surface> surface = dialogs.choosePrinter(
            PrintDocument(QStringLiteral("Wydruk"), QStringLiteral("Wydruk 7")));
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
        dialogs.setDocumentsFolder(dir.path());
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
            dialogs.previewPrint({QStringLiteral("Wydruk"), QStringLiteral("podgląd")},
                                 [&](Surface& surface, bool printing) {
                                     drawings.append(printing);
                                     // A landscape printout that puts the printer back to portrait
                                     // at its end.
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

    // A printout on other paper (an envelope) puts the printer's page back when it ends; the
    // preview still lays its pages out on the paper drawn on, and the printer keeps its page.
    void previewKeepsThePaperDrawnOn() {
        QTemporaryDir dir;
        QtDialogs dialogs;
        dialogs.setDocumentsFolder(dir.path());
        const QPageSize printerPage = dialogs.printer().pageLayout().pageSize();
        QPageSize previewed;
        auto* timer = new QTimer;
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
            auto* window = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!window)
                return;
            timer->stop();
            timer->deleteLater();
            previewed = window->printer()->pageLayout().pageSize();
            window->reject();
        });
        timer->start();
        QVERIFY(!dialogs.previewPrint(QStringLiteral("Koperta"), [](Surface& surface, bool) {
            const QPageSize own = surface.paper();
            surface.setPaper(QPageSize(QPageSize::DLE));
            PageHelper page(surface);
            page.beginDocument();
            page.UstawStrone();
            page.Pisz(10, 10, QStringLiteral("Jan Kowalski"));
            page.ZakonczWydruk();
            surface.setPaper(own);
        }));
        QCOMPARE(previewed.id(), QPageSize::DLE);
        QCOMPARE(dialogs.printer().pageLayout().pageSize().id(), printerPage.id());
    }

    // A drawing that fails closes the window and the caller gets the error; closing the window
    // prints nothing.
    void previewFailureAndClose() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Wydruk.pdf"));
        QtDialogs dialogs;
        dialogs.setDocumentsFolder(dir.path());
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

    // The take-over dialog gives back what is ticked and chosen; a single value is shown but
    // offers no choice.
    void takeOverDialogReturnsTheChoice() {
        QtDialogs dialogs;
        const QList<TakeOverItem> items = {
            {QStringLiteral("Nazwa"), {QStringLiteral("Firma")}, 0, true},
            {QStringLiteral("REGON"), {QStringLiteral("123456785")}, 0, true},
            {QStringLiteral("Konto"),
             {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
             1,
             true},
        };
        answerNextDialog(true);
        QCOMPARE(dialogs.chooseTakeOver(QStringLiteral("Dane"), QStringLiteral("Raport"), items),
                 std::optional<TakeOverAnswer>({0, 0, 1}));

        actOnNextDialog([](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Dane"));
            const QList<QCheckBox*> boxes = dialog->findChildren<QCheckBox*>();
            const QList<QComboBox*> values = dialog->findChildren<QComboBox*>();
            QCOMPARE(boxes.size(), 3);
            QCOMPARE(values.size(), 1);
            boxes[1]->setChecked(false);
            values[0]->setCurrentIndex(2);
            boxes[2]->setChecked(false);
            QVERIFY(!values[0]->isEnabled());
            boxes[2]->setChecked(true);
            dialog->accept();
        });
        QCOMPARE(dialogs.chooseTakeOver(QStringLiteral("Dane"), QStringLiteral("Raport"), items),
                 std::optional<TakeOverAnswer>({0, -1, 2}));

        answerNextDialog(false);
        QVERIFY(!dialogs.chooseTakeOver(QStringLiteral("Dane"), QStringLiteral("Raport"), items));
    }
};

KESTRANA_TEST(QtDialogsTest)
#include "QtDialogsTest.moc"
