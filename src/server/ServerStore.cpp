#include "server/ServerStore.h"

#include "platform/CodePage.h"
#include "server/BinaryCopy.h"
#include "server/ServerError.h"
#include "station/SmallRecords.h"

#include <algorithm>
#include <cstring>

namespace kestrana::server {

namespace {

const QString opRead = QStringLiteral("Odczyt wpisu z serwera");
const QString opList = QStringLiteral("Odczyt wpisów z serwera");
const QString opAdd = QStringLiteral("Dodanie wpisu na serwerze");
const QString opSave = QStringLiteral("Zapis wpisu na serwerze");
const QString opRemove = QStringLiteral("Usunięcie wpisu na serwerze");
const QString opSort = QStringLiteral("Sortowanie wpisów na serwerze");
const QString opCounter = QStringLiteral("Licznik ID na serwerze");

// The one list of every entry in storage order; the index on `ord` gives the order, where
// sorting every record in the server's memory would cost far more.
const char* const kScan = "COPY (SELECT entry_key, record FROM kestrana.entries ORDER BY ord) "
                          "TO STDOUT (FORMAT binary)";

// Reading along the index on `ord` gives the order without holding the records anywhere.
const char* const kInOrder = "SET LOCAL enable_sort = off";

QString recordId(const char* record) {
    return EntryRecord::fromBytes(record).text(Field::id);
}

[[noreturn]] void registerFault(const ServerLink& link, const QString& step, const QString& text) {
    throw ServerError(ServerError::Kind::Register, step, link.server(), text);
}

// A stored short string field's text as SQL: its length byte, capped at the width, counts.
QByteArray storedText(int offset, int width) {
    return "substring(record FROM " + QByteArray::number(offset + 2) +
           " FOR least(get_byte(record, " + QByteArray::number(offset) + "), " +
           QByteArray::number(width) + "))";
}

// Bytes as an SQL value: hex digits only, so no quoting can go wrong.
QByteArray bytesValue(const QByteArray& bytes) {
    return "decode('" + bytes.toHex() + "', 'hex')";
}

// Every entry's row in storage order, its record only where it passes `p` (null elsewhere): the
// rows left out still count for the positions, at a few bytes each. COPY takes no parameters,
// so the values are written into the statement as hex.
QByteArray preselectedScan(const Preselection& p) {
    QByteArrayList conditions;
    for (const Preselection::Byte& b : p.bytes)
        conditions << "get_byte(record, " + QByteArray::number(b.offset) +
                          ") = " + QByteArray::number(b.value);
    for (const Preselection::Range& r : p.ranges) {
        const QByteArray text = storedText(r.offset, r.width);
        conditions << text + " >= " + bytesValue(r.from) << text + " <= " + bytesValue(r.to);
    }
    for (const Preselection::Text& t : p.texts)
        conditions << "position(" + bytesValue(t.bytes) + " IN " + storedText(t.offset, t.width) +
                          ") > 0";
    return "COPY (SELECT entry_key, CASE WHEN " + conditions.join(" AND ") +
           " THEN record END FROM kestrana.entries ORDER BY ord) TO STDOUT (FORMAT binary)";
}

// Streams (entry_key, record) of `sql` in storage order to `row`, in a snapshot of its own. A
// null record (a row the statement left out) comes as nullptr when `mayLeaveOut`.
void streamEntries(ServerLink& link, Connection& c, const QString& step, const char* sql,
                   bool mayLeaveOut,
                   const std::function<void(qint64 key, const char* record)>& row) {
    copy::Reader reader([&](const std::vector<QByteArrayView>& fields) {
        const bool leftOut = fields.size() == 2 && mayLeaveOut && fields[1].isNull();
        if (fields.size() != 2 || (!leftOut && fields[1].size() != EntryRecord::Size))
            registerFault(link, step, QStringLiteral("Wpis na serwerze nie ma 1678 bajtów."));
        row(copy::int64Field(fields[0]), leftOut ? nullptr : fields[1].data());
    });
    c.copyOut(step, sql, [&](QByteArrayView piece) { reader.take(piece); });
    reader.finish();
}

qint32 counterValue(const ServerLink& link, const Result& rows, const QString& step) {
    if (rows.rows() == 0)
        registerFault(link, step,
                      QStringLiteral("W rejestrze na serwerze nie ma licznika ID (id_ks.dat)."));
    const QByteArray content = rows.bytes(0, 0);
    if (content.size() < 4)
        registerFault(
            link, step,
            QStringLiteral("Licznik ID na serwerze ma %1 B zamiast 4 B.").arg(content.size()));
    return int32FromBytes(content);
}

} // namespace

ServerStore::ServerStore(ServerLink& link, const Workstation& local)
    : link_(link), local_(local), localFiles_(local_) {
    // The local side must not lead back to the server: that would keep it open for ever.
    local_.server.reset();
}

ServerStore::~ServerStore() = default;

void ServerStore::read(qint64 position, EntryRecord& into) {
    Connection& c = link_.connection();
    if (position >= 0 && position < qint64(keys_.size())) {
        const Result row =
            c.exec(opRead, "SELECT record FROM kestrana.entries WHERE entry_key = $1",
                   Params().addInt64(keys_[size_t(position)]));
        if (row.rows() == 0)
            registerFault(link_, opRead,
                          QStringLiteral("Tego wpisu nie ma już w bazie: usunął go w międzyczasie "
                                         "inny użytkownik."));
        std::memcpy(into.data(), row.bytes(0, 0).constData(), EntryRecord::Size);
        return;
    }
    const Result row =
        c.exec(opRead, "SELECT record FROM kestrana.entries ORDER BY ord OFFSET $1 LIMIT 1",
               Params().addInt64(position));
    if (position < 0 || row.rows() == 0)
        registerFault(link_, opRead,
                      QStringLiteral("Nie ma wpisu o numerze %1: odczyt poza końcem rejestru.")
                          .arg(position + 1));
    std::memcpy(into.data(), row.bytes(0, 0).constData(), EntryRecord::Size);
}

void ServerStore::scan(const Visitor& visit) {
    keys_.clear();
    Connection& c = link_.connection();
    Transaction transaction(c, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    std::vector<qint64> keys;
    c.exec(opList, kInOrder);
    streamEntries(link_, c, opList, kScan, false, [&](qint64 key, const char* record) {
        keys.push_back(key);
        visit(qint64(keys.size()) - 1, record);
    });
    transaction.commit();
    keys_ = std::move(keys);
}

void ServerStore::scanPreselected(const Preselection& preselection, const Visitor& visit) {
    if (preselection.empty()) {
        scan(visit);
        return;
    }
    keys_.clear();
    Connection& c = link_.connection();
    Transaction transaction(c, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    std::vector<qint64> keys;
    const QByteArray sql = preselectedScan(preselection);
    // A field text of a few letters leaves out nearly every record, so reading the table as it
    // lies and sorting what remains in memory beats following the index, which reads the table
    // in the order of `ord` (about twice as long). Otherwise most records may pass: sorted,
    // they would not fit in memory and go to disk, and the index is the better way.
    if (std::any_of(preselection.texts.begin(), preselection.texts.end(),
                    [](const Preselection::Text& t) { return t.bytes.size() >= 3; })) {
        c.exec(opList, "SET LOCAL work_mem = '64MB'");
        c.exec(opList, "SET LOCAL enable_indexscan = off");
    } else {
        c.exec(opList, kInOrder);
    }
    streamEntries(link_, c, opList, sql.constData(), true, [&](qint64 key, const char* record) {
        keys.push_back(key);
        if (record)
            visit(qint64(keys.size()) - 1, record);
    });
    transaction.commit();
    keys_ = std::move(keys);
}

qint64 ServerStore::rankOf(Connection& c, const QString& step, qint64 ord) {
    return c
        .exec(step, "SELECT count(*) FROM kestrana.entries WHERE ord < $1", Params().addInt64(ord))
        .int64(0, 0);
}

// The ID counter's row, held until the transaction ends: additions follow one another.
qint32 ServerStore::takeIds(Connection& c, const QString& step, qint64 count) {
    const qint32 first = counterValue(
        link_,
        c.exec(step, "SELECT content FROM kestrana.records WHERE name = 'id_counter' FOR UPDATE"),
        step);
    const QString refusal = editing::idRefusal(first, count);
    if (!refusal.isEmpty())
        registerFault(link_, QStringLiteral("Nadanie numeru ID"), refusal);
    c.exec(step, "UPDATE kestrana.records SET content = $1 WHERE name = 'id_counter'",
           Params().addBytes(int32Bytes(static_cast<qint32>(first + count))));
    return first;
}

qint64 ServerStore::add(EntryRecord& record) {
    qint64 position = 0;
    link_.transact(opAdd, local_.lockWait, [&](Connection& c) {
        const qint32 id = takeIds(c, opAdd, 1);
        record.setText(Field::id, QString::number(id));
        const Result added =
            c.exec(opAdd,
                   "INSERT INTO kestrana.entries (ord, record) "
                   "SELECT COALESCE(max(ord), 0) + 1, $1 FROM kestrana.entries RETURNING ord",
                   Params().addBytes(QByteArrayView(record.data(), EntryRecord::Size)));
        position = rankOf(c, opAdd, added.int64(0, 0));
    });
    keys_.clear();
    return position;
}

// The entry with `id`: the row the list showed at `expectedPosition` when it still has that ID,
// else the first one in storage order with it. Its row is held until the transaction ends.
std::optional<ServerStore::Row> ServerStore::findForUpdate(Connection& c, const QString& step,
                                                           const QString& id,
                                                           qint64 expectedPosition) {
    const auto rowOf = [](const Result& rows, int i) {
        return Row{rows.int64(i, 0), rows.int64(i, 1), rows.bytes(i, 2)};
    };
    if (expectedPosition >= 0 && expectedPosition < qint64(keys_.size())) {
        const Result rows = c.exec(step,
                                   "SELECT entry_key, ord, record FROM kestrana.entries "
                                   "WHERE entry_key = $1 FOR UPDATE",
                                   Params().addInt64(keys_[size_t(expectedPosition)]));
        if (rows.rows() == 1 && recordId(rows.bytes(0, 2).constData()) == id)
            return rowOf(rows, 0);
    }
    // entry_id holds the ID's stored bytes as encode(..., 'escape') gives them.
    const Result rows = c.exec(step,
                               "SELECT entry_key, ord, record FROM kestrana.entries "
                               "WHERE entry_id = encode($1, 'escape') ORDER BY ord FOR UPDATE",
                               Params().addBytes(cp1250::encode(id)));
    for (int i = 0; i < rows.rows(); ++i) {
        if (recordId(rows.bytes(i, 2).constData()) == id)
            return rowOf(rows, i);
    }
    return std::nullopt;
}

std::optional<qint64> ServerStore::saveEdited(EntryRecord& buffer, const EntryFormValues& form,
                                              const QString& id, qint64 expectedPosition) {
    std::optional<qint64> position;
    link_.transact(opSave, local_.lockWait, [&](Connection& c) {
        position.reset();
        const std::optional<Row> row = findForUpdate(c, opSave, id, expectedPosition);
        if (!row)
            return;
        std::memcpy(buffer.data(), row->record.constData(), EntryRecord::Size);
        formToRecord(form, buffer, false);
        buffer.setText(Field::datamodyfikacji, local_.today);
        c.exec(
            opSave, "UPDATE kestrana.entries SET record = $2 WHERE entry_key = $1",
            Params().addInt64(row->key).addBytes(QByteArrayView(buffer.data(), EntryRecord::Size)));
        position = rankOf(c, opSave, row->ord);
    });
    return position;
}

std::optional<qint64> ServerStore::remove(const QString& id, qint64 expectedPosition) {
    std::optional<qint64> position;
    link_.transact(opRemove, local_.lockWait, [&](Connection& c) {
        position.reset();
        const std::optional<Row> row = findForUpdate(c, opRemove, id, expectedPosition);
        if (!row)
            return;
        position = rankOf(c, opRemove, row->ord);
        c.exec(opRemove, "DELETE FROM kestrana.entries WHERE entry_key = $1",
               Params().addInt64(row->key));
    });
    if (position)
        keys_.clear();
    return position;
}

void ServerStore::sort(SortField field, bool descending) {
    link_.transact(opSort, local_.lockWait, [&](Connection& c) {
        // Writers wait until the new order is in; readers go on with the old one meanwhile.
        c.exec(opSort, "LOCK TABLE kestrana.entries IN EXCLUSIVE MODE");
        const qint64 count = c.exec(opSort, "SELECT count(*) FROM kestrana.entries").int64(0, 0);
        std::vector<qint64> keys;
        keys.reserve(size_t(count));
        const std::vector<quint32> order = sortedRecordNumbers(
            [&](const std::function<void(const char*)>& visit) {
                c.exec(opSort, kInOrder);
                streamEntries(link_, c, opSort, kScan, false, [&](qint64 key, const char* record) {
                    keys.push_back(key);
                    visit(record);
                });
            },
            count, field, link_.server());
        // Every entry's new place: its rank in key order, or the exact reverse.
        std::vector<qint64> ords(order.size());
        std::vector<qint64> rows(order.size());
        const qint64 n = qint64(order.size());
        for (qint64 i = 0; i < n; ++i) {
            rows[size_t(i)] = keys[order[size_t(i)] - 1];
            ords[size_t(i)] = descending ? n - i : i + 1;
        }
        // Only the entries that move are written; the order's uniqueness is checked at the end
        // of the statement, when every entry has its new place.
        c.exec(opSort,
               "UPDATE kestrana.entries AS e SET ord = v.ord "
               "FROM unnest($1::bigint[], $2::bigint[]) AS v(entry_key, ord) "
               "WHERE e.entry_key = v.entry_key AND e.ord <> v.ord",
               Params().addInt64Array(rows).addInt64Array(ords));
    });
    keys_.clear();
}

editing::Appended ServerStore::appendNew(qint64 count, const editing::EntryMaker& make) {
    editing::Appended appended;
    link_.transact(opAdd, local_.lockWait, [&](Connection& c) {
        appended = {};
        // The counter's row first: additions follow one another, so the last place read below
        // stays the last until this transaction ends.
        if (count > 0)
            appended.firstId = takeIds(c, opAdd, count);
        const Result last =
            c.exec(opAdd, "SELECT COALESCE(max(ord), 0), count(*) FROM kestrana.entries");
        appended.firstPosition = last.int64(0, 1);
        if (count <= 0)
            return;
        const qint64 firstOrd = last.int64(0, 0) + 1;
        c.copyIn(opAdd, "COPY kestrana.entries (ord, record) FROM STDIN (FORMAT binary)",
                 [&](const Connection::Send& send) {
                     copy::Writer writer(send);
                     EntryRecord record;
                     for (qint64 i = 0; i < count; ++i) {
                         const auto id = static_cast<qint32>(appended.firstId + i);
                         record.clear();
                         make(i, id, record);
                         record.setText(Field::id, QString::number(id));
                         writer.beginRow(2);
                         writer.addInt64(firstOrd + i);
                         writer.addBytes(QByteArrayView(record.data(), EntryRecord::Size));
                     }
                     writer.finish();
                 });
    });
    if (count > 0)
        keys_.clear();
    return appended;
}

int ServerStore::removeChosen(const QSet<QString>& ids, const Chooser& choose) {
    int removed = 0;
    link_.transact(opRemove, local_.lockWait, [&](Connection& c) {
        removed = 0;
        const Result rows = c.exec(opRemove,
                                   "SELECT entry_key, record FROM kestrana.entries "
                                   "WHERE entry_id = ANY ($1) ORDER BY ord FOR UPDATE",
                                   Params().addTextArray(QStringList(ids.begin(), ids.end())));
        std::vector<EntryRecord> found;
        std::vector<qint64> keys;
        for (int i = 0; i < rows.rows(); ++i) {
            const QByteArray record = rows.bytes(i, 1);
            if (!ids.contains(recordId(record.constData())))
                continue;
            found.push_back(EntryRecord::fromBytes(record.constData()));
            keys.push_back(rows.int64(i, 0));
        }
        const std::vector<bool> chosen = choose(found);
        std::vector<qint64> going;
        for (size_t i = 0; i < keys.size() && i < chosen.size(); ++i) {
            if (chosen[i])
                going.push_back(keys[i]);
        }
        if (going.empty())
            return;
        c.exec(opRemove, "DELETE FROM kestrana.entries WHERE entry_key = ANY ($1)",
               Params().addInt64Array(going));
        removed = int(going.size());
    });
    if (removed > 0)
        keys_.clear();
    return removed;
}

qint32 ServerStore::idCounter() {
    return counterValue(
        link_,
        link_.connection().exec(opCounter,
                                "SELECT content FROM kestrana.records WHERE name = 'id_counter'"),
        opCounter);
}

void ServerStore::setIdCounter(qint32 value) {
    const QString refusal = editing::idRefusal(value, 1);
    if (value < 1)
        registerFault(link_, QStringLiteral("Nadanie numeru ID"), refusal);
    link_.transact(opCounter, local_.lockWait, [&](Connection& c) {
        c.exec(opCounter,
               "INSERT INTO kestrana.records (name, content) VALUES ('id_counter', $1) "
               "ON CONFLICT (name) DO UPDATE SET content = excluded.content",
               Params().addBytes(int32Bytes(value)));
    });
}

EntryLockConnection& ServerStore::locks() {
    // A lock connection that broke took this workstation's locks with it.
    if (!locks_ || locks_->connection().broken()) {
        ownLockHeld_ = false;
        locks_.reset();
        locks_ = std::make_unique<EntryLockConnection>(link_.conninfo());
    }
    return *locks_;
}

EntryStore::Lock ServerStore::checkLock(const QString& id) {
    const std::optional<qint64> key = entryLockKey(id);
    EntryLockConnection& held = locks();
    if (ownLock_ && ownLock_ != key) {
        if (ownLockHeld_)
            held.unlock(*ownLock_);
        ownLock_.reset();
        ownLockHeld_ = false;
    }
    if (!key)
        return Lock::InvalidId;
    if (!held.tryLock(*key))
        return Lock::HeldByOther;
    ownLock_ = key;
    ownLockHeld_ = true;
    return Lock::Taken;
}

EntryStore::Lock ServerStore::takeLock(const QString& id) {
    return checkLock(id);
}

bool ServerStore::heldByOther(const QString& id) {
    const std::optional<qint64> key = entryLockKey(id);
    if (!key)
        return false;
    EntryLockConnection& held = locks();
    if (held.holds(*key))
        return false;
    if (!held.tryLock(*key))
        return true;
    // Free: the entry this workstation shows keeps the lock it has got back; any other is only
    // looked at.
    if (ownLock_ == key)
        ownLockHeld_ = true;
    else
        held.unlock(*key);
    return false;
}

void ServerStore::releaseLock() {
    try {
        if (ownLock_ && ownLockHeld_ && locks_)
            locks_->unlock(*ownLock_);
    } catch (const ServerError&) {
        // A connection that failed has ended the lock with it.
    }
    ownLock_.reset();
    ownLockHeld_ = false;
}

void ServerStore::remember(const EntryRecord& record) {
    localFiles_.remember(record);
}

EntryRecord ServerStore::remembered() {
    return localFiles_.remembered();
}

void ServerStore::keepPrevious(const EntryRecord& record) {
    localFiles_.keepPrevious(record);
}

} // namespace kestrana::server
