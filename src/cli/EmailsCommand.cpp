#include "cli/EmailsCommand.h"

#include "cli/CliStart.h"
#include "envelope/GroupMail.h"
#include "platform/IoError.h"
#include "register/EntryStore.h"
#include "register/Register.h"
#include "reports/EntryFilter.h"
#include "reports/FilterOptions.h"

#include <cstdio>
#include <cstring>

namespace kestrana {

namespace {

void printTo(FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fputc('\n', stream);
}

} // namespace

int runEmailsCommand(const QStringList& args, const QString& workDir, const QString& today) {
    const FilterOptions filter = parseFilterOptions(args);
    if (!filter.error.isEmpty()) {
        printTo(stderr, QStringLiteral("kestrana-cli: ") + filter.error);
        return 2;
    }
    if (filter.rest.size() > 1) {
        printTo(stderr, QStringLiteral("kestrana-cli: nieznana opcja: ") + filter.rest[1]);
        return 2;
    }
    groupmail::Collector collector;
    try {
        const Workstation ws = openRegister(workDir, today);
        Register reg(ws);
        const Register::Filter test =
            filter.given ? makeEntryFilter(filter.criteria, ws) : Register::Filter();
        // The entries pass through the entry buffer, as in a list build.
        EntryRecord& buffer = reg.buffer();
        reg.store().scan([&](qint64, const char* record) {
            std::memcpy(buffer.data(), record, EntryRecord::Size);
            if (!test || test(buffer))
                collector.add(buffer);
        });
    } catch (const IoError& e) {
        printTo(stderr, QStringLiteral("kestrana-cli: ") + e.text());
        return 1;
    }
    for (const QString& address : collector.addresses())
        printTo(stdout, address);
    std::fflush(stdout);
    for (const groupmail::Refused& refused : collector.refused())
        printTo(stderr,
                QStringLiteral("kestrana-cli: pominięto: ") + groupmail::refusalText(refused));
    printTo(stderr, QStringLiteral("kestrana-cli: ") + collector.summary());
    return 0;
}

} // namespace kestrana
