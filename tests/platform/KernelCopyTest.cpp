#include "platform/KernelCopy.h"
#include "platform/CheckedFile.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace kestrana;

namespace {

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator rng(static_cast<quint32>(size));
    for (char& c : bytes)
        c = static_cast<char>(rng.bounded(256));
    return bytes;
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

class KernelCopyTest : public QObject {
    Q_OBJECT

private slots:
    // The same bytes whether the kernel copies or, refused, a buffer does; sizes around the
    // buffer's size.
    void copiesEveryByte_data() {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<int>("refusal"); // 0: the kernel copies
        for (const qsizetype size : {qsizetype(0), qsizetype(1), qsizetype(1678 * 7),
                                     qsizetype((1 << 20) - 1), qsizetype((1 << 20) * 3 + 5)}) {
            for (const int refusal : {0, EXDEV, ENOSYS, EOPNOTSUPP})
                QTest::addRow("%lld bytes, refusal %d", static_cast<long long>(size), refusal)
                    << size << refusal;
        }
    }
    void copiesEveryByte() {
        QFETCH(qsizetype, size);
        QFETCH(int, refusal);
        QTemporaryDir dir;
        const QByteArray bytes = randomBytes(size);
        put(dir.filePath("a"), bytes);
        files::FaultInjector faults;
        if (refusal != 0)
            faults.failCall(files::Call::KernelCopy, 1, refusal);
        files::copyNewFile(dir.filePath("a"), dir.filePath("b"), &faults);
        QCOMPARE(get(dir.filePath("b")), bytes);
    }

    // A failure that is no refusal, or a full disk on the way through the buffer, leaves no copy.
    void aFailedCopyLeavesNothing() {
        QTemporaryDir dir;
        put(dir.filePath("a"), randomBytes(100000));
        files::FaultInjector faults;
        faults.failCall(files::Call::KernelCopy, 1, EIO);
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 files::copyNewFile(dir.filePath("a"), dir.filePath("b"), &faults));
        QVERIFY(!QFile::exists(dir.filePath("b")));

        faults.clear();
        faults.failCall(files::Call::KernelCopy, 1, EXDEV);
        faults.failWritesAfter(5000, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError,
                                 files::copyNewFile(dir.filePath("a"), dir.filePath("b"), &faults));
        QVERIFY(!QFile::exists(dir.filePath("b")));
        // An existing target is never overwritten.
        put(dir.filePath("b"), "old");
        QVERIFY_THROWS_EXCEPTION(IoError, files::copyNewFile(dir.filePath("a"), dir.filePath("b")));
        QCOMPARE(get(dir.filePath("b")), QByteArray("old"));
    }

    // A kept file reads what was written, after another file took its name and after removal,
    // and two readers of it do not disturb each other.
    void aKeptFileOutlivesItsName() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.dat");
        const QByteArray first = randomBytes(40 * 10);
        std::shared_ptr<const files::KeptFile> kept;
        {
            files::FileWriter writer(path, files::FileWriter::Mode::Replace, 40);
            writer.write(first);
            kept = writer.keep();
            writer.commit();
        }
        files::replaceFile(path, randomBytes(40 * 3));
        const files::RecordSource source(kept);
        QCOMPARE(files::recordCount(source, 40), 10);
        files::RecordReader a(source, 40);
        files::RecordReader b(source, 40);
        QByteArray readA;
        QByteArray readB;
        while (const char* r = a.next()) {
            readA.append(r, 40);
            if (const char* s = b.next())
                readB.append(s, 40);
        }
        QCOMPARE(readA, first);
        QCOMPARE(readB, first);
        QVERIFY(QFile::remove(path));
        files::RecordReader c(source, 40);
        QVERIFY(c.next() != nullptr);
        QCOMPARE(QByteArray(c.next(), 40), first.mid(40, 40));
    }
};

KESTRANA_TEST(KernelCopyTest)
#include "KernelCopyTest.moc"
