#pragma once

#include "ColumnPlan.h"
#include "dataaccess/DataAccess.h"

#include <QString>

#include <functional>
#include <vector>

namespace dravena {

// Which fields of an open record set hold a text longer than an NVARCHAR2(2000) column takes.
// Only long text fields (memos) can; when the record set has any, the table is read once more
// through a record set of its own, opened with selectSql on the connection, and perRow is called
// for every row read; a memo whose stored length tells it fits is not read. One flag per field.
std::vector<bool> fieldsHoldingLongText(const Recordset& recordset, Connection& connection,
                                        const QString& selectSql,
                                        const std::function<void()>& perRow = {});

// The described server column of field i of an open record set.
ColumnPlan columnOfField(const Recordset& recordset, int field, bool holdsLongText);

// Characters of a UTF-8 text as the server counts them (UTF-16 code units).
qsizetype serverCharacters(const std::string& utf8);

} // namespace dravena
