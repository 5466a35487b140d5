#include "server/BinaryCopy.h"
#include "server/ServerError.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <utility>
#include <vector>

using namespace kestrana;
using namespace kestrana::server;

namespace {

using Rows = std::vector<std::pair<qint64, QByteArray>>;

Rows sampleRows() {
    Rows rows;
    rows.emplace_back(1, QByteArray(1678, '\0'));
    rows.emplace_back(-7, QByteArray());
    rows.emplace_back(Q_INT64_C(9999999999), QByteArray("\xff\x00\x01 tekst", 10));
    for (int i = 0; i < 3000; ++i) // past the writer's first send
        rows.emplace_back(i + 100, QByteArray(1678, static_cast<char>(i)));
    return rows;
}

QByteArray encode(const Rows& rows) {
    QByteArray data;
    int sends = 0;
    const Connection::Send send = [&](QByteArrayView piece) {
        data.append(piece.data(), piece.size());
        ++sends;
    };
    copy::Writer writer(send);
    for (const auto& [number, bytes] : rows) {
        writer.beginRow(2);
        writer.addInt64(number);
        writer.addBytes(bytes);
    }
    writer.finish();
    return data;
}

} // namespace

// The copy data arrive in pieces that may end anywhere: inside a length, inside a field, in
// the header. Every cut must give the same rows.
class BinaryCopyTest : public QObject {
    Q_OBJECT

private slots:
    void rowsSurviveAnyCut_data() {
        QTest::addColumn<int>("pieceSize");
        for (int size : {1, 2, 3, 7, 19, 1678, 1679, 65536, 1 << 30})
            QTest::addRow("%d", size) << size;
    }

    void rowsSurviveAnyCut() {
        QFETCH(int, pieceSize);
        const Rows rows = sampleRows();
        const QByteArray data = encode(rows);
        Rows read;
        copy::Reader reader([&](const std::vector<QByteArrayView>& fields) {
            QCOMPARE(fields.size(), size_t(2));
            read.emplace_back(copy::int64Field(fields[0]), fields[1].toByteArray());
        });
        for (qsizetype at = 0; at < data.size(); at += pieceSize)
            reader.take(
                QByteArrayView(data).sliced(at, std::min<qsizetype>(pieceSize, data.size() - at)));
        reader.finish();
        QCOMPARE(read.size(), rows.size());
        QVERIFY(read == rows);
    }

    void dataWithoutTheTrailerIsAnError() {
        const QByteArray data = encode(sampleRows());
        int rows = 0;
        copy::Reader reader([&](const std::vector<QByteArrayView>&) { ++rows; });
        reader.take(QByteArrayView(data).chopped(2));
        QCOMPARE(rows, 3003);
        QVERIFY_THROWS_EXCEPTION(ServerError, reader.finish());
    }
};

KESTRANA_TEST(BinaryCopyTest)
#include "BinaryCopyTest.moc"
