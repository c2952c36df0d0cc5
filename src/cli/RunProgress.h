#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace dravena::cli {

// The rows of the Paradox tables (named as listed, "sub/NAME") of the folder, as their files
// tell them before they are read: the total of a run's progress. A table that cannot be opened
// counts none (its send tells why).
std::int64_t rowsOfTables(const QString& folder, const QStringList& tables);

} // namespace dravena::cli
