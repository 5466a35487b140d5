#include "platform/IoError.h"
#include "print/PageHelper.h"
#include "print/PainterSurface.h"
#include "print/QtPrinterSurface.h"
#include "support/Poppler.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <stdexcept>

using namespace kestrana;

using kestrana::test::poppler;

namespace {

const QString kPolish = QStringLiteral("Zażółć gęślą jaźń ŻÓŁW");

// Two pages: a frame with Polish text on the first, a line on the second.
void twoPages(PageHelper& page) {
    page.beginDocument();
    page.UstawStrone();
    page.Czcionka(QStringLiteral("Arial"), 12);
    page.Ramka(10, 10, 150, 10);
    page.Pisz(12, 12, kPolish);
    page.Pogrubienie(1);
    page.Pisz(12, 30, QStringLiteral("Pogrubiony"));
    page.drawPicture(100, 1000, 300, 1100, QImage(20, 10, QImage::Format_RGB32));
    page.newPage();
    page.Pogrubienie(0);
    page.Pisz(12, 12, QStringLiteral("Strona druga"));
    page.ZakonczWydruk();
}

void checkPdf(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
    const QString text = poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (text.isNull()) {
        qInfo("pdftotext is not installed: the PDF's text is not checked");
        return;
    }
    QVERIFY2(text.contains(kPolish), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Strona druga")));
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    if (!info.isNull())
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))),
                 qPrintable(info));
}

} // namespace

class PdfPrintTest : public QObject {
    Q_OBJECT

private slots:
    void printerToPdfFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("wydruk.pdf"));
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        PrinterSurface surface(std::move(printer));
        QCOMPARE(surface.dpiX(), 1200);
        PageHelper page(surface);
        twoPages(page);
        QCOMPARE(page.metrics().dotsX, 48);
        QCOMPARE(surface.printer().printerState(), QPrinter::Idle);
        checkPdf(path);
    }

    void pdfWriterWithoutPrinter() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("wydruk.pdf"));
        PdfSurface surface(path, 600);
        QCOMPARE(surface.dpiX(), 600);
        QCOMPARE(surface.dpiY(), 600);
        surface.setLandscape(true);
        QVERIFY(surface.landscape());
        surface.setLandscape(false);
        PageHelper page(surface);
        twoPages(page);
        checkPdf(path);
    }

    void fontHeightIsTheCharacterHeight() {
        QTemporaryDir dir;
        PdfSurface surface(dir.filePath(QStringLiteral("f.pdf")), 600);
        const QFont font = surface.deviceFont(
            SurfaceFont{QStringLiteral("Courier New"), -75, fontstyle::Bold | fontstyle::Italic});
        QCOMPARE(font.pixelSize(), 75);
        QVERIFY(font.bold() && font.italic() && !font.underline());
        // Height 0 is the platform's default of 10 points at the device's resolution.
        QCOMPARE(surface.deviceFont(SurfaceFont{}).pixelSize(), 83);
    }

    void unwritablePdfReportsAnError() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/wydruk.pdf"));
        PdfSurface surface(path, 600);
        PageHelper page(surface);
        QVERIFY_THROWS_EXCEPTION(IoError, page.beginDocument());
        QVERIFY(!page.documentOpen());
        QVERIFY(!QFile::exists(path));
    }

    // A printout that fails half-way leaves no half-written PDF behind.
    void failedPrintoutRemovesThePdf() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("wydruk.pdf"));
        PdfSurface surface(path, 600);
        try {
            PageHelper page(surface);
            page.beginDocument();
            page.UstawStrone();
            page.Pisz(1, 1, kPolish);
            throw std::runtime_error("list file unreadable");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!QFile::exists(path));
    }
};

KESTRANA_TEST(PdfPrintTest)
#include "PdfPrintTest.moc"
