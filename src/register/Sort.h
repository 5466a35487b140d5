#pragma once

#include "register/EntryRecord.h"
#include "station/Workstation.h"

#include <QString>

#include <functional>
#include <vector>

namespace kestrana {

// The field the register is sorted by, numbered as in the menu (s1..s4).
enum class SortField { Nazwa1 = 1, Nazwa2, Data, Numer };

Field keyFieldOf(SortField field);
// The name in the confirmation: "Nazwa I", "Nazwa II", "Data", "Kod".
QString sortFieldName(SortField field);
// "Sortować dane w/g pola " + name + " ?"
QString sortQuestion(const QString& fieldName);

// The menu's choice for the run. Until a field is chosen it is field 1, named "Nazwa".
struct SortChoice {
    SortField field = SortField::Nazwa1;
    QString name = QStringLiteral("Nazwa");

    // Sets the field and its name; sorts nothing.
    void choose(SortField chosen) {
        field = chosen;
        name = sortFieldName(chosen);
    }
};

// The key field's text fills 79 columns, then the record number follows, so that number has
// room for 6 digits.
inline constexpr int kSortKeyFieldWidth = 79;
inline constexpr qint64 kMaxSortEntries = 999999;

// The sort key of one entry as text: the key field at column 1 of 79 columns filled up with
// spaces, then the 1-based record number. Keys compare with polishCollator().
QString sortKeyText(const EntryRecord& record, SortField field, qint64 recordNumber);

// How keys are compared: by the collation weights of PolishOrder (compact and fast), or by the
// collator's own sort keys (the fallback when the weights do not match the collator).
enum class KeyMethod { Weights, CollatorKeys };

// The record numbers (1-based) of the main file's entries in ascending key order. Only the keys
// are held in memory. More than kMaxSortEntries entries are refused. Throws IoError.
std::vector<quint32> sortedRecordNumbers(const QString& mainFile, SortField field,
                                         files::FaultInjector* faults = nullptr);
std::vector<quint32> sortedRecordNumbers(const QString& mainFile, SortField field, KeyMethod method,
                                         files::FaultInjector* faults = nullptr);

// The same for entries another storage hands over: `scan` passes each entry's record, in
// storage order, to the visitor it is given; `count` is how many there are, `where` names the
// storage in a refusal.
using RecordScan = std::function<void(const std::function<void(const char* record)>& visit)>;
std::vector<quint32> sortedRecordNumbers(const RecordScan& scan, qint64 count, SortField field,
                                         const QString& where);

// Rewrites the main file in key order, ascending or descending (the exact reverse); DANE/spis.bak
// receives the entries in ascending order. The whole operation holds the main file's lock and
// the main file is replaced atomically: after any failure it is whole, as before. Throws IoError
// (LockNotGranted when the wait for the lock was given up).
void sortRegister(const Workstation& ws, SortField field, bool descending);

} // namespace kestrana
