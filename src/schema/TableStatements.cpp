#include "TableStatements.h"

#include "ColumnLayout.h"
#include "ColumnValues.h"
#include "ObjectNames.h"
#include "base/RuntimeError.h"

namespace dravena {

std::vector<ColumnPlan> recordsetColumns(const Recordset& recordset, Connection& connection,
                                         const QString& selectSql, QStringList* cuts) {
    const std::vector<bool> longText = fieldsHoldingLongText(recordset, connection, selectSql);
    std::vector<ColumnPlan> columns;
    const int count = recordset.fieldCount();
    columns.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        columns.push_back(columnOfField(recordset, i, longText[static_cast<std::size_t>(i)]));
    const QStringList cut = fitColumnNames(columns);
    if (cuts != nullptr)
        *cuts += cut;
    return columns;
}

std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& table,
                                     const std::function<void(const QString&)>& sink,
                                     const std::function<void(const QString&)>& cut) {
    const QString select = selectAllStatement(table);
    recordset.open(select, connection);
    const QString server = fittedName(table);
    QStringList cuts;
    if (server != table)
        cuts.append(nameCutLine(QStringLiteral("table"), table, server));
    const std::vector<ColumnPlan> columns = recordsetColumns(recordset, connection, select, &cuts);
    if (cut)
        for (const QString& line : cuts)
            cut(line);
    sink(createTableStatement(server, columnDefinitions(columns)));
    const int fieldCount = recordset.fieldCount();
    InsertStatementBuilder insert(server, columns, LongValues::Inline);
    std::int64_t rows = 0;
    for (; !recordset.atEnd(); recordset.moveNext(), ++rows) {
        insert.begin();
        for (int i = 0; i < fieldCount; ++i)
            insert.appendValue(recordset.fieldValue(i));
        sink(insert.finish().text);
    }
    return rows;
}

std::int64_t
generateTableStatements(Recordset& recordset, Connection& connection, const QString& source,
                        const TablePlan& plan, const std::function<void(const QString&)>& sink,
                        const std::function<void(std::int64_t, const QString&)>& refused) {
    recordset.open(selectAllStatement(source), connection);
    const int fieldCount = recordset.fieldCount();
    checkPlannedFieldCount(fieldCount, plan);
    sink(createTableStatement(plan.table, columnDefinitions(plan.columns)));
    InsertStatementBuilder insert(plan.table, plan.columns, LongValues::Inline);
    std::int64_t rows = 0;
    for (; !recordset.atEnd(); recordset.moveNext(), ++rows) {
        insert.begin();
        QString refusal;
        for (int i = 0; i < fieldCount && refusal.isEmpty(); ++i) {
            const ColumnPlan& column = plan.columns[static_cast<std::size_t>(i)];
            if (const auto why = valueRefusal(column, recordset.fieldValue(i)))
                refusal = QStringLiteral("field \"%1\": %2").arg(column.name, *why);
            else
                insert.appendValue(recordset.fieldValue(i));
        }
        if (refusal.isEmpty())
            sink(insert.finish().text);
        else
            refused(rows, refusal);
    }
    for (const SchemaObject& object : plan.objects)
        sink(object.statement);
    return rows;
}

} // namespace dravena
