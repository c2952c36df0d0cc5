#include "TableCheck.h"

#include "ComparedValue.h"
#include "ServerObjects.h"
#include "base/RuntimeError.h"
#include "dataaccess/ConnectionEntries.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "schema/ColumnLayout.h"
#include "schema/Statements.h"
#include "schema/TableStatements.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <optional>

namespace dravena {

namespace {

struct ServerColumn {
    QString name;
    int type = 0;
    int scale = -1;
};

// The server table's columns, read without its rows.
std::vector<ServerColumn> serverColumns(Connection& server, const QString& table) {
    const std::unique_ptr<Cursor> layout =
        server.query(selectAllStatement(table) + QStringLiteral(" WHERE 1 = 0"));
    std::vector<ServerColumn> columns;
    for (int i = 0; i < layout->fieldCount(); ++i)
        columns.push_back({layout->fieldName(i), layout->fieldType(i), layout->numericScale(i)});
    return columns;
}

// A whole number of the catalogue, -1 for NULL.
int catalogNumber(const Value& value) {
    if (const auto* n = std::get_if<std::int64_t>(&value))
        return static_cast<int>(*n);
    if (const auto* d = std::get_if<double>(&value))
        return static_cast<int>(*d);
    if (const auto* t = std::get_if<std::string>(&value))
        return QString::fromStdString(*t).toInt();
    if (const auto* d = std::get_if<paradox::Decimal>(&value))
        return QString::fromStdString(d->text).toInt();
    return -1;
}

// The table's column types as the server's catalogue names them (catalogTypeName), by column
// name; nothing when the catalogue cannot be read.
QHash<QString, QString> catalogTypes(Connection& server, const QString& table) {
    QHash<QString, QString> types;
    QString quoted = table;
    quoted.replace(u'\'', QStringLiteral("''"));
    Recordset columns;
    try {
        columns.open(QStringLiteral("SELECT column_name, data_type, char_length, data_precision, "
                                    "data_scale FROM user_tab_columns WHERE table_name = '%1'")
                         .arg(quoted),
                     server);
        for (; !columns.atEnd(); columns.moveNext()) {
            const auto* name = std::get_if<std::string>(&columns.fieldValue(0));
            const auto* type = std::get_if<std::string>(&columns.fieldValue(1));
            if (name != nullptr && type != nullptr)
                types.insert(QString::fromStdString(*name),
                             catalogTypeName(QString::fromStdString(*type),
                                             catalogNumber(columns.fieldValue(2)),
                                             catalogNumber(columns.fieldValue(3)),
                                             catalogNumber(columns.fieldValue(4))));
        }
        columns.close();
    } catch (const RuntimeError&) {
        // A server without the catalogue view: the types by family only. A lost connection
        // fails the next statement.
        types.clear();
    }
    return types;
}

// SELECT "F1","F2" FROM "T"
QString selectColumns(const QString& table, const std::vector<ColumnPlan>& columns) {
    QString sql = QStringLiteral("SELECT ");
    for (const ColumnPlan& column : columns)
        sql += quotedName(column.name) + u',';
    sql.chop(1);
    return sql + QStringLiteral(" FROM ") + quotedName(table);
}

// One table's comparison, step by step; a failure names the side it happened on.
class Check {
public:
    Check(const ConnectionEntries& entries, const NameLimit& names, bool fullSchema,
          bool foreignKeys, const TableChecker::Progress& progress)
        : entries_(entries), names_(names), fullSchema_(fullSchema), foreignKeys_(foreignKeys),
          progress_(progress) {}

    TableCheck run(const QString& paradoxTable, const QString& serverTable);

private:
    void openParadoxTable(const QString& table, const QString& serverTable);
    void compareColumns(const QString& serverTable);
    void readParadoxRows(RowMatcher& matcher);
    void readServerRows(RowMatcher& matcher, const QString& serverTable);
    void tellProgress() {
        if (progress_)
            progress_(done_, expected_);
    }

