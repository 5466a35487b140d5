// A workstation for tests: adds, edits and deletes entries on a shared data folder through the
// same code as the program, and reports what it did, one line per operation:
//   added <id> <name>      deleted <id>      edited <id> <nazwa2>
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "register/Editing.h"
#include "register/EntryLocks.h"
#include "register/Startup.h"

#include <QCoreApplication>
#include <QHash>
#include <QRandomGenerator>

#include <cstdio>
#include <vector>

using namespace kestrana;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: station DIR NAME OPERATIONS\n");
        return 2;
    }
    const QString name = args[2];
    const int operations = args[3].toInt();
    try {
        const Workstation ws = startup::prepareWorkstation(args[1], false, "2026-12-07");
        EntryLocks locks(ws);
        QRandomGenerator rng(qHash(name));
        std::vector<QString> mine;
        QHash<QString, QString> names;
        EntryRecord buffer;
        for (int op = 0; op < operations; ++op) {
            const int kind = mine.empty() ? 0 : rng.bounded(10);
            if (kind < 5) {
                const qint32 id = editing::takeNextId(ws);
                EntryFormValues form;
                form[Field::id] = QString::number(id);
                form[Field::nazwa1] = QStringLiteral("%1-%2").arg(name).arg(op);
                form[Field::nazwa2] = QStringLiteral("%1 v0").arg(name);
                formToRecord(form, buffer, true);
                editing::appendEntry(ws, buffer);
                mine.push_back(QString::number(id));
                names.insert(QString::number(id), form[Field::nazwa1]);
                std::printf("added %d %s\n", id, qPrintable(form[Field::nazwa1]));
            } else if (kind < 9) {
                const QString id = mine[rng.bounded(static_cast<int>(mine.size()))];
                if (locks.check(id) != EntryLocks::Outcome::Taken ||
                    locks.take(id) != EntryLocks::Outcome::Taken) {
                    std::printf("busy %s\n", qPrintable(id));
                    continue;
                }
                // The position is looked up again under the main file's lock by the save.
                EntryFormValues form;
                form[Field::id] = id;
                form[Field::nazwa1] = names.value(id);
                form[Field::nazwa2] = QStringLiteral("%1 v%2").arg(name).arg(op);
                if (!editing::saveEditedEntry(ws, buffer, form, id, -1))
                    return 4;
                std::printf("edited %s %s\n", qPrintable(id), qPrintable(form[Field::nazwa2]));
            } else {
                const qsizetype at = rng.bounded(static_cast<int>(mine.size()));
                const QString id = mine[at];
                if (!editing::deleteEntry(ws, id, -1))
                    return 5;
                mine.erase(mine.begin() + at);
                std::printf("deleted %s\n", qPrintable(id));
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
