#pragma once

#include <QString>

namespace dravena {

// The value of a key in an ODBC connection string ("Driver={X};Server=Y;"), keys compared
// without regard to letter case; braces around the value are removed. "" when absent.
QString connectionStringValue(const QString& connectionString, const QString& key);

// The driver name that selects the built-in Paradox engine.
inline constexpr const char* ParadoxDriverName = "Microsoft Paradox Driver (*.db )";

bool isParadoxConnectionString(const QString& connectionString);

} // namespace dravena
