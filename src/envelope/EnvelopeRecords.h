#pragma once

#include "platform/FaultInjector.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace kestrana {

struct Workstation;

// The envelope settings record (TDaneKoperty, ADMINI/dane_kop_1.dat, 480 bytes). Positions and
// the spacing stay text, as typed; the printout reads them as numbers.
struct EnvelopeSettings {
    static constexpr int Size = 480;
    static constexpr int SenderWidth = 80;
    static constexpr int PositionWidth = 5;        // l1..l4, g1..g4, od
    static constexpr int SenderPositionWidth = 50; // l_n, g_n

    std::array<QString, 4> sender; // n1..n4
    std::array<QString, 4> left;   // l1..l4, recipient left for sizes 1 to 4 (mm)
    std::array<QString, 4> top;    // g1..g4, recipient top for sizes 1 to 4 (mm)
    QString spacing;               // od
    QString senderLeft;            // l_n
    QString senderTop;             // g_n

    // What a missing file is created with: sizes at 50, 100, 150 and 200, spacing and sender
    // position 5, no sender lines.
    static EnvelopeSettings defaults();
    QByteArray toBytes() const;
    // `bytes` holds at least Size bytes.
    static EnvelopeSettings fromBytes(const char* bytes);
    bool operator==(const EnvelopeSettings&) const = default;
};

// The logo record (TLogoKoperty, ADMINI/dane_kop_log_1.dat, 243 bytes); all empty by default.
struct EnvelopeLogo {
    static constexpr int Size = 243;
    static constexpr int PathWidth = 230;
    static constexpr int OffsetWidth = 5;

    QString path; // nazwa, the picture file's full path
    QString left; // l_log, in picture pixels
    QString top;  // g_log

    QByteArray toBytes() const;
    static EnvelopeLogo fromBytes(const char* bytes);
    bool operator==(const EnvelopeLogo&) const = default;
};

// The options record (TOpcjeKoperty, ADMINI/dane_kop_ori_1.dat, 3 bytes), kept as the raw bytes:
// preparation and profiles apply unexpected values differently.
struct EnvelopeOptions {
    static constexpr int Size = 3;
    unsigned char size = 0;      // 1..4 the selected size; 0 none stored
    unsigned char logo = 0;      // 1 "drukuj obrazek" ticked
    unsigned char landscape = 0; // poziomo: 1 landscape

    QByteArray toBytes() const;
    static EnvelopeOptions fromBytes(const char* bytes);
    bool operator==(const EnvelopeOptions&) const = default;
};

// The form of address (TFormaKoperty, ADMINI/dane_kop_for.dat, 21 bytes).
struct FormOfAddress {
    static constexpr int Size = 21;
    static constexpr int Width = 20;
    QString text; // o1

    QByteArray toBytes() const;
    static FormOfAddress fromBytes(const char* bytes);
};

// A profile (TProfilKoperty, *.pro, 726 bytes): settings, logo and options end to end.
struct EnvelopeProfile {
    static constexpr int Size = EnvelopeSettings::Size + EnvelopeLogo::Size + EnvelopeOptions::Size;
    EnvelopeSettings settings;
    EnvelopeLogo logo;
    EnvelopeOptions options;

    QByteArray toBytes() const;
    static EnvelopeProfile fromBytes(const char* bytes);
    bool operator==(const EnvelopeProfile&) const = default;
};

// The setting files below the base directory.
QString envelopeSettingsFile(const Workstation& ws);
QString envelopeLogoFile(const Workstation& ws);
QString envelopeOptionsFile(const Workstation& ws);
QString formOfAddressFile(const Workstation& ws);
// Where the profile dialogs open.
QString envelopeProfilesFolder(const Workstation& ws);

// Reading needs one whole record (a shorter file is an IoError); a longer file's first record
// counts. Writing replaces the file as a whole. Every failure throws IoError.
EnvelopeSettings readEnvelopeSettings(const QString& path);
EnvelopeLogo readEnvelopeLogo(const QString& path);
EnvelopeOptions readEnvelopeOptions(const QString& path);
FormOfAddress readFormOfAddress(const QString& path);
EnvelopeProfile readEnvelopeProfile(const QString& path);
void writeEnvelopeRecord(const QString& path, const QByteArray& record,
                         files::FaultInjector* faults = nullptr);

} // namespace kestrana
