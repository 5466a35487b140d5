#pragma once

#include "print/Dialogs.h"
#include "print/FontSettings.h"

#include <QObject>

class QWidget;

namespace kestrana {

// The font window: created at start-up and never shown, it carries the font dialog
// (FontDialog1, through the dialogs interface) and the two font operations over the shared
// font record.
class Tfont_f : public QObject {
    Q_OBJECT

public:
    Tfont_f(FontSettings& fonts, Dialogs& dialogs, QObject* parent = nullptr);

    FontSettings& fonts() { return fonts_; }

    // Both throw IoError; ZapiszFonty returns false when the dialog was cancelled.
    void CzytajFonty(const QString& fileName) { fonts_.CzytajFonty(fileName); }
    bool ZapiszFonty(const QString& fileName) { return fonts_.ZapiszFonty(fileName, FontDialog1); }

private:
    FontSettings& fonts_;
    Dialogs& FontDialog1;
};

// Gives a window (the entry list) the record's colour, face name, size and style.
void applyFontRecord(QWidget& widget, const FontRecord& record);

} // namespace kestrana
