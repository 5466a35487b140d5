#include "print/QtDialogs.h"

#include "print/QtPrinterSurface.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <optional>

namespace kestrana {

namespace {

QFont fontOf(const FontChoice& choice, const QFont& fallback) {
    QFont font = fallback;
    // A style name would override the style bits below.
    font.setStyleName(QString());
    if (!choice.face.isEmpty())
        font.setFamily(choice.face);
    if (choice.pointSize > 0)
        font.setPointSize(choice.pointSize);
    font.setBold(choice.style & fontstyle::Bold);
    font.setItalic(choice.style & fontstyle::Italic);
    font.setUnderline(choice.style & fontstyle::Underline);
    font.setStrikeOut(choice.style & fontstyle::StrikeOut);
    return font;
}

void showColour(QPushButton* button, const QColor& colour) {
    QPixmap swatch(32, 14);
    swatch.fill(colour);
    button->setIcon(QIcon(swatch));
    button->setIconSize(swatch.size());
}

// A file name for the PDF that stands in for a printer when none is installed.
QString defaultPdfName(const QString& documentName) {
    QString name = documentName.trimmed();
    for (QChar& ch : name) {
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') ||
            ch.category() == QChar::Other_Control)
            ch = QLatin1Char('_');
    }
    if (name.isEmpty())
        name = QStringLiteral("wydruk");
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::homePath();
    return QDir(dir).filePath(name + QStringLiteral(".pdf"));
}

// A printer surface that remembers the orientation its document began in.
class PreviewSurface : public PrinterSurface {
public:
    using PrinterSurface::PrinterSurface;
    void begin() override {
        landscapeAtBegin = landscape();
        PrinterSurface::begin();
    }
    std::optional<bool> landscapeAtBegin;
};

} // namespace

QtDialogs::QtDialogs(QWidget* parent) : parent_(parent) {}

QtDialogs::~QtDialogs() = default;

// The font dialog has no colour of its own: it is embedded with a colour button beside it.
std::optional<FontChoice> QtDialogs::chooseFont(const FontChoice& initial) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("Czcionka"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* fonts = new QFontDialog(&dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setCurrentFont(fontOf(initial, fonts->currentFont()));
    layout->addWidget(fonts);

    QColor colour = initial.colour.isValid() ? initial.colour : QColor(Qt::black);
    auto* colourRow = new QHBoxLayout;
    auto* colourLabel = new QLabel(QStringLiteral("&Kolor:"), &dialog);
    auto* colourButton = new QPushButton(&dialog);
    colourLabel->setBuddy(colourButton);
    showColour(colourButton, colour);
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(colourButton);
    colourRow->addStretch();
    layout->addLayout(colourRow);
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
        const QColor picked = QColorDialog::getColor(colour, &dialog, QStringLiteral("Kolor"));
        if (picked.isValid()) {
            colour = picked;
            showColour(colourButton, colour);
        }
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont font = fonts->currentFont();
    FontChoice choice;
    choice.face = font.family();
    choice.pointSize = font.pointSize() > 0 ? font.pointSize() : initial.pointSize;
    choice.style = (font.bold() ? fontstyle::Bold : 0) | (font.italic() ? fontstyle::Italic : 0) |
                   (font.underline() ? fontstyle::Underline : 0) |
                   (font.strikeOut() ? fontstyle::StrikeOut : 0);
    choice.colour = colour;
    return choice;
}

QPrinter& QtDialogs::printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QPrinter& QtDialogs::printerFor(const QString& documentName) {
    QPrinter& shared = printer();
    shared.setDocName(documentName);
    // Without an installed printer the dialogs still offer printing to a PDF file.
    if (QPrinterInfo::availablePrinterNames().isEmpty() && shared.outputFileName().isEmpty())
        shared.setOutputFileName(defaultPdfName(documentName));
    return shared;
}

std::unique_ptr<Surface> QtDialogs::choosePrinter(const QString& documentName) {
    QPrinter& shared = printerFor(documentName);
    QPrintDialog dialog(&shared, parent_);
    dialog.setWindowTitle(QStringLiteral("Drukowanie"));
    // Page ranges and selections are not offered: every printout prints all of its pages.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return std::make_unique<PrinterSurface>(shared);
}

bool QtDialogs::previewPrint(const QString& documentName, const PreviewDrawing& draw) {
    QPrinter& shared = printerFor(documentName);
    QPrintPreviewDialog dialog(&shared, parent_);
    dialog.setWindowTitle(QStringLiteral("Podgląd wydruku"));
    dialog.resize(900, 700);
    bool printed = false;
    std::exception_ptr failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        // The preview draws through a recording engine; the print button of the window draws
        // on the printer's own engine.
        const QPaintEngine* engine = target->paintEngine();
        const bool printing = engine && engine->type() != QPaintEngine::Picture;
        try {
            PreviewSurface surface(*target);
            draw(surface, printing);
            // Printouts put the printer back to portrait when they end; the window lays its
            // pages out afterwards and must see the orientation the document was drawn in.
            if (!printing && surface.landscapeAtBegin)
                surface.setLandscape(*surface.landscapeAtBegin);
            printed = printed || printing;
        } catch (...) {
            // Exceptions must not cross Qt's event loop: the window closes, the caller reports.
            if (!failure)
                failure = std::current_exception();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        }
    });
    dialog.exec();
    shared.setPageOrientation(QPageLayout::Portrait);
    if (failure)
        std::rethrow_exception(failure);
    return printed;
}

QString QtDialogs::openFileName(const QString& caption, const QString& dir, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, caption, dir, filter);
}

QString QtDialogs::saveFileName(const QString& caption, const QString& dir, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, caption, dir, filter);
}

} // namespace kestrana
