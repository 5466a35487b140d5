#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

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
    // file chosen instead), not yet begun; nullptr on cancel. `documentName` names the job.
    virtual std::unique_ptr<Surface> choosePrinter(const QString& documentName) = 0;

    // The print preview window of a document: `draw` shows it, and draws it again on the printer
    // when the user prints from the window. True when it was printed, false when the window was
    // closed without printing. A failure of the drawing closes the window and is rethrown.
    virtual bool previewPrint(const QString& documentName, const PreviewDrawing& draw) = 0;

    // File dialogs; `filter` as Qt writes it ("Pliki tekstowe (*.txt);;Wszystkie pliki (*)").
    // An empty name on cancel.
    virtual QString openFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;

private:
    bool preview_ = false;
};

} // namespace kestrana
