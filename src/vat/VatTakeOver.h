#pragma once

#include "print/Dialogs.h"
#include "register/EntryRecord.h"
#include "vat/VatRegister.h"

#include <QList>
#include <QString>

#include <utility>

// What an answer of the VAT register offers the entry form, and what the user's choice puts
// into which field.
namespace kestrana::vat {

// The seat block's two lines: the town with its postal code ("miejscowosc") and the street
// ("adres").
struct SeatAddress {
    QString town;
    QString street;

    friend bool operator==(const SeatAddress&, const SeatAddress&) = default;
};

// The register writes an address as "street and number, postal code town" ("UL. MARSZAŁKOWSKA
// 1/2, 00-624 WARSZAWA"): the town starts at the last postal code (NN-NNN) and the street is
// what stands before it. Without a postal code the whole address is the street.
SeatAddress splitAddress(const QString& address);

// A name too long for one name line: the first line ends at the last blank that fits (or is cut
// at the width when there is none), the rest goes to the second. A name that fits is the first
// line alone.
std::pair<QString, QString> splitName(const QString& name, int lineWidth);

// The items of the take-over dialog, in this order, each only when the register gave it: the
// name, the seat address, REGON and the account (one of several to choose; preset to the form's
// account when the register lists it, else to the first).
struct Offer {
    enum class Target { Name, Address, Regon, Account };
    QList<TakeOverItem> items;
    QList<Target> targets; // what each item fills
};
Offer offer(const SearchResult& result, const QString& formAccount);

// The form's fields that the user's answer fills, with their new texts: the name into "Nazwa"
// (over both lines when it is longer than one), the address into the seat block, REGON, and
// the chosen account, in groups of four digits, into "Konto".
QList<std::pair<Field, QString>> takeOver(const SearchResult& result, const Offer& offer,
                                          const TakeOverAnswer& answer);

// The caption of the take-over dialog.
QString takeOverCaption();

} // namespace kestrana::vat
