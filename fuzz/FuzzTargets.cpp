#include "FuzzTargets.h"

#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/FullAmountWords.h"
#include "cash/VoucherCounter.h"
#include "cash/VoucherDocument.h"
#include "envelope/EnvelopeRecords.h"
#include "envelope/JpegImage.h"
#include "exchange/CsvImport.h"
#include "exchange/CsvText.h"
#include "exchange/SpreadsheetDamage.h"
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
#include "vat/VatRegister.h"
#include "vat/VatTakeOver.h"

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
    if (const std::optional<QString> full = fullWordsLine(amount))
        check(!full->contains(QStringLiteral("  ")) && !full->endsWith(QLatin1Char(' ')));
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

// A CSV file chosen for import: decoded, its separator found, split into rows and converted
// into entries, which are checked for spreadsheet damage. Every row's fields, written out again
// with that separator, read back the same, so an export is always imported whole; and every
// field, guarded against formulas and unguarded again, is what it was.
void csvFile(const std::uint8_t* data, std::size_t size) {
    const QString text = csv::decodeFile(bytes(data, size));
    const QChar separator = csv::detectSeparator(text);
    const csv::Parsed parsed = csv::parse(text, separator);
    for (const csv::Row& row : parsed.rows) {
        for (const QString& field : row.fields)
            check(csv::unguardFormula(csv::guardFormula(field)) == field);
        if (row.fields == QStringList{QString()})
            continue; // an empty line: written out, it is no line at all
        const csv::Parsed again = csv::parse(csv::formatRow(row.fields, separator), separator);
        check(again.problems.isEmpty() && again.rows.size() == 1 &&
              again.rows.front().fields == row.fields);
    }
    const csv::Conversion conversion = csv::convertRows(parsed);
    check(conversion.records.size() == std::size_t(conversion.rows.size()));
    for (const EntryRecord& record : conversion.records)
        csv::spreadsheetDamage(record);
}

void vatAnswer(const std::uint8_t* data, std::size_t size) {
    const QByteArray body = bytes(data, size);
    // The first byte picks the HTTP status the body comes with.
    const int status = size > 0 && data[0] % 4 == 0 ? 400 : 200;
    const vat::Outcome<vat::SearchResult> found =
        vat::readSearchAnswer(QStringLiteral("1234563218"), status, body);
    if (const auto* result = std::get_if<vat::SearchResult>(&found)) {
        check(!result->subject.name.isEmpty());
        check(vat::describe(*result).front() == QStringLiteral("Nazwa: ") + result->subject.name);
        const vat::Offer offer = vat::offer(*result, QString());
        check(offer.items.size() == offer.targets.size());
        // Everything ticked with its preset: each field gets a text, the name never lost.
        TakeOverAnswer all;
        for (const TakeOverItem& item : offer.items)
            all.append(item.chosen);
        const auto fields = vat::takeOver(*result, offer, all);
        check(!fields.isEmpty() && fields.front().first == Field::nazwa1);
    } else {
        check(!std::get<vat::Failure>(found).message.isEmpty());
    }
    const vat::Outcome<vat::CheckResult> checked = vat::readCheckAnswer(status, body);
    if (const auto* failure = std::get_if<vat::Failure>(&checked))
        check(!failure->message.isEmpty());
    vat::splitAddress(QString::fromUtf8(body));
}

} // namespace kestrana::fuzz
