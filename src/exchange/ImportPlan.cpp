#include "exchange/ImportPlan.h"

#include "exchange/EntryAppend.h"
#include "exchange/RegisterMatches.h"
#include "exchange/SpreadsheetDamage.h"
#include "platform/CheckedFile.h"
#include "register/Register.h"

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
    Conversion conversion;
    // Read whole and decoded: a file far beyond any register's export is not taken in.
    if (const qint64 bytes = files::size(csvPath); bytes > kMaxFileBytes) {
        plan.refusal = QStringLiteral("Plik ma %1 MB, a import przyjmuje pliki CSV do %2 MB.")
                           .arg((bytes + (1 << 20) - 1) >> 20)
                           .arg(kMaxFileBytes >> 20);
        return plan;
    }
    {
        const Decoded decoded = decodeText(files::readFile(csvPath));
        plan.encoding = decoded.encoding;
        plan.separator = detectSeparator(decoded.text);
        RowConverter converter([&plan](int row, const EntryRecord& record) {
            PlannedRow planned;
            planned.row = row;
            planned.record = record;
            planned.damage = spreadsheetDamage(record);
            plan.rows.push_back(std::move(planned));
        });
        parse(
            decoded.text, plan.separator, [&](Row&& row) { converter.row(row); },
            [&](RowProblem&& problem) { converter.problem(problem); });
        conversion = converter.finish();
    }
    plan.refusal = conversion.refusal;
    plan.refused = std::move(conversion.skipped);
    if (!plan.refusal.isEmpty()) {
        plan.rows.clear();
        return plan;
    }
    std::vector<const EntryRecord*> records;
    records.reserve(plan.rows.size());
    for (const PlannedRow& row : plan.rows)
        records.push_back(&row.record);
    Register reg(ws);
    std::vector<QStringList> matches = findMatches(reg.store(), records);
    for (std::size_t i = 0; i < plan.rows.size(); ++i)
        plan.rows[i].matches = std::move(matches[i]);
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
