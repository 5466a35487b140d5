#pragma once

#include "cash/VoucherGrid.h"
#include "cash/VoucherKind.h"

#include <QDate>
#include <QString>

#include <array>

namespace kestrana {

class EntryRecord;
struct CompanyRecord;

// Four lines of the issuer block (Label3..Label6) or the company block (Label9..Label12).
using VoucherBlock = std::array<QString, 4>;

// What the voucher window shows, as the printout reads it at print time.
struct Voucher {
    DocumentKind kind = DocumentKind::None;
    QString numerkp;        // number (meant to be a whole number)
    QString rozszerzeniekp; // suffix, printed after a "/"
    QString data;           // issue date, free text
    VoucherBlock issuer;    // printed under "Wystawił :"
    VoucherBlock company;   // printed under "Od kogo :" or "Komu :"
    VoucherGrid grid;
    QString razem;          // the total in the amount format
    QString gotowka;        // cash handed over
    QString reszta;         // change
    bool colour = false;    // k2 "Kolor" checked
    bool fullWords = false; // "Słownie z pełną odmianą": the total in words in full Polish
};

// The issuer block: lines 1 to 4 of the office's own company data.
VoucherBlock issuerBlock(const CompanyRecord& firma);
// The company block: the first name line and the seat address as the main window's edit fields
// hold them (nazwa1, miejscowosc, adres, wojewodztwo).
VoucherBlock companyBlock(const QString& nazwa1, const QString& miejscowosc, const QString& adres,
                          const QString& wojewodztwo);
// The same from a stored entry (command line printing).
VoucherBlock companyBlock(const EntryRecord& entry);

// The title line of the printout: "Dowód wpłaty KP nr 7/2006"; an empty suffix keeps the "/".
QString printTitle(const Voucher& voucher);

// The date a voucher is preset to: today in the short date format of the Polish locale.
QString voucherDateText(QDate today);

// Why the voucher cannot be printed, or empty when it can: its total does not fit the words.
// Checked before the counter is taken, so a refused voucher leaves the counter alone.
QString printRefusal(const Voucher& voucher);

// The words line the printout writes under the grid, in the wording the voucher asks for;
// empty when the total does not fit it (such a voucher is refused).
QString voucherWordsLine(const Voucher& voucher);

} // namespace kestrana
