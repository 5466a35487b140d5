#include "cash/Voucher.h"

#include "cash/AmountWords.h"
#include "cash/Amounts.h"
#include "cash/FullAmountWords.h"
#include "register/EntryRecord.h"
#include "station/SmallRecords.h"

#include <QLocale>

namespace kestrana {

VoucherBlock issuerBlock(const CompanyRecord& firma) {
    return {firma.lines[0], firma.lines[1], firma.lines[2], firma.lines[3]};
}

VoucherBlock companyBlock(const QString& nazwa1, const QString& miejscowosc, const QString& adres,
                          const QString& wojewodztwo) {
    return {nazwa1, miejscowosc, adres, wojewodztwo};
}

VoucherBlock companyBlock(const EntryRecord& entry) {
    return companyBlock(entry.text(Field::nazwa1), entry.text(Field::miejscowosc),
                        entry.text(Field::adres), entry.text(Field::wojewodztwo));
}

QString printTitle(const Voucher& voucher) {
    return kindTexts(voucher.kind).printTitle + voucher.numerkp + QLatin1Char('/') +
           voucher.rozszerzeniekp;
}

QString voucherDateText(QDate today) {
    return QLocale(QLocale::Polish, QLocale::Poland).toString(today, QLocale::ShortFormat);
}

QString printRefusal(const Voucher& voucher) {
    const double total = readAmount(voucher.razem);
    const bool fits = voucher.fullWords ? fullWordsFit(total) : voucherTotalFits(total);
    return fits ? QString() : totalTooLargeMessage();
}

QString voucherWordsLine(const Voucher& voucher) {
    const double total = readAmount(voucher.razem);
    return (voucher.fullWords ? fullWordsLine(total) : wordsLine(total)).value_or(QString());
}

} // namespace kestrana
