#include "ServerObjects.h"

#include "base/RuntimeError.h"
#include "dataaccess/DataAccess.h"
#include "schema/Statements.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace dravena {

namespace {

using Kind = SchemaObject::Kind;

// A field of the dictionary as text: "" for NULL, whole numbers without a fraction.
QString textOf(const Value& value) {
    if (const auto* t = std::get_if<std::string>(&value))
        return QString::fromStdString(*t);
    if (const auto* n = std::get_if<std::int64_t>(&value))
        return QString::number(*n);
    if (const auto* d = std::get_if<double>(&value))
        return QString::number(*d, 'f', 0);
    if (const auto* d = std::get_if<paradox::Decimal>(&value))
        return QString::fromStdString(d->text);
    return {};
}

// The rows of a dictionary query, each field as textOf gives it.
std::vector<QStringList> dictionaryRows(Connection& server, const QString& sql) {
    Recordset rows;
    rows.open(sql, server);
    std::vector<QStringList> result;
    for (; !rows.atEnd(); rows.moveNext()) {
        QStringList fields;
        for (int i = 0; i < rows.fieldCount(); ++i)
            fields.append(textOf(rows.fieldValue(i)));
        result.push_back(fields);
    }
    rows.close();
    return result;
}

QString literal(QString text) {
    return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\'';
}

QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& name : names)
        quoted.append(quotedName(name));
    return quoted.join(QStringLiteral(", "));
}

QStringList comparable(const QStringList& parts) {
    QStringList result;
    for (const QString& part : parts)
        result.append(comparableCondition(part));
    return result;
}

// A key, a check or a foreign key of the server's table.
struct ServerConstraint {
    QString name;
    QString type; // P, U, C or R
    QString condition;
    QString index; // of a key: the index behind it
    QStringList columns;
    QString masterTable;
    QStringList masterColumns;
};

struct ServerIndex {
    QString name;
    bool unique = false;
    QStringList parts; // as the dictionary writes them: a column's quoted name or an expression
};

struct ServerIdentity {
    QString column;
    QString sequence;
};

struct ServerSchema {
    QHash<QString, QString> comments; // of the columns, by column name
    std::vector<ServerConstraint> constraints;
    std::vector<ServerIndex> indexes;
    std::vector<ServerIdentity> identities;
};

ServerSchema readServerSchema(Connection& server, const QString& table) {
    const QString where = QStringLiteral(" WHERE table_name = ") + literal(table);
    ServerSchema schema;
    // Oracle's SEARCH_CONDITION and COLUMN_EXPRESSION are LONG columns: each comes last.
    for (const QStringList& row : dictionaryRows(
             server, QStringLiteral("SELECT constraint_name, constraint_type, index_name, "
                                    "search_condition FROM user_constraints") +
                         where))
        schema.constraints.push_back({row[0], row[1], row[3], row[2], {}, {}, {}});
    const auto constraintNamed = [&](const QString& name) -> ServerConstraint* {
        for (ServerConstraint& c : schema.constraints)
            if (c.name == name)
                return &c;
        return nullptr;
    };
    for (const QStringList& row :
         dictionaryRows(server, QStringLiteral("SELECT constraint_name, column_name FROM "
                                               "user_cons_columns") +
                                    where + QStringLiteral(" ORDER BY constraint_name, position")))
        if (ServerConstraint* c = constraintNamed(row[0]))
            c->columns.append(row[1]);
    for (const QStringList& row : dictionaryRows(
             server,
             QStringLiteral("SELECT c.constraint_name, r.table_name, rc.column_name FROM "
                            "user_constraints c JOIN user_constraints r ON r.constraint_name = "
                            "c.r_constraint_name AND r.constraint_type IN ('P', 'U') JOIN "
                            "user_cons_columns rc ON rc.constraint_name = r.constraint_name AND "
                            "rc.table_name = r.table_name WHERE c.table_name = %1 AND "
                            "c.constraint_type = 'R' ORDER BY c.constraint_name, rc.position")
                 .arg(literal(table))))
        if (ServerConstraint* c = constraintNamed(row[0])) {
            c->masterTable = row[1];
            c->masterColumns.append(row[2]);
        }

    for (const QStringList& row : dictionaryRows(
             server, QStringLiteral("SELECT index_name, uniqueness FROM user_indexes") + where))
        schema.indexes.push_back({row[0], row[1] == QLatin1String("UNIQUE"), {}});
    // An expression stands in its column's place (Oracle names that column SYS_NC...$).
    std::vector<QStringList> expressions = dictionaryRows(
        server, QStringLiteral("SELECT index_name, column_position, column_expression FROM "
                               "user_ind_expressions") +
                    where);
    for (const QStringList& row : dictionaryRows(
             server, QStringLiteral("SELECT index_name, column_position, column_name, descend "
                                    "FROM user_ind_columns") +
                         where + QStringLiteral(" ORDER BY index_name, column_position"))) {
        QString part = quotedName(row[2]);
        for (const QStringList& expression : expressions)
            if (expression[0] == row[0] && expression[1] == row[1])
                part = expression[2];
        if (row[3] == QLatin1String("DESC"))
            part += QStringLiteral(" DESC");
        for (ServerIndex& index : schema.indexes)
            if (index.name == row[0])
                index.parts.append(part);
    }
    for (const QStringList& row :
         dictionaryRows(server, QStringLiteral("SELECT column_name, sequence_name FROM "
                                               "user_tab_identity_cols") +
                                    where))
        schema.identities.push_back({row[0], row[1]});
    for (const QStringList& row :
         dictionaryRows(server, QStringLiteral("SELECT column_name, comments FROM "
                                               "user_col_comments") +
                                    where))
        schema.comments.insert(row[0], row[1]);
    return schema;
}

