#pragma once

#include "Statements.h"
#include "connections/DataAccess.h"

#include <QString>

#include <functional>
#include <vector>

namespace dravena {

// The column layout that a new table gets from the fields of a record set opened with selectSql
// on the connection: each field's name with its server column type (a memo column that holds a
// text longer than NVARCHAR2(2000) takes is an NCLOB, which reads the table once more).
std::vector<ColumnDefinition> recordsetColumns(const Recordset& recordset, Connection& connection,
                                               const QString& selectSql);

// Hands the CREATE TABLE statement of the Paradox table and then one INSERT statement per row,
// in the order the record set delivers the rows, to the sink; values too long for a literal
// are written as literals all the same. The record set is opened on the connection here. Rows
// are read one at a time, so a table of any size passes through in bounded memory. Returns the
// number of rows.
std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& table,
                                     const std::function<void(const QString&)>& sink);

} // namespace dravena
