#include "envelope/EnvelopeRecords.h"

#include "platform/CheckedFile.h"
#include "platform/ShortString.h"
#include "station/Workstation.h"

namespace kestrana {

namespace {

// Field offsets of the settings record: all four lefts come before all four tops.
constexpr int senderAt(int i) {
    return i * (EnvelopeSettings::SenderWidth + 1);
}
constexpr int leftAt(int i) {
    return 324 + i * (EnvelopeSettings::PositionWidth + 1);
}
constexpr int topAt(int i) {
    return 348 + i * (EnvelopeSettings::PositionWidth + 1);
}
constexpr int SpacingAt = 372;
constexpr int SenderLeftAt = 378;
constexpr int SenderTopAt = 429;
static_assert(SenderTopAt + EnvelopeSettings::SenderPositionWidth + 1 == EnvelopeSettings::Size);

constexpr int LogoLeftAt = EnvelopeLogo::PathWidth + 1;
constexpr int LogoTopAt = LogoLeftAt + EnvelopeLogo::OffsetWidth + 1;
static_assert(LogoTopAt + EnvelopeLogo::OffsetWidth + 1 == EnvelopeLogo::Size);
static_assert(EnvelopeProfile::Size == 726);

} // namespace

EnvelopeSettings EnvelopeSettings::defaults() {
    EnvelopeSettings s;
    for (int i = 0; i < 4; ++i) {
        s.left[i] = s.top[i] = QString::number(50 * (i + 1));
    }
    s.spacing = s.senderLeft = s.senderTop = QStringLiteral("5");
    return s;
}

QByteArray EnvelopeSettings::toBytes() const {
    QByteArray bytes(Size, '\0');
    char* d = bytes.data();
    for (int i = 0; i < 4; ++i) {
        writeShortString(d + senderAt(i), SenderWidth, sender[i]);
        writeShortString(d + leftAt(i), PositionWidth, left[i]);
        writeShortString(d + topAt(i), PositionWidth, top[i]);
    }
    writeShortString(d + SpacingAt, PositionWidth, spacing);
    writeShortString(d + SenderLeftAt, SenderPositionWidth, senderLeft);
    writeShortString(d + SenderTopAt, SenderPositionWidth, senderTop);
    return bytes;
}

EnvelopeSettings EnvelopeSettings::fromBytes(const char* d) {
    EnvelopeSettings s;
    for (int i = 0; i < 4; ++i) {
        s.sender[i] = readShortString(d + senderAt(i), SenderWidth);
        s.left[i] = readShortString(d + leftAt(i), PositionWidth);
        s.top[i] = readShortString(d + topAt(i), PositionWidth);
    }
    s.spacing = readShortString(d + SpacingAt, PositionWidth);
    s.senderLeft = readShortString(d + SenderLeftAt, SenderPositionWidth);
    s.senderTop = readShortString(d + SenderTopAt, SenderPositionWidth);
    return s;
}

QByteArray EnvelopeLogo::toBytes() const {
    QByteArray bytes(Size, '\0');
    writeShortString(bytes.data(), PathWidth, path);
    writeShortString(bytes.data() + LogoLeftAt, OffsetWidth, left);
    writeShortString(bytes.data() + LogoTopAt, OffsetWidth, top);
    return bytes;
}

EnvelopeLogo EnvelopeLogo::fromBytes(const char* d) {
    EnvelopeLogo l;
    l.path = readShortString(d, PathWidth);
    l.left = readShortString(d + LogoLeftAt, OffsetWidth);
    l.top = readShortString(d + LogoTopAt, OffsetWidth);
    return l;
}

QByteArray EnvelopeOptions::toBytes() const {
    QByteArray bytes(Size, '\0');
    bytes[0] = static_cast<char>(size);
    bytes[1] = static_cast<char>(logo);
    bytes[2] = static_cast<char>(landscape);
    return bytes;
}

EnvelopeOptions EnvelopeOptions::fromBytes(const char* d) {
    EnvelopeOptions o;
    o.size = static_cast<unsigned char>(d[0]);
    o.logo = static_cast<unsigned char>(d[1]);
    o.landscape = static_cast<unsigned char>(d[2]);
    return o;
}

QByteArray FormOfAddress::toBytes() const {
    QByteArray bytes(Size, '\0');
    writeShortString(bytes.data(), Width, text);
    return bytes;
}

FormOfAddress FormOfAddress::fromBytes(const char* d) {
    return {readShortString(d, Width)};
}

QByteArray EnvelopeProfile::toBytes() const {
    return settings.toBytes() + logo.toBytes() + options.toBytes();
}

EnvelopeProfile EnvelopeProfile::fromBytes(const char* d) {
    EnvelopeProfile p;
    p.settings = EnvelopeSettings::fromBytes(d);
    p.logo = EnvelopeLogo::fromBytes(d + EnvelopeSettings::Size);
    p.options = EnvelopeOptions::fromBytes(d + EnvelopeSettings::Size + EnvelopeLogo::Size);
    return p;
}

QString envelopeSettingsFile(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("ADMINI/dane_kop_1.dat"));
}

QString envelopeLogoFile(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("ADMINI/dane_kop_log_1.dat"));
}

QString envelopeOptionsFile(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("ADMINI/dane_kop_ori_1.dat"));
}

QString formOfAddressFile(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("ADMINI/dane_kop_for.dat"));
}

QString envelopeProfilesFolder(const Workstation& ws) {
    return ws.dataPath(QStringLiteral("Koperty"));
}

namespace {

template <typename Record> Record readOne(const QString& path) {
    const QByteArray bytes = files::readRecord(path, 0, Record::Size);
    return Record::fromBytes(bytes.constData());
}

} // namespace

EnvelopeSettings readEnvelopeSettings(const QString& path) {
    return readOne<EnvelopeSettings>(path);
}

EnvelopeLogo readEnvelopeLogo(const QString& path) {
    return readOne<EnvelopeLogo>(path);
}

EnvelopeOptions readEnvelopeOptions(const QString& path) {
    return readOne<EnvelopeOptions>(path);
}

FormOfAddress readFormOfAddress(const QString& path) {
    return readOne<FormOfAddress>(path);
}

EnvelopeProfile readEnvelopeProfile(const QString& path) {
    return readOne<EnvelopeProfile>(path);
}

void writeEnvelopeRecord(const QString& path, const QByteArray& record,
                         files::FaultInjector* faults) {
    files::replaceFile(path, record, faults);
}

} // namespace kestrana
