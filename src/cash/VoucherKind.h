#pragma once

#include <QString>

namespace kestrana {

// Which voucher the window shows; the opener sets it before the window is prepared. The values
// are the ones the main window and the voucher window share.
enum class DocumentKind : unsigned char { None = 0, KP = 1, KW = 2 };

// Everything that differs between a cash receipt (KP) and a cash payment (KW). For None every
// text is empty.
struct KindTexts {
    QString windowCaption;  // "Dokument Kp"
    QString panelCaption;   // Panel1: "Dowód wpłaty"
    QString companyHeading; // Label8: "Od kogo"
    QString printTitle;     // "Dowód wpłaty KP nr " (number and suffix follow)
    QString printCompany;   // label of the company block on paper: "Od kogo :"
    QString counterSubPath; // below the base directory: "DOKUMENTY/nrkp.dat"
    QString librarySubPath; // below the base directory: "DOKUMENTY/kptresc.dat"
};

const KindTexts& kindTexts(DocumentKind kind);

} // namespace kestrana
