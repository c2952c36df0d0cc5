#include "ResumeState.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "schema/Statements.h"

#include <algorithm>

namespace dravena::cli {

std::optional<ResumePlan> planResume(const QString& runFolder, const QString& paradoxFolder,
                                     const QStringList& tables, const ServerRowCount& serverRows,
                                     QString& error) {
    const auto earlier = RunReport::readTables(runFolder, error);
    if (!earlier)
        return std::nullopt;
    QStringList wanted = tables;
    if (wanted.isEmpty())
        for (const TableReport& table : *earlier)
            if (!wanted.contains(table.table))
                wanted.append(table.table);
    ResumePlan plan;
    for (const QString& name : wanted) {
        // The last record of the table in that run counts.
        const auto found = std::find_if(earlier->rbegin(), earlier->rend(),
                                        [&](const TableReport& t) { return t.table == name; });
        const bool arrived =
            found != earlier->rend() && (found->outcome == QLatin1String("whole") ||
                                         found->outcome == QLatin1String("unchanged, not sent"));
        if (!arrived || found->files.empty() ||
            sourceFilesOf(paradoxFolder, name) != found->files ||
            serverRows(found->server) != std::optional<std::int64_t>(found->rowsSent)) {
            plan.send.append(name);
            continue;
        }
        TableReport unchanged = *found;
        unchanged.outcome = QStringLiteral("unchanged, not sent");
        unchanged.milliseconds = 0;
        unchanged.messages = {QStringLiteral("unchanged since %1, not sent").arg(runFolder)};
        plan.unchanged.push_back(std::move(unchanged));
    }
    return plan;
}

std::optional<std::int64_t> countServerRows(const QString& sid, const QString& user,
                                            const QString& password, const QString& table) {
    try {
        const auto connection = dataAccess().createConnection();
        const auto count = dataAccess().createRecordset();
        connection->setCursorLocation(ClientSideCursor);
        connection->open(oracleConnectionString(sid, user, password));
        count->open(QStringLiteral("SELECT COUNT(*) FROM ") + quotedName(table), *connection);
        std::optional<std::int64_t> rows;
        if (!count->atEnd()) {
            const Value& value = count->fieldValue(0);
            if (const auto* number = std::get_if<std::int64_t>(&value))
                rows = *number;
            else if (const auto* decimal = std::get_if<paradox::Decimal>(&value))
                rows = std::stoll(decimal->text);
            else if (const auto* real = std::get_if<double>(&value))
                rows = static_cast<std::int64_t>(*real);
            else if (const auto* text = std::get_if<std::string>(&value))
                rows = std::stoll(*text);
        }
        count->close();
        connection->close();
        return rows;
    } catch (const RuntimeError&) {
        return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt; // a count the number parsing could not read
    }
}

} // namespace dravena::cli
