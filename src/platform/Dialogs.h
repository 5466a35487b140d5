#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
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
    virtual ~Dialogs() = default;

    // The font dialog with colour and effects, preset with `initial`; nothing on cancel.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;

    // The print dialog. On confirmation, the surface of the chosen printer (or of the PDF
    // file chosen instead), not yet begun; nullptr on cancel. `documentName` names the job.
    virtual std::unique_ptr<Surface> choosePrinter(const QString& documentName) = 0;

    // File dialogs; `filter` as Qt writes it ("Pliki tekstowe (*.txt);;Wszystkie pliki (*)").
    // An empty name on cancel.
    virtual QString openFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
};

} // namespace kestrana
