#include "platform/BothCores.h"
#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <vector>

using namespace kestrana;

namespace {

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// Part i of a file made of `parts` parts of different sizes: its offset and bytes.
qint64 offsetOf(int i) {
    return qint64(i) * (i + 1) / 2 * 1000;
}
QByteArray partBytes(int i) {
    return QByteArray((i + 1) * 1000, static_cast<char>('a' + i % 26));
}

} // namespace

// Files written in parts placed by several threads, and the sharing of blocks of work between
// both cores.
class PlacedPartsTest : public QObject {
    Q_OBJECT

private slots:
    // Parts written by both cores in any order make the whole file; an overwritten file is cut
    // after its furthest part, and a new file replaces the old one only at the commit.
    void partsMakeTheWholeFile_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("overwrite a longer file")
            << static_cast<int>(files::FileWriter::Mode::Overwrite);
        QTest::newRow("replace the file") << static_cast<int>(files::FileWriter::Mode::Atomic);
    }
    void partsMakeTheWholeFile() {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath("f");
        constexpr int parts = 40;
        QByteArray whole;
        for (int i = 0; i < parts; ++i)
            whole += partBytes(i);
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(whole.size() + 777, 'x'));
        }
        files::FileWriter writer(path, static_cast<files::FileWriter::Mode>(mode));
        std::vector<std::atomic<int>> times(parts);
        std::atomic<int> otherCores{0};
        shareOnBothCores(parts, [&](qint64 block, int core) {
            if (core != 0 && core != 1)
                ++otherCores;
            const int i = parts - 1 - static_cast<int>(block); // the furthest first
            ++times[static_cast<size_t>(i)];
            writer.writeAt(offsetOf(i), partBytes(i));
        });
        QCOMPARE(otherCores.load(), 0);
        for (const auto& t : times)
            QCOMPARE(t.load(), 1);
        if (mode == static_cast<int>(files::FileWriter::Mode::Atomic))
            QCOMPARE(get(path), QByteArray(whole.size() + 777, 'x'));
        writer.commit();
        QCOMPARE(get(path) == whole, true);
    }

    // The one failing block stops the other core before its next block and reaches the caller.
    void failureStopsBothCores() {
        std::atomic<bool> failed{false};
        std::atomic<int> startedAfter{0};
        bool thrown = false;
        try {
            shareOnBothCores(100000, [&](qint64 block, int) {
                if (failed)
                    ++startedAfter;
                if (block == 5) {
                    failed = true;
                    throw IoError(QStringLiteral("zapis"), QStringLiteral("f"),
                                  QStringLiteral("x"));
                }
            });
        } catch (const IoError&) {
            thrown = true;
        }
        QVERIFY(thrown);
        // The other core goes on only while the exception unwinds (a few of these empty blocks),
        // not through the nearly 100 000 left.
        QVERIFY(startedAfter.load() < 10000);
    }
    // A writer given up ends where its complete part ends.
    void cutWhereTheCompletePartEnds() {
        QTemporaryDir dir;
        const QString path = dir.filePath("f");
        {
            files::FileWriter writer(path, files::FileWriter::Mode::Overwrite);
            writer.writeAt(4000, QByteArray(1000, 'c'));
            writer.writeAt(0, QByteArray(2000, 'a'));
            writer.endAt(2000); // the part from 2000 to 4000 was never written
        }
        QCOMPARE(get(path), QByteArray(2000, 'a'));
    }
};

KESTRANA_TEST(PlacedPartsTest)
#include "PlacedPartsTest.moc"
