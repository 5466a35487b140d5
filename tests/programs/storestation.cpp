// A workstation for tests that works through the register's storage, in files or on the
// workstation's server, as the program does:
//   storestation DIR hold ID          takes the lock of entry ID, prints "held ID" and keeps it
//                                     until its standard input ends
//   storestation DIR work NAME OPS    adds, edits, deletes and sorts, one line per operation:
//                                     added <id> <name>  edited <id> <nazwa2>  deleted <id>  busy
//                                     <id> sorted
#include "platform/IoError.h"
#include "register/EntryForm.h"
#include "register/EntryStore.h"
#include "register/Register.h"
#include "register/Startup.h"
#include "server/DatabaseRegister.h"

#include <QCoreApplication>
#include <QHash>
#include <QRandomGenerator>

#include <cstdio>
#include <vector>

using namespace kestrana;

namespace {

int hold(EntryStore& store, const QString& id) {
    if (store.takeLock(id) != EntryStore::Lock::Taken)
        return 3;
    std::printf("held %s\n", qPrintable(id));
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    store.releaseLock();
    return 0;
}

int work(EntryStore& store, const QString& name, int operations) {
    QRandomGenerator rng(qHash(name));
    std::vector<QString> mine;
    QHash<QString, QString> names;
    EntryRecord buffer;
    for (int op = 0; op < operations; ++op) {
        const int kind = mine.empty() ? 0 : rng.bounded(20);
        if (kind < 9) {
            EntryFormValues form;
            form[Field::nazwa1] = QStringLiteral("%1-%2").arg(name).arg(op);
            form[Field::nazwa2] = QStringLiteral("%1 v0").arg(name);
            EntryRecord record;
            formToRecord(form, record, true);
            store.add(record);
            const QString id = record.text(Field::id);
            mine.push_back(id);
            names.insert(id, form[Field::nazwa1]);
            std::printf("added %s %s\n", qPrintable(id), qPrintable(form[Field::nazwa1]));
        } else if (kind < 16) {
            const QString id = mine[size_t(rng.bounded(int(mine.size())))];
            if (store.checkLock(id) != EntryStore::Lock::Taken) {
                std::printf("busy %s\n", qPrintable(id));
                continue;
            }
            EntryFormValues form;
            form[Field::id] = id;
            form[Field::nazwa1] = names.value(id);
            form[Field::nazwa2] = QStringLiteral("%1 v%2").arg(name).arg(op);
            if (!store.saveEdited(buffer, form, id, -1))
                return 4;
            std::printf("edited %s %s\n", qPrintable(id), qPrintable(form[Field::nazwa2]));
        } else if (kind < 19) {
            const qsizetype at = rng.bounded(int(mine.size()));
            const QString id = mine[size_t(at)];
            if (!store.remove(id, -1))
                return 5;
            mine.erase(mine.begin() + at);
            std::printf("deleted %s\n", qPrintable(id));
        } else {
            store.sort(rng.bounded(2) ? SortField::Nazwa1 : SortField::Nazwa2, rng.bounded(2));
            std::printf("sorted\n");
        }
        std::fflush(stdout);
    }
    store.releaseLock();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 || (args[2] == QLatin1String("work") && args.size() < 5)) {
        std::fprintf(stderr, "usage: storestation DIR hold ID | DIR work NAME OPERATIONS\n");
        return 2;
    }
    try {
        const Workstation ws = startup::prepareWorkstation(args[1], false, "2026-12-07", nullptr,
                                                           server::openRegister);
        Register reg(ws);
        if (args[2] == QLatin1String("hold"))
            return hold(reg.store(), args[3]);
        return work(reg.store(), args[3], args[4].toInt());
    } catch (const IoError& e) {
        std::fprintf(stderr, "%s\n", e.text().toUtf8().constData());
        return 1;
    }
}
