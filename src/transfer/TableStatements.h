#pragma once

#include "Statements.h"
#include "connections/DataAccess.h"

#include <QString>

#include <functional>
#include <vector>

namespace dravena {

// The column layout that a new table gets from the fields of an open record set: each field's
// name with the server column type of its ADO type.
std::vector<ColumnDefinition> recordsetColumns(const Recordset& recordset);

// Hands the CREATE TABLE statement of an open record set's table and then one INSERT statement
// per row, in the order the record set delivers the rows, to the sink. Rows are read one at a
// time, so a table of any size passes through in bounded memory. Returns the number of rows.
std::int64_t generateTableStatements(Recordset& recordset, const QString& table,
                                     const std::function<void(const QString&)>& sink);

} // namespace dravena
