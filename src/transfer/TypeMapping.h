#pragma once

#include <QString>

namespace dravena {

// The ADO name of a field type number ("adInteger"), or "" when the number is unknown.
QString DataTypeName(short typeNumber);

// The column type a field gets on the server, chosen from its lower-cased ADO type name.
// Fractional numbers never land in an INT column: single-precision and numeric types are
// mapped to FLOAT and DECIMAL.
QString OracleColumnType(const QString& lowerCasedTypeName);

// OracleColumnType of the lower-cased DataTypeName of an ADO type number.
QString columnTypeForAdoType(int typeNumber);

} // namespace dravena
