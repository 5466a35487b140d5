#pragma once

#include "platform/FaultInjector.h"
#include "print/Dialogs.h"
#include "print/PageHelper.h"

#include <QByteArray>
#include <QFont>
#include <QString>

#include <array>
#include <cstdint>

namespace kestrana {

// One font setting (TFonty, 76 bytes, little-endian): colour at 0, the face name as a short
// string of 60 characters at 4, 3 padding bytes, size in points at 68, style bits at 72, 3
// padding bytes. The padding goes back to the file as it came from it.
struct FontRecord {
    static constexpr int Size = 76;
    static constexpr int FaceWidth = 60;

    std::int32_t colour = 0;
    QString faceName;
    std::int32_t size = 0;
    std::uint8_t style = 0;
    std::array<char, 3> padding1{};
    std::array<char, 3> padding2{};

    // Sets the face as the record can hold it: cut to 60 characters of Windows-1250.
    void setFaceName(const QString& face);

    QByteArray toBytes() const;
    static FontRecord fromBytes(const QByteArray& bytes);

    friend bool operator==(const FontRecord&, const FontRecord&) = default;
};
using TFonty = FontRecord;

// The print font's file; the list font's name is Workstation::listFontFileName.
inline const QString kPrintFontFile = QStringLiteral("font_kelmo_2007.dat");

// The one shared font record of the program and its two copies, the current face name and
// size. Font files lie under FONT/ of the working directory, never in the shared data folder.
class FontSettings {
public:
    explicit FontSettings(QString workDir = {}) : workDir_(std::move(workDir)) {}
    void setWorkDir(const QString& workDir) { workDir_ = workDir; }

    QString path(const QString& fileName) const;

    const FontRecord& record() const { return record_; }
    const QString& faceName() const { return faceName_; }
    int size() const { return size_; }
    // Face and size from the copies, style and colour from the record, as printouts use them.
    PrintFont printFont() const;
    // The font the font dialog shows when no stored setting presets it (its last font).
    const FontChoice& dialogFont() const { return dialogFont_; }

    // Loads the stored setting into the shared record and refreshes the copies; a missing file
    // changes nothing. Throws IoError.
    void CzytajFonty(const QString& fileName);
    // Lets the user choose a font for the setting and stores it. False when the dialog was
    // cancelled: no file is written, the copies keep their values (the record holds the
    // stored setting if there was one). Throws IoError.
    bool ZapiszFonty(const QString& fileName, Dialogs& dialogs,
                     files::FaultInjector* faults = nullptr);

private:
    QString workDir_;
    FontRecord record_;
    QString faceName_;
    int size_ = 0;
    FontChoice dialogFont_{QStringLiteral("Tahoma"), 8, 0, QColor(Qt::black)};
};

// The font a record gives a window's text: the record's face, or `current`'s when the record's
// is empty; its size, or `platformDefault`'s when it is not positive; its style.
QFont fontFromRecord(const FontRecord& record, const QFont& current, const QFont& platformDefault);
// What the font dialog is preset with for a stored setting.
FontChoice choiceFromRecord(const FontRecord& record);

} // namespace kestrana
