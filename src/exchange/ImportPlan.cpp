#include "exchange/ImportPlan.h"

#include "exchange/EntryAppend.h"
#include "exchange/RegisterMatches.h"
#include "exchange/SpreadsheetDamage.h"
#include "platform/CheckedFile.h"

#include <algorithm>

namespace kestrana::csv {

int ImportPlan::damagedCount() const {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                          [](const PlannedRow& r) { return !r.damage.isEmpty(); }));
}

int ImportPlan::matchingCount() const {
    return static_cast<int>(rows.size()) - newCount();
}

int ImportPlan::newCount() const {
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const PlannedRow& r) { return r.isNew(); }));
}

ImportPlan planImport(const Workstation& ws, const QString& csvPath) {
    ImportPlan plan;
    plan.source = csvPath;
    const Decoded decoded = decodeText(files::readFile(csvPath));
    plan.encoding = decoded.encoding;
    plan.separator = detectSeparator(decoded.text);
    Conversion conversion = convertRows(parse(decoded.text, plan.separator));
    plan.refusal = conversion.refusal;
    plan.refused = conversion.skipped;
    if (!plan.refusal.isEmpty())
        return plan;
    const std::vector<QStringList> matches = findMatches(ws.mainFile(), conversion.records);
    plan.rows.reserve(conversion.records.size());
    for (std::size_t i = 0; i < conversion.records.size(); ++i) {
        PlannedRow row;
        row.row = conversion.rows[static_cast<qsizetype>(i)];
        row.record = conversion.records[i];
        row.damage = spreadsheetDamage(row.record);
        row.matches = matches[i];
        plan.rows.push_back(std::move(row));
    }
    return plan;
}

ImportResult applyImport(const Workstation& ws, const ImportPlan& plan, ImportChoice choice) {
    ImportResult result;
    result.choice = choice;
    std::vector<EntryRecord> records;
    for (const PlannedRow& row : plan.rows) {
        if (choice == ImportChoice::OnlyNew && !row.isNew()) {
            result.leftOut.append(row.row);
            continue;
        }
        records.push_back(row.record);
        result.rows.append(row.row);
    }
    AppendedEntries appended = appendNewEntries(ws, std::move(records));
    result.added = std::move(appended.records);
    result.firstPosition = appended.firstPosition;
    return result;
}

} // namespace kestrana::csv
