#pragma once

#include "station/SmallRecords.h"

#include <QString>

namespace kestrana {

struct Workstation;

// The office's own company data as "Dane firmy" edits it (ADMINI/firma.dat, or its record on
// the server in server mode).
namespace companydata {

// What each of the six lines holds (the dialog's labels).
const std::array<QString, 6>& lineLabels();

// Why line `line` (1..6) cannot be stored, or empty when it can: longer than 50 characters, or
// a character that Windows-1250 lacks. Nothing is ever cut or replaced silently.
QString lineProblem(int line, const QString& text);
// The first problem of the record, or empty.
QString problem(const CompanyRecord& record);

// The stored record; a missing file gives six empty lines. Throws IoError.
CompanyRecord load(const Workstation& ws);
// Replaces the file as a whole (never half-written). The caller has checked problem().
// Throws IoError.
void store(const Workstation& ws, const CompanyRecord& record);

// The one-time offer at start-up: on a register whose company data are all empty, each level
// (the boss, who may fill them; a clerk, who is told who can) is told once per workstation.
// The mark lies in the workstation's own ADMINI folder (beside siec.dat, under the working
// directory): it records what this workstation's user was told, not a property of the register,
// so a second workstation's boss still hears of empty data once. Throws IoError.
bool promptDue(const Workstation& ws);
void markPrompted(const Workstation& ws);
// The texts of the offer.
QString bossQuestion();
QString clerkNote();

} // namespace companydata

} // namespace kestrana
