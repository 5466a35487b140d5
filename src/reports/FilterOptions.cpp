#include "reports/FilterOptions.h"

#include <QHash>

namespace kestrana {

namespace {

QString* textField(FilterCriteria& c, const QString& option) {
    static const QHash<QString, QString FilterCriteria::*> fields = {
        {QStringLiteral("--kod"), &FilterCriteria::kod_s},
        {QStringLiteral("--nazwa1"), &FilterCriteria::nazwa1_s},
        {QStringLiteral("--nazwa2"), &FilterCriteria::nazwa2_s},
        {QStringLiteral("--miejscowosc"), &FilterCriteria::miejscowosc_s},
        {QStringLiteral("--adres"), &FilterCriteria::adres_s},
        {QStringLiteral("--wojewodztwo"), &FilterCriteria::wojewodztwo_s},
        {QStringLiteral("--telefon"), &FilterCriteria::telefon_s},
        {QStringLiteral("--mail"), &FilterCriteria::mail_s},
        {QStringLiteral("--opis"), &FilterCriteria::opis_s},
        {QStringLiteral("--od"), &FilterCriteria::oddaty_k},
        {QStringLiteral("--do"), &FilterCriteria::dodaty_k},
    };
    const auto it = fields.constFind(option);
    return it == fields.constEnd() ? nullptr : &(c.*(it.value()));
}

} // namespace

FilterOptions parseFilterOptions(const QStringList& args) {
    FilterOptions out;
    FilterCriteria& c = out.criteria;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool isFilter = textField(c, arg) || arg == QLatin1String("--kat") ||
                              arg == QLatin1String("--grupa") || arg == QLatin1String("--umowa");
        if (!isFilter) {
            out.rest.append(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            out.error = QStringLiteral("opcja %1 wymaga wartości").arg(arg);
            return out;
        }
        const QString value = args[++i];
        out.given = true;
        if (QString* field = textField(c, arg)) {
            *field = value;
            if (arg == QLatin1String("--od") || arg == QLatin1String("--do"))
                c.da1 = true;
        } else if (arg == QLatin1String("--umowa")) {
            if (value == QLatin1String("all"))
                c.um = ContractState::All;
            else if (value == QLatin1String("signed"))
                c.um = ContractState::Signed;
            else if (value == QLatin1String("terminated"))
                c.um = ContractState::Terminated;
            else
                out.error = QStringLiteral("--umowa przyjmuje all, signed albo terminated");
        } else {
            bool ok = false;
            const int n = value.toInt(&ok);
            const bool category = arg == QLatin1String("--kat");
            const int limit = category ? kFilterCategoryCount : kFilterGroupCount;
            if (!ok || n < 1 || n > limit) {
                out.error = QStringLiteral("%1 przyjmuje numer od 1 do %2").arg(arg).arg(limit);
            } else if (category) {
                c.kat[n - 1] = true;
            } else {
                c.zaw[n - 1] = true;
            }
        }
        if (!out.error.isEmpty())
            return out;
    }
    return out;
}

} // namespace kestrana
