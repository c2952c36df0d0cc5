#include "TableStatements.h"

#include "ColumnLayout.h"
#include "ColumnValues.h"
#include "ObjectNames.h"
#include "base/RuntimeError.h"

namespace dravena {

std::vector<ColumnPlan> recordsetColumns(const Recordset& recordset, Connection& connection,
                                         const QString& selectSql, const NameLimit& limit,
                                         QStringList* cuts) {
    const std::vector<bool> longText = fieldsHoldingLongText(recordset, connection, selectSql);
    std::vector<ColumnPlan> columns;
    const int count = recordset.fieldCount();
    columns.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        columns.push_back(columnOfField(recordset, i, longText[static_cast<std::size_t>(i)]));
    const QStringList cut = fitColumnNames(columns, limit);
    if (cuts != nullptr)
        *cuts += cut;
    return columns;
}

namespace {

// Appends the value to the row's statement; false when a literal cannot carry it (the builder
// binds it instead).
bool appendLiteral(InsertStatementBuilder& insert, const Value& value) {
    const std::size_t bound = insert.boundValues();
    insert.appendValue(value);
    return insert.boundValues() == bound;
}

QString tooLongForALiteral(const QString& field) {
    return QStringLiteral("field \"%1\": the value is longer than a literal carries (%2 bytes); "
                          "the row is left out (send carries it bound)")
        .arg(field)
        .arg(MaxLiteralBytes);
}

} // namespace

std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& table, const NameLimit& limit,
                                     const std::function<void(const QString&)>& sink,
                                     const RowRefusal& tooLong,
                                     const std::function<void(const QString&)>& cut) {
    const QString select = selectAllStatement(table);
    recordset.open(select, connection);
    const QString server = fittedName(table, limit);
    QStringList cuts;
    if (server != table)
        cuts.append(nameCutLine(QStringLiteral("table"), table, server, limit));
    const std::vector<ColumnPlan> columns =
        recordsetColumns(recordset, connection, select, limit, &cuts);
    if (cut)
        for (const QString& line : cuts)
            cut(line);
    sink(createTableStatement(server, columnDefinitions(columns)));
    const int fieldCount = recordset.fieldCount();
    InsertStatementBuilder insert(server, columns, tooLong ? LongValues::Bind : LongValues::Inline);
    std::int64_t rows = 0;
    for (; !recordset.atEnd(); recordset.moveNext(), ++rows) {
        insert.begin();
        bool written = true;
        for (int i = 0; i < fieldCount; ++i)
            if (!appendLiteral(insert, recordset.fieldValue(i))) {
                tooLong(rows, tooLongForALiteral(columns[static_cast<std::size_t>(i)].name));
                written = false;
            }
        const InsertStatement statement = insert.finish();
        if (written)
            sink(statement.text);
    }
    return rows;
}

std::int64_t generateTableStatements(Recordset& recordset, Connection& connection,
                                     const QString& source, const TablePlan& plan,
                                     const std::function<void(const QString&)>& sink,
                                     const RowRefusal& refused) {
    recordset.open(selectAllStatement(source), connection);
    const int fieldCount = recordset.fieldCount();
    checkPlannedFieldCount(fieldCount, plan);
    sink(createTableStatement(plan.table, columnDefinitions(plan.columns)));
    InsertStatementBuilder insert(plan.table, plan.columns, LongValues::Bind);
    std::int64_t rows = 0;
    for (; !recordset.atEnd(); recordset.moveNext(), ++rows) {
        insert.begin();
        QStringList refusals;
        for (int i = 0; i < fieldCount; ++i) {
            const ColumnPlan& column = plan.columns[static_cast<std::size_t>(i)];
            if (const auto why = valueRefusal(column, recordset.fieldValue(i))) {
                refusals.append(QStringLiteral("field \"%1\": %2").arg(column.name, *why));
                insert.appendValue(Value{}); // the row is left out; its columns stay in step
            } else if (!appendLiteral(insert, recordset.fieldValue(i)))
                refusals.append(tooLongForALiteral(column.name));
        }
        const InsertStatement statement = insert.finish();
        if (refusals.isEmpty())
            sink(statement.text);
        for (const QString& refusal : refusals)
            refused(rows, refusal);
    }
    for (const SchemaObject& object : plan.objects)
        sink(object.statement);
    return rows;
}

} // namespace dravena