// Pairs each expected object with an unused server object: one equal in meaning (named alike
// if there is such), else one of the same name that differs, else none.
template <typename Server>
std::optional<std::size_t> pairWith(const std::vector<Server>& server, std::vector<bool>& used,
                                    const QString& name,
                                    const std::function<bool(const Server&)>& equal, bool& same) {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < server.size(); ++i)
        if (!used[i] && equal(server[i]) && (!found || server[i].name == name))
            found = i;
    same = found.has_value();
    for (std::size_t i = 0; !found && i < server.size(); ++i)
        if (!used[i] && server[i].name == name)
            found = i;
    if (found)
        used[*found] = true;
    return found;
}

class Comparison {
public:
    Comparison(Connection& server, const TablePlan& plan, ServerSchema schema)
        : server_(server), plan_(plan), schema_(std::move(schema)) {}

    ObjectComparison run(bool foreignKeys) {
        comparePrimaryKey();
        compareIndexes();
        compareChecks();
        if (foreignKeys)
            compareForeignKeys();
        compareIdentities();
        compareComments();
        return std::move(result_);
    }

private:
    void differs(const QString& line) { result_.differences.append(line); }
    // An equal object the server names otherwise.
    void renamed(const QString& description, const QString& expected, const QString& onServer) {
        if (!expected.isEmpty() && onServer != expected)
            result_.notes.append(
                description + QStringLiteral(": named %1 on the server").arg(quotedName(onServer)));
    }
    const SchemaObject* planned(Kind kind) const {
        for (const SchemaObject& object : plan_.objects)
            if (object.kind == kind)
                return &object;
        return nullptr;
    }
    std::vector<ServerConstraint> constraints(const QString& type) const {
        std::vector<ServerConstraint> found;
        for (const ServerConstraint& c : schema_.constraints)
            if (c.type == type)
                found.push_back(c);
        return found;
    }

    void comparePrimaryKey();
    void compareIndexes();
    void compareChecks();
    void compareForeignKeys();
    void compareIdentities();
    void compareComments();

    Connection& server_;
    const TablePlan& plan_;
    ServerSchema schema_;
    ObjectComparison result_;
    QString keyIndex_;       // the index behind the server's primary key
    QStringList keyColumns_; // of the server's primary key
};

void Comparison::comparePrimaryKey() {
    const SchemaObject* key = planned(Kind::PrimaryKey);
    const std::vector<ServerConstraint> keys = constraints(QStringLiteral("P"));
    if (!keys.empty()) {
        keyIndex_ = keys.front().index;
        keyColumns_ = keys.front().columns;
    }
    if (key == nullptr && keys.empty())
        return;
    if (key == nullptr)
        differs(QStringLiteral("primary key %1 (%2): only on the server")
                    .arg(quotedName(keys.front().name), quotedList(keyColumns_)));
    else if (keys.empty())
        differs(key->description + QStringLiteral(": missing on the server"));
    else if (keyColumns_ != key->columns)
        differs(key->description +
                QStringLiteral(": the server's is over (%1)").arg(quotedList(keyColumns_)));
    else
        renamed(key->description, key->name, keys.front().name);
}

