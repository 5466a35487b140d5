// One workstation's editing steps for tests that run as another user: usage
// `steps DIR STEP...` with the steps
//   add NAME        a new entry, as "Zapisz dane" in add mode
//   edit ID NAME2   the entry's second name line, as "Zapisz dane"
//   delete ID       as "Usuń wpis"
//   setid N         the ID counter, as "Zapisz zmiany" of the ID panel
//   show ID         selects the entry as a click: takes its lock file
// Each step goes through the same code as the program. Prints one line per step done.
#include "platform/IoError.h"
#include "register/Editing.h"
#include "register/EntryLocks.h"
#include "register/Startup.h"

#include <QCoreApplication>

#include <cstdio>

using namespace kestrana;

namespace {

bool step(const Workstation& ws, EntryLocks& locks, const QStringList& words, qsizetype& at) {
    const QString name = words.value(at++);
    const QString arg = words.value(at++);
    if (name == QLatin1String("add")) {
        EntryFormValues form;
        form[Field::nazwa1] = arg;
        EntryRecord record;
        formToRecord(form, record, true);
        record.setText(Field::datamodyfikacji, ws.today);
        std::printf("added %d\n", editing::addEntry(ws, record).firstId);
        return true;
    }
    if (name == QLatin1String("edit")) {
        EntryFormValues form;
        form[Field::id] = arg;
        form[Field::nazwa2] = words.value(at++);
        EntryRecord buffer;
        if (!editing::saveEditedEntry(ws, buffer, form, arg, -1))
            return false;
        std::printf("edited %s\n", qPrintable(arg));
        return true;
    }
    if (name == QLatin1String("delete")) {
        if (!editing::deleteEntry(ws, arg, -1))
            return false;
        std::printf("deleted %s\n", qPrintable(arg));
        return true;
    }
    if (name == QLatin1String("setid")) {
        editing::writeIdCounter(ws, arg.toInt());
        std::printf("counter %s\n", qPrintable(arg));
        return true;
    }
    if (name == QLatin1String("show")) {
        if (locks.check(arg) != EntryLocks::Outcome::Taken ||
            locks.take(arg) != EntryLocks::Outcome::Taken)
            return false;
        std::printf("shown %s\n", qPrintable(arg));
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: steps DIR STEP...\n");
        return 2;
    }
    try {
        const Workstation ws = startup::prepareWorkstation(args[1], false, "2026-12-07");
        EntryLocks locks(ws);
        for (qsizetype at = 2; at < args.size();) {
            if (!step(ws, locks, args, at)) {
                std::fprintf(stderr, "step %lld refused\n", static_cast<long long>(at));
                return 3;
            }
            std::fflush(stdout);
        }
        locks.release();
    } catch (const IoError& e) {
        std::fprintf(stderr, "%s\n", e.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
