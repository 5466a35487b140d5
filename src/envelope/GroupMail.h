#pragma once

#include "platform/CheckedFile.h"
#include "register/EntryRecord.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

// "Wyślij e-mail do listy…": the e-mail addresses of a list of entries, checked and without
// repeats, handed to the mail client in groups of blind copies.
namespace kestrana::groupmail {

// What the field `mail` holds, split on semicolons, commas and blanks.
QStringList splitAddresses(const QString& field);

enum class Problem {
    None,
    PolishLetters, // a letter outside ASCII before the @, which mail servers refuse
    NotAnAddress,  // no single @, nothing before or after it, a malformed domain
};
// Whether `address` is plausibly an e-mail address: a local part of ASCII letters, digits and
// the characters RFC 5322 allows, dots only between them; a domain of at least two labels of
// letters (Polish ones too: an internationalised domain), digits and inner hyphens.
Problem checkAddress(const QString& address);

// An address that was left out, and whose entry holds it.
struct Refused {
    QString id;
    QString name;
    QString address;
    Problem problem = Problem::None;
};
// "ID 12 (Tartak Jawor): „józef@tartak.pl” ma polskie litery przed znakiem @"
QString refusalText(const Refused& refused);

// Gathers the addresses entry by entry, in list order; an address met before (letter case
// aside) is not taken again.
class Collector {
public:
    void add(const EntryRecord& entry);

    const QStringList& addresses() const { return addresses_; }
    qint64 entries() const { return entries_; }
    // Entries whose field holds no address at all (blank), or none that passed the check.
    qint64 withoutAddress() const { return withoutAddress_; }
    const std::vector<Refused>& refused() const { return refused_; }
    // "Adresów: 120 (wpisów: 130, bez adresu: 9, odrzuconych adresów: 1)."
    QString summary() const;

private:
    QStringList addresses_;
    QSet<QString> seen_; // lower case
    qint64 entries_ = 0;
    qint64 withoutAddress_ = 0;
    std::vector<Refused> refused_;
};

// The list file's entries (the current list, in its order). Throws IoError.
Collector collectFromListFile(const files::RecordSource& listFile);

// The addresses in groups of at most `size` (at least 1), in order.
QList<QStringList> groups(const QStringList& addresses, int size);
inline constexpr int kDefaultGroupSize = 50;
inline constexpr int kMaxGroupSize = 1000;

// "mailto:?bcc=" and the addresses separated by commas, every character of an address
// percent-encoded as UTF-8 except letters, digits and - . _ ~.
QByteArray mailtoBcc(const QStringList& addresses);

// The addresses for the clipboard ("a@b.pl, c@d.pl") and for a file (one a line, each line
// ended, UTF-8).
QString clipboardText(const QStringList& addresses);
QByteArray fileText(const QStringList& addresses);

} // namespace kestrana::groupmail
