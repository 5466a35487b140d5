#include "print/FontSettings.h"

#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/ShortString.h"
#include "print/ColourValue.h"

#include <QtEndian>

#include <cstring>

namespace kestrana {

namespace {

constexpr int kColourAt = 0;
constexpr int kFaceAt = 4;
constexpr int kPadding1At = 65;
constexpr int kSizeAt = 68;
constexpr int kStyleAt = 72;
constexpr int kPadding2At = 73;

} // namespace

void FontRecord::setFaceName(const QString& face) {
    char field[FaceWidth + 1];
    writeShortString(field, FaceWidth, face);
    faceName = readShortString(field, FaceWidth);
}

QByteArray FontRecord::toBytes() const {
    QByteArray bytes(Size, '\0');
    char* data = bytes.data();
    qToLittleEndian<qint32>(colour, data + kColourAt);
    writeShortString(data + kFaceAt, FaceWidth, faceName);
    std::memcpy(data + kPadding1At, padding1.data(), padding1.size());
    qToLittleEndian<qint32>(size, data + kSizeAt);
    data[kStyleAt] = char(style);
    std::memcpy(data + kPadding2At, padding2.data(), padding2.size());
    return bytes;
}

FontRecord FontRecord::fromBytes(const QByteArray& bytes) {
    FontRecord record;
    if (bytes.size() < Size)
        return record;
    const char* data = bytes.constData();
    record.colour = qFromLittleEndian<qint32>(data + kColourAt);
    record.faceName = readShortString(data + kFaceAt, FaceWidth);
    std::memcpy(record.padding1.data(), data + kPadding1At, record.padding1.size());
    record.size = qFromLittleEndian<qint32>(data + kSizeAt);
    record.style = std::uint8_t(data[kStyleAt]);
    std::memcpy(record.padding2.data(), data + kPadding2At, record.padding2.size());
    return record;
}

QString FontSettings::path(const QString& fileName) const {
    return resolvePath(workDir_, QStringLiteral("FONT/") + fileName);
}

PrintFont FontSettings::printFont() const {
    return PrintFont{faceName_, size_, std::uint8_t(record_.style & fontstyle::All),
                     record_.colour};
}

void FontSettings::CzytajFonty(const QString& fileName) {
    const QString file = path(fileName);
    if (!files::exists(file))
        return;
    record_ = FontRecord::fromBytes(files::readRecord(file, 0, FontRecord::Size));
    faceName_ = record_.faceName;
    size_ = record_.size;
}

bool FontSettings::ZapiszFonty(const QString& fileName, Dialogs& dialogs,
                               files::FaultInjector* faults) {
    const QString file = path(fileName);
    if (files::exists(file)) {
        record_ = FontRecord::fromBytes(files::readRecord(file, 0, FontRecord::Size));
        dialogFont_ = choiceFromRecord(record_);
    }
    const std::optional<FontChoice> chosen = dialogs.chooseFont(dialogFont_);
    if (!chosen)
        return false;
    dialogFont_ = *chosen;
    // The record changes only once the file holds it, so memory never shows a setting that
    // failed to be stored.
    FontRecord stored = record_;
    stored.colour = colour::fromColor(chosen->colour);
    stored.setFaceName(chosen->face);
    stored.size = chosen->pointSize;
    stored.style = chosen->style & fontstyle::All;
    files::replaceFile(file, stored.toBytes(), faults);
    record_ = stored;
    faceName_ = record_.faceName;
    size_ = record_.size;
    return true;
}

QFont fontFromRecord(const FontRecord& record, const QFont& current, const QFont& platformDefault) {
    QFont font = current;
    // A style name would override the style bits below.
    font.setStyleName(QString());
    if (!record.faceName.isEmpty())
        font.setFamily(record.faceName);
    if (record.size > 0)
        font.setPointSize(record.size);
    else if (platformDefault.pointSize() > 0)
        font.setPointSize(platformDefault.pointSize());
    else
        font.setPixelSize(platformDefault.pixelSize());
    font.setBold(record.style & fontstyle::Bold);
    font.setItalic(record.style & fontstyle::Italic);
    font.setUnderline(record.style & fontstyle::Underline);
    font.setStrikeOut(record.style & fontstyle::StrikeOut);
    return font;
}

FontChoice choiceFromRecord(const FontRecord& record) {
    return FontChoice{record.faceName, record.size, std::uint8_t(record.style & fontstyle::All),
                      colour::toColor(record.colour)};
}

} // namespace kestrana
