#include "platform/CheckedFile.h"
#include "register/Register.h"
#include "reports/EntryFilter.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QTest>

using namespace kestrana;

// The time of a filter pass over a large register, run by hand on a data folder made with
// "kestrana-cli init" and "kestrana-cli generate --entries 100000":
//   KESTRANA_FILTER_BENCH=<folder> test_reports
class FilterBenchmark : public QObject {
    Q_OBJECT

private slots:
    void filterPass() {
        const QString dir = qEnvironmentVariable("KESTRANA_FILTER_BENCH");
        if (dir.isEmpty())
            QSKIP("KESTRANA_FILTER_BENCH names no generated data folder");
        Workstation ws;
        ws.workDir = ws.baseDir = dir;
        FilterCriteria c;
        c.nazwa1_s = QStringLiteral("Tartak");
        c.kat[2] = true;
        c.da1 = true;
        c.oddaty_k = QStringLiteral("2000-01-01");
        c.dodaty_k = QStringLiteral("2009-12-31");
        Register reg(ws);
        QStringList lines;
        const Register::Filter none = [](const EntryRecord&) { return false; };

        auto best = [&](const Register::Filter& filter) {
            qint64 fastest = std::numeric_limits<qint64>::max();
            for (int run = 0; run < 5; ++run) {
                QElapsedTimer timer;
                timer.start();
                reg.buildList(ViewMode::Nazwa, lines, filter ? filter : makeEntryFilter(c, ws));
                fastest = std::min(fastest, timer.nsecsElapsed());
            }
            return fastest;
        };
        const qint64 readOnly = best(none);
        const qint64 pass = best({});
        const qint64 records = files::recordCount(ws.mainFile(), EntryRecord::Size);
        qInfo("%lld entries, %lld kept: filter pass %.1f ms (%.0f ns an entry), reading alone "
              "%.1f ms",
              records, qint64(lines.size()), pass / 1e6, double(pass) / double(records),
              readOnly / 1e6);
        QVERIFY(!lines.isEmpty());
    }
};

KESTRANA_TEST(FilterBenchmark)
#include "FilterBenchmark.moc"
