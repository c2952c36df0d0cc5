#pragma once

#include "Statements.h"
#include "TablePlan.h"
#include "dataaccess/DataAccess.h"

#include <QString>

#include <functional>
#include <vector>

namespace dravena {

// The column layout that a new table gets from the fields of a record set opened with selectSql
// on the connection: each field's name (as a server of that longest name takes it:
// fitColumnNames, whose lines go to `cuts` when given) with its server column type (a memo column
// that holds a text longer than NVARCHAR2(2000) takes is an NCLOB, which reads the table once
// more).
std::vector<ColumnPlan> recordsetColumns(const Recordset& recordset, Connection& connection,
                                         const QString& selectSql, const NameLimit& limit,
                                         QStringList* cuts = nullptr);

// What becomes of a row holding a value that a literal cannot carry (longer than
// MaxLiteralBytes), told with the row's 0-based number and why ("field \"F\": ...").
using RowRefusal = std::function<void(std::int64_t, const QString&)>;

// Hands the CREATE TABLE statement of the Paradox table and then one INSERT statement per row,
// in the order the record set delivers the rows, to the sink. A row holding a value too long for
// a literal is left out and told to `tooLong` once for each such value; without `tooLong` it is
// written with the literal all the same. The record set is opened on the connection here. Rows
// are read one at a time, so a table of any size passes through in bounded memory. Returns the
// number of rows. The server table is named fittedName(table, limit), its columns fitted to the
// limit too; each name cut to fit is told to `cut` (nameCutLine).
std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& table, const NameLimit& limit,
                                     const std::function<void(const QString&)>& sink,
                                     const RowRefusal& tooLong = {},
                                     const std::function<void(const QString&)>& cut = {});

// The same for a carried schema (--schema full): the typed CREATE TABLE, the rows in typed
// literals, then the table's key, indexes, checks and comments (its foreign keys are the
// caller's, for the end of the run). A row with a value its column cannot hold, or one too long
// for a literal, is left out and told to `refused` with its 0-based number and the reason. The
// rows are read from the Paradox table `source`.
std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& source, const TablePlan& plan,
                                     const std::function<void(const QString&)>& sink,
                                     const RowRefusal& refused);

} // namespace dravena
