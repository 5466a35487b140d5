#pragma once

#include "envelope/EnvelopeFields.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace kestrana {

// One text of the envelope at a grid position (the page helper's steps of 1/25 inch).
struct EnvelopeText {
    int x = 0;
    int y = 0;
    QString text;
    bool operator==(const EnvelopeText&) const = default;
};

// The logo's device rectangle in printer dots from the top-left of the printable area; the
// picture is stretched so that it covers left..right and top..bottom.
struct LogoRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    QRect toRect() const { return QRect(left, top, right - left, bottom - top); }
    bool operator==(const LogoRect&) const = default;
};

// Everything one envelope puts on paper. The printout replays it in this order:
// UstawPoziomo or UstawPionowo by `landscape`; begin the document; UstawStrone; the logo, if
// any, stretched into its rectangle; Czcionka; the four sender lines; Czcionka again; the form
// of address; the four recipient lines; end the document; UstawPionowo. Every line is written,
// empty ones too.
struct EnvelopeLayout {
    bool landscape = false;
    // The paper, placed so that the layout lies on it where it lay on the printer's page.
    EnvelopePaper paper = EnvelopePaper::PrinterPage;
    std::optional<LogoRect> logo;
    std::array<EnvelopeText, 4> sender;    // n1..n4
    EnvelopeText form;                     // o1
    std::array<EnvelopeText, 4> recipient; // o2..o5
};

// Printer dots per logo pixel, whatever the printer's resolution: 2.5.
// Left and top are rounded (halves to even), right and bottom cut toward zero.
LogoRect logoRect(int left, int top, QSize picture);

// Lays the envelope out from the window's values: the numbers are read from the fields' texts
// as typed numbers are (no leading digits: 0); `logo` is the picture the printout would draw
// (a null image draws nothing). Sender line k (1..4) lies at sender top + 1 + (k-1) × spacing;
// the form of address at the selected size's left and top; recipient line k at left + 5 and
// size top + sender top + k × spacing.
EnvelopeLayout layoutEnvelope(const EnvelopeFields& fields, QSize logo);

} // namespace kestrana
