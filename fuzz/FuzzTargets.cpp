#include "FuzzTargets.h"

#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherDocument.h"
#include "envelope/EnvelopeRecords.h"
#include "envelope/JpegImage.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvText.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"
#include "print/FontSettings.h"
#include "register/CategoryNames.h"
#include "register/EntryForm.h"
#include "register/EntryRecord.h"
#include "register/ListLine.h"
#include "reports/FilterOptions.h"
#include "station/SmallRecords.h"
#include "tools/CommandLines.h"

#include <QByteArray>
#include <QFont>

#include <cstdlib>
#include <cstring>

namespace kestrana::fuzz {

namespace {

QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input as a record of exactly `size` bytes: cut, or filled up with zeros.
QByteArray record(const std::uint8_t* data, std::size_t size, int recordSize) {
    QByteArray b = bytes(data, std::min<std::size_t>(size, recordSize));
    b.append(QByteArray(recordSize - b.size(), '\0'));
    return b;
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

void entryRecord(const std::uint8_t* data, std::size_t size) {
    const EntryRecord r = EntryRecord::fromBytes(record(data, size, EntryRecord::Size));
    for (int mode = 1; mode <= 5; ++mode) {
        const QString line = listLine(r, 123456, static_cast<ViewMode>(mode));
        check(recordNumberOfLine(line) == 123456);
    }
    EntryFormValues form;
    recordToForm(r, form);
    showFlags(r, form);
    EntryRecord back = r;
    formToRecord(form, back, false);
    // Texts stored again read back the same.
    for (int i = 0; i < kTextFieldCount; ++i)
        check(back.text(static_cast<Field>(i)) == r.text(static_cast<Field>(i)));
    recordNumberOfLine(cp1250::decode(bytes(data, size)));
}

void smallRecords(const std::uint8_t* data, std::size_t size) {
    StorageRecord::fromBytes(record(data, size, StorageRecord::Size)).toBytes();
    StorageRecord::fromBytes(bytes(data, size));
    CompanyRecord::fromBytes(record(data, size, CompanyRecord::Size)).toBytes();
    CategoryNames::fromBytes(record(data, size, CategoryNames::Size)).toBytes();
    const CounterRecord counter = CounterRecord::fromBytes(record(data, size, CounterRecord::Size));
    check(counter.toBytes().size() == CounterRecord::Size);
    int32FromBytes(bytes(data, size));
}

void fontRecord(const std::uint8_t* data, std::size_t size) {
    const FontRecord font = FontRecord::fromBytes(record(data, size, FontRecord::Size));
    check(font.toBytes().size() == FontRecord::Size);
    choiceFromRecord(font);
    fontFromRecord(font, QFont(), QFont());
}

void voucherDocument(const std::uint8_t* data, std::size_t size) {
    const VoucherGrid grid = kpw::fromBytes(record(data, size, kpw::Size));
    check(kpw::toBytes(grid).size() == kpw::Size);
    gridTotal(grid);
}

void envelopeRecords(const std::uint8_t* data, std::size_t size) {
    EnvelopeSettings::fromBytes(record(data, size, EnvelopeSettings::Size).constData()).toBytes();
    EnvelopeLogo::fromBytes(record(data, size, EnvelopeLogo::Size).constData()).toBytes();
    EnvelopeOptions::fromBytes(record(data, size, EnvelopeOptions::Size).constData()).toBytes();
    FormOfAddress::fromBytes(record(data, size, FormOfAddress::Size).constData()).toBytes();
    const EnvelopeProfile profile =
        EnvelopeProfile::fromBytes(record(data, size, EnvelopeProfile::Size).constData());
    check(profile.toBytes().size() == EnvelopeProfile::Size);
}

void text(const std::uint8_t* data, std::size_t size) {
    const QByteArray raw = bytes(data, size);
    const QString decoded = cp1250::decode(raw);
    check(cp1250::encode(decoded) == raw);
    textfile::splitLines(decoded);
    // Any Unicode text encodes to one byte per character.
    const QString utf8 = QString::fromUtf8(raw);
    cp1250::encode(utf8);
}

void numbers(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(bytes(data, size));
    readLeadingInt(text);
    const double amount = readAmount(text);
    formatAmount(amount);
    reformatAmountCell(text);
    wordsLine(amount);
    if (size >= 4) {
        qint32 value;
        std::memcpy(&value, data, 4);
        KwotaSlownie(value, QStringLiteral("zł"));
    }
}

void commandLine(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(bytes(data, size));
    const commands::ParsedCommand parsed = commands::parse(text);
    for (const QString& argument : parsed.arguments)
        check(!argument.contains(QLatin1Char('"')));
    parseFilterOptions(text.split(QLatin1Char(' ')));
}

void jpeg(const std::uint8_t* data, std::size_t size) {
    try {
        const QImage image = decodeJpeg(bytes(data, size));
        check(!image.isNull());
    } catch (const IoError&) {
    }
}

// A CSV file chosen for import: decoded, split into rows and converted into entries. Every
// row's fields, written out again, read back the same, so an export is always imported whole.
void csvFile(const std::uint8_t* data, std::size_t size) {
    const csv::Parsed parsed = csv::parse(csv::decodeFile(bytes(data, size)));
    for (const csv::Row& row : parsed.rows) {
        if (row.fields == QStringList{QString()})
            continue; // an empty line: written out, it is no line at all
        const csv::Parsed again = csv::parse(csv::formatRow(row.fields));
        check(again.problems.isEmpty() && again.rows.size() == 1 &&
              again.rows.front().fields == row.fields);
    }
    const csv::Conversion conversion = csv::convertRows(parsed);
    check(conversion.records.size() == std::size_t(conversion.rows.size()));
}

} // namespace kestrana::fuzz
