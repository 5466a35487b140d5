#include "print/QtDialogs.h"

#include "print/QtPrinterSurface.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>
#include <exception>
#include <limits>
#include <optional>

namespace kestrana {

namespace {

// The family's own name for a weight and slant: of its styles with them, the one nearest the
// plain weight that is neither condensed nor otherwise narrowed ("Book" rather than
// "Condensed", "Bold" rather than "Condensed Bold"). Empty when the family has none.
QString styleNameFor(const QString& family, bool bold, bool italic) {
    const int wanted = bold ? QFont::Bold : QFont::Normal;
    QString best;
    qint64 bestScore = std::numeric_limits<qint64>::max();
    for (const QString& style : QFontDatabase::styles(family)) {
        if (QFontDatabase::bold(family, style) != bold ||
            QFontDatabase::italic(family, style) != italic)
            continue;
        const qint64 score =
            qint64(std::abs(QFontDatabase::weight(family, style) - wanted)) * 10000 +
            style.split(QLatin1Char(' '), Qt::SkipEmptyParts).size() * 100 + style.size();
        if (score < bestScore) {
            bestScore = score;
            best = style;
        }
    }
    return best;
}

QFont fontOf(const FontChoice& choice, const QFont& fallback) {
    QFont font = fallback;
    // A style name would override the style bits below.
    font.setStyleName(QString());
    if (!choice.face.isEmpty())
        font.setFamily(choice.face);
    if (choice.pointSize > 0)
        font.setPointSize(choice.pointSize);
    const bool bold = choice.style & fontstyle::Bold;
    const bool italic = choice.style & fontstyle::Italic;
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(choice.style & fontstyle::Underline);
    font.setStrikeOut(choice.style & fontstyle::StrikeOut);
    // The dialog finds the style it shows by its name, and a name built from the bits alone
    // ("Normal") is one many families lack: it then showed the first style of the list.
    const QString style = styleNameFor(font.family(), bold, italic);
    if (!style.isEmpty())
        font.setStyleName(style);
    return font;
}

void showColour(QPushButton* button, const QColor& colour) {
    QPixmap swatch(32, 14);
    swatch.fill(colour);
    button->setIcon(QIcon(swatch));
    button->setIconSize(swatch.size());
}

// A document's file name as a file system takes it: no folder separators or control
// characters, no leading dot, not empty.
QString safeFileName(const QString& name) {
    QString safe = name.simplified();
    for (QChar& ch : safe) {
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch == QLatin1Char(':') ||
            ch.category() == QChar::Other_Control)
            ch = QLatin1Char('-');
    }
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);
    // Room for the extension within the 255 bytes a file name may have.
    while (safe.toUtf8().size() > 200)
        safe.chop(1);
    safe = safe.trimmed();
    return safe.isEmpty() ? QStringLiteral("wydruk") : safe;
}

// A printer surface that remembers the orientation and paper its document began on.
class PreviewSurface : public PrinterSurface {
public:
    using PrinterSurface::PrinterSurface;
    void begin() override {
        landscapeAtBegin = landscape();
        paperAtBegin = paper();
        PrinterSurface::begin();
    }
    std::optional<bool> landscapeAtBegin;
    QPageSize paperAtBegin;
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

QString QtDialogs::documentsFolder() const {
    if (!documentsFolder_.isEmpty())
        return documentsFolder_;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QString QtDialogs::proposedPdf(const PrintDocument& document) const {
    return QDir(documentsFolder())
        .filePath(safeFileName(document.proposedFileName()) + QStringLiteral(".pdf"));
}

QPrinter& QtDialogs::printerFor(const PrintDocument& document) {
    QPrinter& shared = printer();
    shared.setDocName(document.name);
    // Without an installed printer the dialogs still offer printing to a PDF file; a file
    // chosen for the last printout is not what this one should overwrite.
    if (QPrinterInfo::availablePrinterNames().isEmpty() || !shared.outputFileName().isEmpty())
        shared.setOutputFileName(proposedPdf(document));
    return shared;
}

std::unique_ptr<Surface> QtDialogs::choosePrinter(const PrintDocument& document) {
    QPrinter& shared = printerFor(document);
    QPrintDialog dialog(&shared, parent_);
    dialog.setWindowTitle(QStringLiteral("Drukowanie"));
    // A real printer is chosen: the file the dialog offers, should the user switch to printing
    // to a file, is this document's too.
    if (shared.outputFileName().isEmpty()) {
        if (auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
            fileName->setText(proposedPdf(document));
    }
    // Page ranges and selections are not offered: every printout prints all of its pages.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return std::make_unique<PrinterSurface>(shared);
}

bool QtDialogs::previewPrint(const PrintDocument& document, const PreviewDrawing& draw) {
    QPrinter& shared = printerFor(document);
    QPrintPreviewDialog dialog(&shared, parent_);
    dialog.setWindowTitle(QStringLiteral("Podgląd wydruku"));
    dialog.resize(900, 700);
    bool printed = false;
    QPageSize printerPage;
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
            if (!printing && surface.landscapeAtBegin) {
                printerPage = surface.paper();
                surface.setLandscape(*surface.landscapeAtBegin);
                surface.setPaper(surface.paperAtBegin);
            }
            printed = printed || printing;
        } catch (...) {
            // Exceptions must not cross Qt's event loop: the window closes, the caller reports.
            if (!failure)
                failure = std::current_exception();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        }
    });
    dialog.exec();
    // The printer's page and portrait, as the printouts leave the printer.
    shared.setPageOrientation(QPageLayout::Portrait);
    if (printerPage.isValid())
        shared.setPageSize(printerPage);
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

std::optional<TakeOverAnswer> QtDialogs::chooseTakeOver(const QString& caption,
                                                        const QString& report,
                                                        const QList<TakeOverItem>& items) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* shown = new QPlainTextEdit(report, &dialog);
    shown->setReadOnly(true);
    shown->setMinimumSize(560, 200);
    layout->addWidget(shown);
    layout->addWidget(new QLabel(QStringLiteral("Do formularza wstaw:"), &dialog));
    auto* grid = new QGridLayout;
    QList<QCheckBox*> boxes;
    QList<QComboBox*> choices; // null where there is one value: shown, not offered
    for (const TakeOverItem& item : items) {
        const int row = grid->rowCount();
        auto* box = new QCheckBox(item.label, &dialog);
        box->setChecked(item.ticked);
        grid->addWidget(box, row, 0);
        QComboBox* values = nullptr;
        if (item.values.size() > 1) {
            values = new QComboBox(&dialog);
            values->addItems(item.values);
            values->setCurrentIndex(item.chosen);
            values->setEnabled(item.ticked);
            QObject::connect(box, &QCheckBox::toggled, values, &QWidget::setEnabled);
            grid->addWidget(values, row, 1);
        } else {
            auto* value = new QLabel(item.values.value(0), &dialog);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(value, row, 1);
        }
        boxes.append(box);
        choices.append(values);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Wstaw do formularza"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    TakeOverAnswer answer;
    for (qsizetype i = 0; i < boxes.size(); ++i)
        answer.append(!boxes[i]->isChecked() ? -1 : choices[i] ? choices[i]->currentIndex() : 0);
    return answer;
}

} // namespace kestrana
