#include "TableStatements.h"

#include "ColumnLayout.h"

namespace dravena {

std::vector<ColumnDefinition> recordsetColumns(const Recordset& recordset, Connection& connection,
                                               const QString& selectSql) {
    const std::vector<bool> longText = fieldsHoldingLongText(recordset, connection, selectSql);
    std::vector<ColumnDefinition> columns;
    const int count = recordset.fieldCount();
    columns.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        columns.push_back(columnOfField(recordset, i, longText[static_cast<std::size_t>(i)]));
    return columns;
}

std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& table,
                                     const std::function<void(const QString&)>& sink) {
    const QString select = selectAllStatement(table);
    recordset.open(select, connection);
    const std::vector<ColumnDefinition> columns = recordsetColumns(recordset, connection, select);
    sink(createTableStatement(table, columns));
    const int fieldCount = recordset.fieldCount();
    InsertStatementBuilder insert(table, blobColumnsOf(columns), LongValues::Inline);
    std::int64_t rows = 0;
    for (; !recordset.atEnd(); recordset.moveNext(), ++rows) {
        insert.begin();
        for (int i = 0; i < fieldCount; ++i)
            insert.appendValue(recordset.fieldValue(i));
        sink(insert.finish().text);
    }
    return rows;
}

} // namespace dravena
