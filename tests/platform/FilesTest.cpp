#include "platform/CheckedFile.h"
#include "platform/DataPaths.h"
#include "platform/TextFile.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace kestrana;

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class FilesTest : public QObject {
    Q_OBJECT

private slots:
    void pathsIgnoreLetterCase_data() {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("found");
        QTest::newRow("upper for mixed")
            << QStringLiteral("ADMINI/siec.dat") << QStringLiteral("Admini/siec.dat");
        QTest::newRow("backslashes")
            << QStringLiteral("\\admini\\SIEC.DAT") << QStringLiteral("Admini/siec.dat");
        QTest::newRow("missing file keeps its spelling")
            << QStringLiteral("ADMINI/Nowy.dat") << QStringLiteral("Admini/Nowy.dat");
        QTest::newRow("missing directory keeps its spelling")
            << QStringLiteral("Dane/spis_ks.dat") << QStringLiteral("Dane/spis_ks.dat");
    }
    void pathsIgnoreLetterCase() {
        QFETCH(QString, asked);
        QFETCH(QString, found);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Admini")));
        put(dir.filePath(QStringLiteral("Admini/siec.dat")), "x");
        QCOMPARE(resolvePath(dir.path(), asked), dir.filePath(found));
    }

    void plainIds_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("plain");
        QTest::newRow("digits") << QStringLiteral("17") << true;
        QTest::newRow("negative") << QStringLiteral("-5") << true;
        QTest::newRow("minus alone") << QStringLiteral("-") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("path") << QStringLiteral("../x") << false;
        QTest::newRow("blank") << QStringLiteral("1 ") << false;
        QTest::newRow("eleven digits") << QStringLiteral("12345678901") << false;
    }
    void plainIds() {
        QFETCH(QString, id);
        QFETCH(bool, plain);
        QCOMPARE(isPlainId(id), plain);
    }

    void partialRecordIsNeverRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.dat"));
        put(path, QByteArray(10, 'a') + QByteArray(10, 'b') + QByteArray(4, 'c'));
        QCOMPARE(files::recordCount(path, 10), 2);
        QCOMPARE(files::readRecord(path, 1, 10), QByteArray(10, 'b'));
        QVERIFY_THROWS_EXCEPTION(IoError, files::readRecord(path, 2, 10));
        files::RecordReader reader(path, 10);
        int records = 0;
        while (reader.next())
            ++records;
        QCOMPARE(records, 2);
        // Appending continues after the last whole record.
        files::appendRecord(path, QByteArray(10, 'd'));
        QCOMPARE(get(path), QByteArray(10, 'a') + QByteArray(10, 'b') + QByteArray(10, 'd'));
    }

    void readerCrossesItsBuffer() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.dat"));
        QByteArray bytes;
        const int recordSize = 1678;
        const int count = 1500; // more than one megabyte
        for (int i = 0; i < count; ++i)
            bytes.append(QByteArray(recordSize, static_cast<char>('A' + i % 26)));
        put(path, bytes);
        files::RecordReader reader(path, recordSize);
        int i = 0;
        while (const char* r = reader.next()) {
            QCOMPARE(r[0], static_cast<char>('A' + i % 26));
            QCOMPARE(r[recordSize - 1], static_cast<char>('A' + i % 26));
            ++i;
        }
        QCOMPARE(i, count);
    }

    // A failure reads as a Polish sentence naming the file, then the platform's own text.
    void failuresLeadWithASentence_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("write") << int(files::Call::Write) << ENOSPC
                               << QStringLiteral("Nie udało się zapisać pliku %1");
        QTest::newRow("open") << int(files::Call::Open) << EACCES
                              << QStringLiteral("Nie udało się otworzyć pliku %1");
        QTest::newRow("flush") << int(files::Call::Sync) << EIO
                               << QStringLiteral("Nie udało się utrwalić na dysku %1");
    }
    void failuresLeadWithASentence() {
        QFETCH(int, call);
        QFETCH(int, error);
        QFETCH(QString, sentence);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plik.dat"));
        files::FaultInjector faults;
        if (call == int(files::Call::Write))
            faults.failWritesAfter(0, error);
        else
            faults.failCall(static_cast<files::Call>(call), 1, error);
        try {
            files::replaceFile(path, QByteArray(4, 'x'), &faults);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.errorNumber(), error);
            // The sentence names the file the operation was on (a temporary one for a write).
            QVERIFY2(e.text().startsWith(sentence.arg(QString())), qPrintable(e.text()));
            QVERIFY2(e.text().endsWith(QStringLiteral(": ") +
                                       QString::fromLocal8Bit(std::strerror(error))),
                     qPrintable(e.text()));
            QVERIFY(e.text().contains(dir.path()));
        }
    }

    void unknownOperationIsNamed() {
        const IoError e(QStringLiteral("Odczyt czegoś nowego"), QStringLiteral("/x/y"), ENOENT);
        QCOMPARE(e.text(), QStringLiteral("Operacja „Odczyt czegoś nowego” nie powiodła się "
                                          "(/x/y): ") +
                               QString::fromLocal8Bit(std::strerror(ENOENT)));
    }

    void failedReplaceKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("main.dat"));
        put(path, "old content");
        files::FaultInjector faults;
        faults.failWritesAfter(1000, ENOSPC);
        QVERIFY_THROWS_EXCEPTION(IoError, files::replaceFile(path, QByteArray(5000, 'n'), &faults));
        QCOMPARE(get(path), QByteArray("old content"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("main.dat")});
        files::replaceFile(path, "new");
        QCOMPARE(get(path), QByteArray("new"));
    }

    void exclusiveCreationRefusesAnExistingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("17.p"));
        QVERIFY(files::createExclusive(path, QByteArray(4, '\1')));
        QVERIFY(!files::createExclusive(path, QByteArray(4, '\2')));
        QCOMPARE(get(path), QByteArray(4, '\1'));
        QVERIFY(files::removeFile(path));
        QVERIFY(!files::removeFile(path));
    }

    void textLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lf") << QByteArray("a\nb") << QStringList{"a", "b"};
        QTest::newRow("cr") << QByteArray("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("polish") << QByteArray("\xaf\xf3\xb3w")
                                << QStringList{QStringLiteral("Żółw")};
    }
    void textLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.txt"));
        put(path, bytes);
        QCOMPARE(textfile::readLines(path), lines);
    }

    void textIsWrittenWithCrLfInWindows1250() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.txt"));
        textfile::writeLines(path, {QStringLiteral("Łódź"), QStringLiteral("b")}, false);
        QCOMPARE(get(path), QByteArray("\xa3\xf3"
                                       "d\x9f\r\nb"));
        textfile::writeLines(path, {QStringLiteral("a")}, true);
        QCOMPARE(get(path), QByteArray("a\r\n"));
    }
};

KESTRANA_TEST(FilesTest)
#include "FilesTest.moc"
