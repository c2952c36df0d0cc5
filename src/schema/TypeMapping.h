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

// The characters an NVARCHAR2(2000) column holds.
inline constexpr qsizetype TextColumnCharacters = 2000;

// The column a field gets on the server: columnTypeForAdoType, except that a DECIMAL keeps the
// field's scale, DECIMAL(32,s) (a bare DECIMAL is NUMBER(38,0) and would round every fraction
// away), and that a text column whose values include one longer than TextColumnCharacters is an
// NCLOB. scale is the field's numeric scale (-1 when it has none).
QString columnTypeForField(int typeNumber, int scale, bool holdsLongText);

// True for the ADO types of long texts (memos), the only text fields that can hold more than an
// NVARCHAR2(2000) column takes.
bool isLongTextType(int typeNumber);

} // namespace dravena