void Comparison::compareIndexes() {
    std::vector<ServerIndex> indexes;
    for (const ServerIndex& index : schema_.indexes)
        if (index.name != keyIndex_)
            indexes.push_back(index);
    std::vector<bool> used(indexes.size());
    for (const SchemaObject& object : plan_.objects) {
        if (object.kind != Kind::Index)
            continue;
        const QStringList parts = comparable(object.columns);
        bool same = false;
        const auto found = pairWith<ServerIndex>(
            indexes, used, object.name,
            [&](const ServerIndex& index) { return comparable(index.parts) == parts; }, same);
        if (!found)
            differs(object.description + QStringLiteral(": missing on the server"));
        else if (!same)
            differs(object.description + QStringLiteral(": the server's is over (%1)")
                                             .arg(indexes[*found].parts.join(u", ")));
        else if (indexes[*found].unique != object.unique)
            differs(object.description + (object.unique
                                              ? QStringLiteral(": not unique on the server")
                                              : QStringLiteral(": unique on the server")));
        else
            renamed(object.description, object.name, indexes[*found].name);
    }
    // An extra unique index refuses rows the Paradox table takes; a plain one only costs time.
    for (std::size_t i = 0; i < indexes.size(); ++i)
        if (!used[i]) {
            const QString line =
                QStringLiteral("%1index %2 (%3): only on the server")
                    .arg(indexes[i].unique ? QStringLiteral("unique ") : QString(),
                         quotedName(indexes[i].name), indexes[i].parts.join(u", "));
            if (indexes[i].unique)
                differs(line);
            else
                result_.notes.append(line);
        }
}

void Comparison::compareChecks() {
    struct Expected {
        QString description;
        QString name; // empty: the server names it
        QString condition;
    };
    std::vector<Expected> expected;
    for (const SchemaObject& object : plan_.objects)
        if (object.kind == Kind::Check)
            expected.push_back({object.description, object.name, object.condition});
    // A logical column's own check, part of its definition.
    for (const ColumnPlan& column : plan_.columns)
        if (column.typed && column.kind == PlanKind::Logical) {
            const QString condition = quotedName(column.name) + QStringLiteral(" IN (0, 1)");
            expected.push_back(
                {QStringLiteral("check (%1) of column %2").arg(condition, quotedName(column.name)),
                 {},
                 condition});
        }
    const std::vector<ServerConstraint> checks = constraints(QStringLiteral("C"));
    std::vector<bool> used(checks.size());
    for (const Expected& check : expected) {
        const QString condition = comparableCondition(check.condition);
        bool same = false;
        const auto found = pairWith<ServerConstraint>(
            checks, used, check.name,
            [&](const ServerConstraint& c) {
                return comparableCondition(c.condition) == condition;
            },
            same);
        if (!found)
            differs(check.description + QStringLiteral(": missing on the server"));
        else if (!same)
            differs(check.description +
                    QStringLiteral(": the server's is (%1)").arg(checks[*found].condition));
        else
            renamed(check.description, check.name, checks[*found].name);
    }
    // The server's own NOT NULL of a key or identity column is no extra check.
    QStringList notNull;
    for (const QString& column : keyColumns_)
        notNull.append(comparableCondition(quotedName(column) + QStringLiteral(" IS NOT NULL")));
    for (const ServerIdentity& identity : schema_.identities)
        notNull.append(
            comparableCondition(quotedName(identity.column) + QStringLiteral(" IS NOT NULL")));
    for (std::size_t i = 0; i < checks.size(); ++i)
        if (!used[i] && !notNull.contains(comparableCondition(checks[i].condition)))
            differs(QStringLiteral("check %1 (%2): only on the server")
                        .arg(quotedName(checks[i].name), checks[i].condition));
}

void Comparison::compareForeignKeys() {
    const std::vector<ServerConstraint> keys = constraints(QStringLiteral("R"));
    std::vector<bool> used(keys.size());
    for (const ForeignKeyPlan& key : plan_.foreignKeys) {
        const SchemaObject& object = key.object;
        bool same = false;
        const auto found = pairWith<ServerConstraint>(
            keys, used, object.name,
            [&](const ServerConstraint& c) {
                return c.columns == object.columns && c.masterTable == object.masterTable &&
                       c.masterColumns == object.masterColumns;
            },
            same);
        if (!found)
            differs(object.description + QStringLiteral(": missing on the server"));
        else if (!same)
            differs(object.description + QStringLiteral(": the server's is (%1) to %2 (%3)")
                                             .arg(quotedList(keys[*found].columns),
                                                  quotedName(keys[*found].masterTable),
                                                  quotedList(keys[*found].masterColumns)));
        else
            renamed(object.description, object.name, keys[*found].name);
    }
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (!used[i])
            differs(QStringLiteral("foreign key %1 (%2) to %3 (%4): only on the server")
                        .arg(quotedName(keys[i].name), quotedList(keys[i].columns),
                             quotedName(keys[i].masterTable), quotedList(keys[i].masterColumns)));
}

