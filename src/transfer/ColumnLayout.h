#pragma once

#include "Statements.h"
#include "connections/DataAccess.h"

#include <QString>

#include <functional>
#include <vector>

namespace dravena {

// Which fields of an open record set hold a text longer than an NVARCHAR2(2000) column takes.
// Only long text fields (memos) can; when the record set has any, the table is read once more
// through a record set of its own, opened with selectSql on the connection, and perRow is called
// for every row read. One flag per field.
std::vector<bool> fieldsHoldingLongText(const Recordset& recordset, Connection& connection,
                                        const QString& selectSql,
                                        const std::function<void()>& perRow = {});

// The server column of field i of an open record set: its name and its column type.
ColumnDefinition columnOfField(const Recordset& recordset, int field, bool holdsLongText);

// One flag per column: whether it is a BLOB column, whose long values are bound as bytes.
std::vector<bool> blobColumnsOf(const std::vector<ColumnDefinition>& columns);

// Characters of a UTF-8 text as the server counts them (UTF-16 code units).
qsizetype serverCharacters(const std::string& utf8);

} // namespace dravena
