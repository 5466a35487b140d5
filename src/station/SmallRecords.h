#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace kestrana {

// Storage location (TSiec, Admini/siec.dat): mode 1 local, 2 network, and the two base paths.
struct StorageRecord {
    static constexpr int Size = 403;
    int tryb = 1;
    QString sciezkaLokalna;
    QString sciezkaSieciowa;

    QByteArray toBytes() const;
    static StorageRecord fromBytes(const QByteArray& bytes);
};

// The office's own company data (TFirma, ADMINI/firma.dat): six lines of at most 50 characters.
// Lines 1-4 head a cash voucher, lines 1-3 are an envelope's sender.
struct CompanyRecord {
    static constexpr int Size = 306;
    static constexpr int LineWidth = 50;
    std::array<QString, 6> lines;

    QByteArray toBytes() const;
    static CompanyRecord fromBytes(const QByteArray& bytes);
};

// A 32-bit signed little-endian integer (ID counter, lock files).
QByteArray int32Bytes(qint32 value);
qint32 int32FromBytes(const QByteArray& bytes);

} // namespace kestrana