// The next number of an identity is its sequence's LAST_NUMBER: exactly so without a cache; with
// one, Oracle writes down the end of the numbers it took into the cache, and the next number
// handed out may be lower by up to CACHE_SIZE steps. Send's identity has handed out nothing, so
// its LAST_NUMBER is its START WITH, which is the table's next number.
void Comparison::compareIdentities() {
    std::vector<ServerIdentity> identities = schema_.identities;
    for (const ColumnPlan& column : plan_.columns) {
        if (!column.identityStart)
            continue;
        const QString what = QStringLiteral("identity of %1").arg(quotedName(column.name));
        const auto found =
            std::find_if(identities.begin(), identities.end(),
                         [&](const ServerIdentity& i) { return i.column == column.name; });
        if (found == identities.end()) {
            differs(what + QStringLiteral(": missing on the server"));
            continue;
        }
        const std::vector<QStringList> sequence = dictionaryRows(
            server_, QStringLiteral("SELECT last_number, cache_size FROM user_sequences WHERE "
                                    "sequence_name = %1")
                         .arg(literal(found->sequence)));
        identities.erase(found);
        if (sequence.empty()) {
            differs(what + QStringLiteral(": the server does not tell its next value"));
            continue;
        }
        const QString next = sequence.front()[0];
        if (next == QString::number(*column.identityStart))
            continue;
        QString line = what + QStringLiteral(": next value %1 on the server, the table's %2")
                                  .arg(next)
                                  .arg(*column.identityStart);
        const QString cache = sequence.front()[1];
        if (!cache.isEmpty() && cache != QLatin1String("0"))
            line += QStringLiteral(" (the server's is the end of its cache of %1 numbers: the next "
                                   "one handed out may be lower)")
                        .arg(cache);
        differs(line);
    }
    for (const ServerIdentity& extra : identities)
        differs(QStringLiteral("identity of %1: only on the server").arg(quotedName(extra.column)));
}

// A column's comment holds what the server has no check for (a picture); extra comments refuse
// nothing.
void Comparison::compareComments() {
    for (const SchemaObject& object : plan_.objects) {
        if (object.kind != Kind::Comment || object.columns.size() != 1)
            continue;
        const QString onServer = schema_.comments.value(object.columns.front());
        if (onServer.isEmpty())
            differs(object.description + QStringLiteral(": missing on the server"));
        else if (onServer != object.condition)
            differs(object.description + QStringLiteral(": the server's is '%1'").arg(onServer));
    }
}

} // namespace

QString comparableCondition(const QString& condition) {
    static const QRegularExpression cast(
        QStringLiteral(
            "::\\s*[a-z_][a-z_0-9]*(\\s+(with|without)\\s+time\\s+zone|\\s+precision)?(\\[\\])?"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression typeName(QStringLiteral("\\b(DATE|TIMESTAMP|INTERVAL)\\s*'"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression zeroFraction(QStringLiteral("(\\d)\\.0+'"));
    static const QRegularExpression quotedNumber(QStringLiteral("'(-?[0-9.]+)'"));
    static const QRegularExpression blanks(QStringLiteral("[\\s\"()]"));
    static const QRegularExpression anyArray(QStringLiteral("=ANYARRAY\\[([^\\]]*)\\]"));
    static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
    QString text = condition;
    text.replace(cast, QString());
    text.replace(typeName, QStringLiteral("'"));
    text.replace(zeroFraction, QStringLiteral("\\1'"));
    text.replace(quotedNumber, QStringLiteral("\\1"));
    // Outside the literals, which stay as they are.
    QString result;
    qsizetype from = 0;
    const auto words = [&](qsizetype to) {
        result += text.mid(from, to - from).toUpper().remove(blanks);
    };
    for (auto it = literal.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        words(match.capturedStart());
        result += match.captured();
        from = match.capturedEnd();
    }
    words(text.size());
    result.replace(anyArray, QStringLiteral("IN\\1"));
    return result;
}

ObjectComparison compareServerObjects(Connection& server, const QString& table,
                                      const TablePlan& plan, bool foreignKeys) {
    ServerSchema schema;
    try {
        schema = readServerSchema(server, table);
        return Comparison(server, plan, std::move(schema)).run(foreignKeys);
    } catch (const RuntimeError& error) {
        ObjectComparison failed;
        failed.differences.append(
            QStringLiteral("the server's keys, indexes and checks could not be read: ") +
            error.description());
        return failed;
    }
}

} // namespace dravena
