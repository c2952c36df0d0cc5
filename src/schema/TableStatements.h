#pragma once

#include "Statements.h"
#include "TablePlan.h"
#include "dataaccess/DataAccess.h"

#include <QString>

#include <functional>
#include <vector>

namespace dravena {

// The column layout that a new table gets from the fields of a record set opened with selectSql
// on the connection: each field's name (as the server takes it: fitColumnNames, whose lines go
// to `cuts` when given) with its server column type (a memo column that holds a text longer than
// NVARCHAR2(2000) takes is an NCLOB, which reads the table once more).
std::vector<ColumnPlan> recordsetColumns(const Recordset& recordset, Connection& connection,
                                         const QString& selectSql, QStringList* cuts = nullptr);

// Hands the CREATE TABLE statement of the Paradox table and then one INSERT statement per row,
// in the order the record set delivers the rows, to the sink; values too long for a literal
// are written as literals all the same. The record set is opened on the connection here. Rows
// are read one at a time, so a table of any size passes through in bounded memory. Returns the
// number of rows. The server table is named fittedName(table); each name cut to fit is told to
// `cut` (nameCutLine).
std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& table,
                                     const std::function<void(const QString&)>& sink,
                                     const std::function<void(const QString&)>& cut = {});

// The same for a carried schema (--schema full): the typed CREATE TABLE, the rows in typed
// literals, then the table's key, indexes, checks and comments (its foreign keys are the
// caller's, for the end of the run). A row with a value its column cannot hold is left out and
// told to `refused` with its 0-based number and the reason. The rows are read from the Paradox
// table `source`.
std::int64_t
generateTableStatements(Recordset& recordset, Connection& connection, const QString& source,
                        const TablePlan& plan, const std::function<void(const QString&)>& sink,
                        const std::function<void(std::int64_t, const QString&)>& refused);

} // namespace dravena
