#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <variant>

// The Ministry of Finance's public register of VAT payers ("wykaz podatników VAT"): its
// addresses, and what its JSON answers mean for the user. No network here (VatClient.h).
namespace kestrana::vat {

// The register's own address; the environment variable KESTRANA_VAT_URL replaces it (tests, or
// an office that reaches the register through a proxy of its own).
inline constexpr char kProductionUrl[] = "https://wl-api.mf.gov.pl";
QString baseUrl();

// GET {base}/api/search/nip/{nip}?date=YYYY-MM-DD, and
// GET {base}/api/check/nip/{nip}/bank-account/{nrb}?date=YYYY-MM-DD. A base with a path keeps
// it. Invalid when the base is not an http or https address.
QUrl searchUrl(const QString& base, const QString& nip, const QString& date);
QUrl checkUrl(const QString& base, const QString& nip, const QString& nrb, const QString& date);

// A company or person as the register lists it; empty texts where it gives none.
struct Subject {
    QString name;
    QString nip;
    QString statusVat; // "Czynny", "Zwolniony", "Niezarejestrowany"
    QString regon;
    QString pesel;
    QString krs;
    QString residenceAddress;
    QString workingAddress;
    QStringList accountNumbers; // 26 digits each
    bool hasVirtualAccounts = false;

    // Where the business is: the working address, or the residence address without one.
    QString address() const { return workingAddress.isEmpty() ? residenceAddress : workingAddress; }
};

// The register's identifier and time of a request, which an office keeps as proof.
struct Request {
    QString id;
    QString dateTime;
};

struct SearchResult {
    Subject subject;
    Request request;
};

struct CheckResult {
    bool assigned = false; // the account belongs to the NIP ("TAK")
    Request request;
};

// Why there is no result, with a Polish message for the user.
struct Failure {
    enum Kind {
        Cancelled, // the user stopped the request: nothing to say
        NotFound,  // the register answered, but it does not list the NIP
        Failed,    // no answer, an error answer, or one that cannot be read
    };
    Kind kind = Failed;
    QString message;
};

template <typename T> using Outcome = std::variant<T, Failure>;

// What an answer means: HTTP status and body as received. The register's error answers
// ({"code": "WL-…", "message": "…"}) give its own message and code; other HTTP errors their
// status; a body that is not the JSON expected says so.
Outcome<SearchResult> readSearchAnswer(const QString& nip, int httpStatus, const QByteArray& body);
Outcome<CheckResult> readCheckAnswer(int httpStatus, const QByteArray& body);

// The messages of the requests that got no answer.
QString noAnswerInTime(int milliseconds);
QString noConnection(const QString& platformText);
QString invalidBaseUrl(const QString& base);

// A NIP or an account number as typed, checked before anything is asked: the digits to ask
// for, or why the register cannot be asked.
struct Checked {
    QString digits;
    QString problem; // Polish; empty when the digits may be asked for
};
Checked checkNip(const QString& typed);
Checked checkAccount(const QString& typed);

// An account in the usual groups: "61 1090 1014 0000 0712 1981 2874".
QString groupedAccount(const QString& digits);

// What the user reads: every line the register gave about the subject, and the answer to an
// account check ("TAK"/"NIE" with the request's identifier).
QStringList describe(const SearchResult& result);
QStringList describe(const CheckResult& result, const QString& nip, const QString& nrb);

} // namespace kestrana::vat
