#include "platform/ReplacingWriter.h"
#include "platform/CheckedFile.h"
#include "platform/CodePage.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrana;

namespace {

QByteArray pattern(qsizetype size, char salt) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + salt) % 251);
    return bytes;
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

} // namespace

class ReplacingWriterTest : public QObject {
    Q_OBJECT

private slots:
    // The new content against the present file: kept when equal, otherwise a new file holding
    // exactly the new content, written in pieces of an odd size so that a piece spans the
    // comparison windows.
    void keepsOrReplaces_data() {
        QTest::addColumn<QByteArray>("present"); // "<none>": no file
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("kept");
        const QByteArray big = pattern(3 << 20, 1);
        QByteArray changedLate = big;
        changedLate[big.size() - 5] = 'x';
        QTest::newRow("same") << big << big << true;
        QTest::newRow("no file yet") << QByteArray("<none>") << big << false;
        QTest::newRow("changed near the end") << big << changedLate << false;
        QTest::newRow("present longer") << big << big.left(big.size() - 1678) << false;
        QTest::newRow("present shorter") << big.left(1 << 20) << big << false;
        QTest::newRow("both empty") << QByteArray() << QByteArray() << true;
        QTest::newRow("emptied") << big << QByteArray() << false;
    }
    void keepsOrReplaces() {
        QFETCH(QByteArray, present);
        QFETCH(QByteArray, written);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sp_ks.dat"));
        if (present != "<none>")
            files::writeFile(path, present);
        const auto before = files::identityOf(path);

        files::ReplacingWriter writer(path);
        for (qsizetype at = 0; at < written.size(); at += 100003)
            writer.write(written.constData() + at,
                         std::min<qsizetype>(100003, written.size() - at));
        const auto file = writer.finish();
        QCOMPARE(!writer.wroteNewFile(), kept);
        QCOMPARE(files::identityOf(path) == before, kept);
        QCOMPARE(contentOf(path), written);
        QCOMPARE(file->recordCount(1), written.size());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sp_ks.dat"});
    }

    // A link where the file belongs is never written through.
    void linkIsRefused() {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("elsewhere"));
        files::writeFile(target, "abc");
        const QString path = dir.filePath(QStringLiteral("sp_ks.dat"));
        QVERIFY(QFile::link(target, path));
        files::ReplacingWriter writer(path);
        QVERIFY_THROWS_EXCEPTION(IoError, writer.write("abc", 3));
        QCOMPARE(contentOf(target), QByteArray("abc"));
    }

    // Bytes to UTF-8 without a text in between: the same as through the decoded text, for
    // every byte, alone and among plain letters.
    void utf8OfEveryByte() {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(static_cast<char>(i));
        const QByteArray mixed = "abcdefghij" + all + "klmnopqrstuvwxyz" + all.right(7);
        for (const QByteArray& bytes : {all, mixed, QByteArray("plain ascii only, long")}) {
            QByteArray out = "prefix";
            cp1250::appendUtf8(bytes.constData(), bytes.size(), out);
            QCOMPARE(out, "prefix" + cp1250::decode(bytes).toUtf8());
        }
    }
};

KESTRANA_TEST(ReplacingWriterTest)
#include "ReplacingWriterTest.moc"
