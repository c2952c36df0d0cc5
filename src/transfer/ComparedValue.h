#pragma once

#include "connections/DataAccess.h"

#include <QString>

#include <string>

namespace dravena {

// How the values of a column are compared: in the terms of the column type send creates.
enum class ColumnKind {
    Number, // INT and DECIMAL(32,s): exact decimals ("12.50" equals "12.5", "-0" equals "0")
    Float,  // FLOAT: binary floating numbers
    Text,   // NVARCHAR2(2000) and NCLOB: texts, character for character
    Bytes   // BLOB: bytes
};

// The kind of a column type that send creates ("INT", "DECIMAL(32,2)", "FLOAT",
// "NVARCHAR2(2000)", "NCLOB", "BLOB").
ColumnKind columnKindOf(const QString& columnType);

// Appends the form a value is compared in, for a column of the kind: the value's text as send
// writes it, then read as the kind reads it. False (nothing appended) for NULL, which is also
// what an empty text is, on both sides, as send and the server make it. The same for a value
// read from the Paradox table and one read back from the server: equal forms are equal values.
bool appendComparedForm(std::string& out, ColumnKind kind, const Value& value);

// Whether a server column, as its cursor reports it (ADO type number, scale), has the type send
// creates (columnType).
bool serverColumnHasType(const QString& columnType, int adoType, int scale);

// A server column's type as a report names it: "INT", "DECIMAL(s)", "FLOAT", "text", "BLOB", or
// the ADO type's name for anything else.
QString serverColumnTypeName(int adoType, int scale);

} // namespace dravena
