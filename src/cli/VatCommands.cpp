#include "cli/VatCommands.h"

#include "vat/VatClient.h"

#include <QEventLoop>
#include <QTextStream>

#include <variant>

namespace kestrana {

using namespace Qt::StringLiterals;

const char* const vatUsage =
    "  lookup NIP [--account NRB]         dane firmy z wykazu podatników VAT; z --account:\n"
    "                                     czy konto jest przypisane do NIP (TAK/NIE)\n";

namespace {

int report(QTextStream& stream, const QStringList& lines, int code) {
    for (const QString& line : lines)
        stream << (code == 0 ? QString() : u"kestrana-cli: "_s) << line << '\n';
    stream.flush();
    return code;
}

// Runs the client's request to its end; the answer's exit code.
template <typename Result, typename Start>
int await(vat::Client& client, Start start,
          const std::function<QStringList(const Result&)>& describe, QTextStream& out,
          QTextStream& err) {
    QEventLoop loop;
    QObject::connect(&client, &vat::Client::finished, &loop, &QEventLoop::quit);
    int code = 1;
    start([&](const vat::Outcome<Result>& outcome) {
        if (const auto* failure = std::get_if<vat::Failure>(&outcome))
            code = report(err, {failure->message}, 1);
        else
            code = report(out, describe(std::get<Result>(outcome)), 0);
    });
    if (client.busy())
        loop.exec();
    return code;
}

} // namespace

int runLookupCommand(const QStringList& args, const QString& today, QTextStream& out,
                     QTextStream& err) {
    QStringList rest = args;
    if (!rest.isEmpty() && rest.front() == "lookup"_L1)
        rest.removeFirst();
    QString account;
    bool withAccount = false;
    if (const qsizetype at = rest.indexOf(u"--account"_s); at >= 0) {
        withAccount = true;
        account = rest.value(at + 1);
        rest.remove(at, std::min<qsizetype>(2, rest.size() - at));
    }
    if (rest.size() != 1 || rest.front().startsWith(u"--"_s) || (withAccount && account.isEmpty()))
        return report(err, {u"podaj: lookup NIP [--account NRB]"_s}, 2);
    const vat::Checked nip = vat::checkNip(rest.front());
    if (!nip.problem.isEmpty())
        return report(err, {nip.problem}, 2);
    vat::Client client;
    if (!withAccount) {
        return await<vat::SearchResult>(
            client, [&](auto done) { client.search(nip.digits, today, std::move(done)); },
            [](const vat::SearchResult& found) { return vat::describe(found); }, out, err);
    }
    const vat::Checked nrb = vat::checkAccount(account);
    if (!nrb.problem.isEmpty())
        return report(err, {nrb.problem}, 2);
    return await<vat::CheckResult>(
        client, [&](auto done) { client.check(nip.digits, nrb.digits, today, std::move(done)); },
        [&](const vat::CheckResult& checked) {
            return vat::describe(checked, nip.digits, nrb.digits);
        },
        out, err);
}

int runLookupCommand(const QStringList& args, const QString& today) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runLookupCommand(args, today, out, err);
}

} // namespace kestrana
