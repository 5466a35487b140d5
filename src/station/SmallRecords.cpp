#include "station/SmallRecords.h"

#include "platform/ShortString.h"

#include <QtEndian>

namespace kestrana {

QByteArray StorageRecord::toBytes() const {
    QByteArray bytes(Size, '\0');
    bytes[0] = static_cast<char>(tryb);
    writeShortString(bytes.data() + 1, 200, sciezkaLokalna);
    writeShortString(bytes.data() + 202, 200, sciezkaSieciowa);
    return bytes;
}

StorageRecord StorageRecord::fromBytes(const QByteArray& bytes) {
    StorageRecord r;
    if (bytes.size() < Size)
        return r;
    r.tryb = static_cast<unsigned char>(bytes[0]);
    r.sciezkaLokalna = readShortString(bytes.constData() + 1, 200);
    r.sciezkaSieciowa = readShortString(bytes.constData() + 202, 200);
    return r;
}

QByteArray CompanyRecord::toBytes() const {
    QByteArray bytes(Size, '\0');
    for (int i = 0; i < 6; ++i)
        writeShortString(bytes.data() + i * (LineWidth + 1), LineWidth, lines[i]);
    return bytes;
}

CompanyRecord CompanyRecord::fromBytes(const QByteArray& bytes) {
    CompanyRecord r;
    if (bytes.size() < Size)
        return r;
    for (int i = 0; i < 6; ++i)
        r.lines[i] = readShortString(bytes.constData() + i * (LineWidth + 1), LineWidth);
    return r;
}

QByteArray int32Bytes(qint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

qint32 int32FromBytes(const QByteArray& bytes) {
    if (bytes.size() < 4)
        return 0;
    return qFromLittleEndian<qint32>(bytes.constData());
}

} // namespace kestrana
