#include "TableStatements.h"

#include "TypeMapping.h"

namespace dravena {

std::vector<ColumnDefinition> recordsetColumns(const Recordset& recordset) {
    std::vector<ColumnDefinition> columns;
    const int count = recordset.fieldCount();
    columns.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        columns.push_back({recordset.fieldName(i), columnTypeForAdoType(recordset.fieldType(i))});
    return columns;
}

std::int64_t generateTableStatements(Recordset& recordset, const QString& table,
                                     const std::function<void(const QString&)>& sink) {
    sink(createTableStatement(table, recordsetColumns(recordset)));
    const int fieldCount = recordset.fieldCount();
    InsertStatementBuilder insert(table);
    std::int64_t rows = 0;
    for (; !recordset.atEnd(); recordset.moveNext(), ++rows) {
        insert.begin();
        for (int i = 0; i < fieldCount; ++i)
            insert.appendValue(recordset.fieldValue(i));
        sink(insert.finish());
    }
    return rows;
}

} // namespace dravena
