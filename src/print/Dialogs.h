#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace kestrana {

class Surface;

// Font style bits as the font settings files keep them.
namespace fontstyle {
inline constexpr std::uint8_t Bold = 1;
inline constexpr std::uint8_t Italic = 2;
inline constexpr std::uint8_t Underline = 4;
inline constexpr std::uint8_t StrikeOut = 8;
inline constexpr std::uint8_t All = Bold | Italic | Underline | StrikeOut;
} // namespace fontstyle

// What the font dialog shows and returns: face, size in points, style bits and colour.
struct FontChoice {
    QString face;
    int pointSize = 0;
    std::uint8_t style = 0;
    QColor colour = Qt::black;

    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

// One thing a form may take over from data found elsewhere: its name, the values offered (the
// user picks one when there are several) and what is preset.
struct TakeOverItem {
    QString label;
    QStringList values;
    int chosen = 0;
    bool ticked = true;

    friend bool operator==(const TakeOverItem&, const TakeOverItem&) = default;
};
// For each item offered, the index of the value taken, or -1 when the item is left out.
using TakeOverAnswer = QList<int>;
// A print run as the dialogs name it: the job's name in the printer queue, and the name (without
// folder and ".pdf") the print dialog proposes for a PDF file, which tells one printout from
// another (its kind, entry or date). Without a file name the job's name is proposed.
struct PrintDocument {
    PrintDocument(QString name, QString fileName = {})
        : name(std::move(name)), fileName(std::move(fileName)) {}
    QString name;
    QString fileName;

    QString proposedFileName() const { return fileName.isEmpty() ? name : fileName; }
};

// Every font, print and file dialog of the program goes through this interface: the program
// shows the platform's dialogs, tests answer from a script.
class Dialogs {
public:
    // Draws a whole document on the surface given (begun and ended by the drawing); `printing`
    // is false while the preview is drawn and true when the user prints from the preview.
    using PreviewDrawing = std::function<void(Surface& surface, bool printing)>;

    virtual ~Dialogs() = default;

    // "Podgląd wydruku": while it is on, printouts open the print preview instead of the print
    // dialog. The main window keeps the choice per workstation.
    bool previewEnabled() const { return preview_; }
    void setPreviewEnabled(bool on) { preview_ = on; }

    // The font dialog with colour and effects, preset with `initial`; nothing on cancel.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;

    // The print dialog. On confirmation, the surface of the chosen printer (or of the PDF
    // file chosen instead), not yet begun; nullptr on cancel. `document` names the job and the
    // PDF file the dialog proposes in the user's documents folder.
    virtual std::unique_ptr<Surface> choosePrinter(const PrintDocument& document) = 0;

    // The print preview window of a document: `draw` shows it, and draws it again on the printer
    // when the user prints from the window. True when it was printed, false when the window was
    // closed without printing. A failure of the drawing closes the window and is rethrown.
    virtual bool previewPrint(const PrintDocument& document, const PreviewDrawing& draw) = 0;

    // File dialogs; `filter` as Qt writes it ("Pliki tekstowe (*.txt);;Wszystkie pliki (*)").
    // An empty name on cancel.
    virtual QString openFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;

    // A decision over a short summary and a longer, scrollable list of details (what an import
    // will do): one button per choice, in order, the last one cancelling. Returns the index of
    // the button pressed; closing the window counts as the last button.
    virtual int choose(const QString& caption, const QString& summary, const QString& details,
                       const QStringList& buttons) = 0;
    // Shows `report` (read only) and the items, and lets the user tick what goes into the form
    // and choose among the values; nothing on cancel.
    virtual std::optional<TakeOverAnswer> chooseTakeOver(const QString& caption,
                                                         const QString& report,
                                                         const QList<TakeOverItem>& items) = 0;

    // A pick from a list: `items` in order under `text`. Returns the index chosen, -1 when
    // cancelled. A set of dialogs that cannot ask (a benchmark's) cancels.
    virtual int chooseItem(const QString& caption, const QString& text, const QStringList& items) {
        (void)caption;
        (void)text;
        (void)items;
        return -1;
    }

private:
    bool preview_ = false;
};

} // namespace kestrana
