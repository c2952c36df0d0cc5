#pragma once

#include <QString>

namespace dravena {

// A value as an ODBC connection string holds it: a value that holds ";" or starts with "{" goes
// in braces, each "}" in it doubled; every other value goes in verbatim.
QString connectionStringPart(const QString& value);

// The value of a key in an ODBC connection string ("Driver={X};Server=Y;"), keys compared
// without regard to letter case; a braced value is taken to its closing brace, with "}}" standing
// for "}". "" when absent.
QString connectionStringValue(const QString& connectionString, const QString& key);

// The driver name that selects the built-in Paradox engine.
inline constexpr const char* ParadoxDriverName = "Microsoft Paradox Driver (*.db )";

bool isParadoxConnectionString(const QString& connectionString);

} // namespace dravena
