#pragma once

#include "dataaccess/DataAccess.h"
#include "schema/ColumnPlan.h"

#include <QString>

#include <string>

namespace dravena {

// How the values of a column are compared: in the terms of the column send creates.
enum class ColumnKind {
    Number,   // INT, DECIMAL, NUMERIC, NUMBER: exact decimals ("12.50" is "12.5", "-0" is "0")
    Float,    // FLOAT, BINARY_DOUBLE: binary floating numbers
    Text,     // NVARCHAR2 and NCLOB: texts, character for character
    Bytes,    // BLOB: bytes
    Date,     // DATE: the day (a time of 00:00:00 the server adds is no difference)
    Time,     // INTERVAL DAY TO SECOND: the time of day to the millisecond
    Timestamp // TIMESTAMP: day and time to the millisecond
};

// The kind of a column that send creates from the plan.
ColumnKind columnKindOf(const ColumnPlan& plan);

// Appends the form a value read back from the server is compared in, for a column of the kind:
// its text, read as the kind reads it. False (nothing appended) for NULL, which an empty text is
// too, as Oracle has it.
bool appendComparedForm(std::string& out, ColumnKind kind, const Value& value);

// The same for a value read from the Paradox table: first mapped as send maps it for the column
// (the described columns take the value's text, typed columns their typed text), then read as
// the column's kind reads it. Equal forms on both sides are equal values.
bool appendExpectedForm(std::string& out, const ColumnPlan& plan, const Value& value);

// Whether a server column, as its cursor reports it (ADO type number, scale), has the type send
// creates from the plan.
bool serverColumnHasType(const ColumnPlan& plan, int adoType, int scale);

// A server column's type as a report names it: "INT", "DECIMAL(s)", "FLOAT", "text", "BLOB", or
// the ADO type's name for anything else.
QString serverColumnTypeName(int adoType, int scale);

// A column's type as Oracle's catalogue (USER_TAB_COLUMNS) names it, from its DATA_TYPE,
// CHAR_LENGTH, DATA_PRECISION and DATA_SCALE (-1 for NULL): "NVARCHAR2(51)", "NUMBER(32,6)",
// "NUMBER(5)", "INTEGER" (a NUMBER of 38 or unnamed digits and no decimal places), "NUMBER",
// "FLOAT", "DATE", "TIMESTAMP(3)", ...
QString catalogTypeName(const QString& dataType, int charLength, int precision, int scale);
// The same for the column send creates for the plan, so that the two compare as they are.
QString plannedCatalogTypeName(const ColumnPlan& plan);

} // namespace dravena
