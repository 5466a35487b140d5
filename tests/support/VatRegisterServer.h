#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

namespace kestrana::test {

// An HTTP server on 127.0.0.1 that answers as the VAT register does, in this process (the
// test's event loop must run for it to answer). By NIP:
//   1234563218  a company with three accounts, Polish letters and a name longer than a line
//   2222222222  a person exempt from VAT: a residence address only, no accounts, no REGON
//   3333333333  not in the register
//   4444444444  the register's own error answer (HTTP 400, code and message)
//   5555555555  HTTP 500 with a page of text
//   6666666666  no answer at all (the connection stays open until the server goes)
//   7777777777  JSON cut off in the middle
//   8888888888  JSON of another shape
//   9999999999  3 MB of blanks
// The account check answers TAK for the accounts of 1234563218 and NIE for the rest.
class VatRegisterServer : public QObject {
    Q_OBJECT

public:
    VatRegisterServer();
    ~VatRegisterServer() override;

    // "http://127.0.0.1:PORT", for KESTRANA_VAT_URL.
    QString url() const;
    // The request targets received, in order ("/api/search/nip/…?date=…").
    const QStringList& requests() const { return requests_; }

    static const QStringList& accounts(); // of 1234563218, in the register's order
    static QString searchRequestId() { return QStringLiteral("Zq4nt-8a7b5c3"); }
    static QString checkRequestId() { return QStringLiteral("Ck9z8-7y6x5w4"); }
    static QString requestTime() { return QStringLiteral("05-03-2007 14:05:09"); }

signals:
    // A request has come in (and been answered, unless it is one that gets no answer).
    void requested();

private:
    void read(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& target);

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<QPointer<QTcpSocket>> stalled_;
    QStringList requests_;
};

} // namespace kestrana::test
