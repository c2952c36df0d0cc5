#pragma once

#include "RunReport.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace dravena::cli {

// What send --resume DIR does with each table: send it again when it did not arrive whole in
// that run, when its files changed since (size, time or digest), or when the server's table no
// longer holds the rows the run sent; the others are unchanged and not sent.
struct ResumePlan {
    QStringList send;
    std::vector<TableReport> unchanged; // as the new run folder records them
};

// The rows of a server table; nothing when it cannot be counted (it is gone).
using ServerRowCount = std::function<std::optional<std::int64_t>(const QString& table)>;

// Plans the resume of `tables` (those chosen, or with none chosen the tables of the earlier run)
// from the run folder. Nothing when its report cannot be read (told in `error`).
std::optional<ResumePlan> planResume(const QString& runFolder, const QString& paradoxFolder,
                                     const QStringList& tables, const ServerRowCount& serverRows,
                                     QString& error);

// The rows of the user's server table, on a connection of its own; nothing when the count fails.
std::optional<std::int64_t> countServerRows(const QString& sid, const QString& user,
                                            const QString& password, const QString& table);

} // namespace dravena::cli