    const ConnectionEntries& entries_;
    NameLimit names_;
    bool fullSchema_;
    bool foreignKeys_;
    const TableChecker::Progress& progress_;
    TableCheck result_;
    std::unique_ptr<Connection> paradox_;
    std::unique_ptr<Connection> server_;
    Recordset source_;
    std::optional<TablePlan> plan_;   // of the table's files, with the carried schema
    std::vector<ColumnPlan> plans_;   // of each Paradox field, as send plans its column
    std::vector<int> comparedFields_; // Paradox field of each compared column
    std::vector<ColumnKind> kinds_;   // of each compared column
    std::int64_t done_ = 0;
    std::int64_t expected_ = 0;
};

TableCheck Check::run(const QString& paradoxTable, const QString& serverTable) {
    QString side = QStringLiteral("reading the Paradox table");
    try {
        openParadoxTable(paradoxTable, serverTable);
        side = QStringLiteral("reading the server's table");
        compareColumns(serverTable);
        if (!result_.columns.empty()) {
            RowMatcher matcher(source_.recordCount());
            side = QStringLiteral("reading the Paradox table");
            readParadoxRows(matcher);
            side = QStringLiteral("reading the server's table");
            readServerRows(matcher, serverTable);
            side = QStringLiteral("comparing the rows");
            result_.rows = matcher.finish();
        }
    } catch (const RuntimeError& error) {
        result_.failure = side + QStringLiteral(" failed: ") + error.description();
    }
    return std::move(result_);
}

void Check::openParadoxTable(const QString& table, const QString& serverTable) {
    paradox_ = dataAccess().createConnection();
    paradox_->setCursorLocation(ClientSideCursor);
    paradox_->open(paradoxConnectionString(entries_.paradoxFolder()));
    source_.open(selectAllStatement(table), *paradox_);
    expected_ = 2 * std::max<std::int64_t>(source_.recordCount(), 0);
    const auto fields = static_cast<std::size_t>(source_.fieldCount());
    if (fullSchema_) {
        // The columns send plans from the table's files, named as the table delivers its fields.
        plan_ = planTableInFolder(serverTable, entries_.paradoxFolder(), table, names_);
        checkPlannedFieldCount(source_.fieldCount(), *plan_);
        plans_ = plan_->columns;
        for (std::size_t i = 0; i < fields; ++i)
            plans_[i].name = source_.fieldName(static_cast<int>(i));
        fitColumnNames(plans_, names_);
        return;
    }
    plans_ = recordsetColumns(source_, *paradox_, selectAllStatement(table), names_);
}

// Pairs the columns by name, as send names them: each must have the type send creates.
void Check::compareColumns(const QString& serverTable) {
    server_ = dataAccess().createConnection();
    server_->setCursorLocation(ServerSideCursor);
    server_->open(oracleConnectionString(entries_.oracleSid(), entries_.oracleUser(),
                                         entries_.oraclePassword()));
    std::vector<ServerColumn> onServer = serverColumns(*server_, serverTable);
    const QHash<QString, QString> catalog = catalogTypes(*server_, serverTable);
    for (std::size_t i = 0; i < plans_.size(); ++i) {
        const ColumnPlan& column = plans_[i];
        const auto found =
            std::find_if(onServer.begin(), onServer.end(),
                         [&](const ServerColumn& c) { return c.name == column.name; });
        if (found == onServer.end()) {
            result_.columnDifferences.push_back({column.name, columnTypeText(column), QString()});
            continue;
        }
        // Exactly as send creates it when the catalogue tells the type, else by its family.
        const QString catalogType = catalog.value(column.name);
        if (!catalogType.isEmpty() ? catalogType != plannedCatalogTypeName(column)
                                   : !serverColumnHasType(column, found->type, found->scale))
            result_.columnDifferences.push_back(
                {column.name, columnTypeText(column),
                 catalogType.isEmpty() ? serverColumnTypeName(found->type, found->scale)
                                       : catalogType});
        onServer.erase(found);
        result_.columns.push_back(column);
        comparedFields_.push_back(static_cast<int>(i));
        kinds_.push_back(columnKindOf(column));
    }
    for (const ServerColumn& extra : onServer)
        result_.columnDifferences.push_back(
            {extra.name, QString(),
             catalog.value(extra.name, serverColumnTypeName(extra.type, extra.scale))});
    if (plan_) {
        ObjectComparison objects =
            compareServerObjects(*server_, serverTable, *plan_, foreignKeys_);
        result_.objectDifferences = std::move(objects.differences);
        result_.objectNotes = std::move(objects.notes);
    }
}

void Check::readParadoxRows(RowMatcher& matcher) {
    ComparedRow row;
    for (std::int64_t index = 0; !source_.atEnd(); source_.moveNext(), ++index) {
        row.clear();
        for (std::size_t c = 0; c < kinds_.size(); ++c)
            row.appendExpected(result_.columns[c], source_.fieldValue(comparedFields_[c]));
        matcher.addParadoxRow(index, row);
        ++done_;
        tellProgress();
    }
    result_.readingProblems = source_.warnings();
    result_.valuesLost = source_.valuesLost();
    source_.close();
}

void Check::readServerRows(RowMatcher& matcher, const QString& serverTable) {
    Recordset stored;
    stored.open(selectColumns(serverTable, result_.columns), *server_);
    ComparedRow row;
    for (; !stored.atEnd(); stored.moveNext()) {
        row.clear();
        for (std::size_t c = 0; c < kinds_.size(); ++c)
            row.append(kinds_[c], stored.fieldValue(static_cast<int>(c)));
        matcher.addServerRow(row);
        ++done_;
        tellProgress();
    }
    stored.close();
}

} // namespace

TableCheck TableChecker::check(const QString& paradoxTable, const QString& serverTable,
                               const Progress& progress) const {
    return Check(entries_, names_, fullSchema_, foreignKeys_, progress)
        .run(paradoxTable, serverTable);
}

} // namespace dravena
