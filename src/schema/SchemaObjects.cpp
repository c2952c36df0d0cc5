#include "SchemaObjects.h"

#include "Statements.h"
#include "ValueText.h"
#include "base/RuntimeError.h"
#include "odbc/OdbcDiagnostics.h"

namespace dravena {

namespace {

// Offending rows shown in a report.
constexpr int RowsShown = 3;

QString rowText(const Cursor& cursor) {
    QStringList values;
    for (int i = 0; i < cursor.fieldCount(); ++i) {
        const Value& value = cursor.fieldValue(i);
        values.append(isNull(value) ? QStringLiteral("NULL") : valueText(value));
    }
    return u'(' + values.join(QStringLiteral(", ")) + u')';
}

// The first offending rows of the query, "" when there are none.
QString offendingRows(Connection& server, const QString& query) {
    const std::unique_ptr<Cursor> cursor = server.query(query);
    QStringList rows;
    for (; !cursor->atEnd() && rows.size() < RowsShown; cursor->moveNext())
        rows.append(rowText(*cursor));
    if (rows.isEmpty())
        return {};
    return rows.join(QStringLiteral(", ")) +
           (cursor->atEnd() ? QString() : QStringLiteral(", ..."));
}

} // namespace

ObjectOutcome createSchemaObject(Connection& server, const QString& table,
                                 const SchemaObject& object) {
    ObjectOutcome outcome{table, object.description, false, {}};
    try {
        for (const QString& query : object.violationQueries) {
            const QString rows = offendingRows(server, query);
            if (!rows.isEmpty()) {
                outcome.reason = QStringLiteral("rows break it: ") + rows;
                return outcome;
            }
        }
        server.execute(object.statement);
        outcome.created = true;
    } catch (const ConnectionLostError&) {
        throw;
    } catch (const RuntimeError& error) {
        outcome.reason = error.description();
    }
    return outcome;
}

std::vector<ObjectOutcome>
createForeignKeys(Connection& server, const std::vector<ForeignKeyPlan>& keys,
                  const std::function<bool(const QString&)>& masterPresent) {
    std::vector<ObjectOutcome> outcomes;
    for (const ForeignKeyPlan& key : keys) {
        if (!masterPresent(key.masterTable)) {
            outcomes.push_back({key.table, key.object.description, false,
                                QStringLiteral("the table %1 is neither in the run nor on the "
                                               "server")
                                    .arg(quotedName(key.masterTable))});
            continue;
        }
        outcomes.push_back(createSchemaObject(server, key.table, key.object));
    }
    return outcomes;
}

} // namespace dravena
