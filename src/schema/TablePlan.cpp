#include "TablePlan.h"

#include "ColumnValues.h"
#include "ObjectNames.h"
#include "Statements.h"
#include "base/RuntimeError.h"
#include "fsutil/TableFiles.h"
#include "paradox/CompanionFiles.h"
#include "paradox/TableReader.h"
#include "paradox/TableSchema.h"

#include <algorithm>

namespace dravena {

namespace {

using paradox::FieldType;
using paradox::TableSchema;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The server name of a table file: as the table list names it, fitted to the server.
QString listedName(const std::filesystem::path& file, const NameLimit& limit) {
    return fittedName(fromUtf8(file.stem().string()).toUpper(), limit);
}

// A file of the folder, its name compared without regard to letter case (a .VAL names its
// master as it was typed).
std::filesystem::path fileInFolder(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (paradox::sameLettersIgnoringCase(it->path().filename().string(), name))
            return it->path();
    return folder / name;
}

// The largest value of a whole-number field, read from the table; nothing when it has none.
std::optional<std::int64_t> largestValue(const std::filesystem::path& dbFile, int field) {
    paradox::TableReader reader(dbFile);
    std::vector<paradox::Value> row;
    std::optional<std::int64_t> largest;
    while (reader.next(row))
        if (const auto* n = std::get_if<std::int64_t>(&row[static_cast<std::size_t>(field)]))
            largest = std::max(largest.value_or(*n), *n);
    return largest;
}

DataRule dataRule(DataRule::Kind kind, std::vector<int> fields) {
    DataRule rule;
    rule.kind = kind;
    rule.fields = std::move(fields);
    return rule;
}

DataRule rangeRule(const paradox::FieldCheck& check) {
    DataRule rule = dataRule(DataRule::Kind::Range, {check.field});
    rule.minimum = check.minimum;
    rule.maximum = check.maximum;
    return rule;
}

class Planner {
public:
    Planner(const QString& table, const std::filesystem::path& dbFile, const NameLimit& limit)
        : dbFile_(dbFile), schema_(paradox::readTableSchema(dbFile)), limit_(limit) {
        plan_.table = table;
        for (const std::string& warning : schema_.warnings)
            plan_.warnings.append(fromUtf8(warning));
        for (const std::string& missing : schema_.leftOut)
            plan_.notCarried.append(fromUtf8(missing));
        plan_.companionFaults = plan_.warnings + plan_.notCarried;
    }

    TablePlan plan() {
        planColumns();
        planPrimaryKey();
        planIndexes();
        planChecks();
        planReferences();
        return std::move(plan_);
    }

private:
    QString column(int field) const {
        return quotedName(plan_.columns[static_cast<std::size_t>(field)].name);
    }
    QString columns(const std::vector<int>& fields) const {
        QStringList names;
        for (int f : fields)
            names.append(column(f));
        return names.join(QStringLiteral(", "));
    }
    QStringList names(const std::vector<int>& fields) const {
        QStringList list;
        for (int f : fields)
            list.append(fieldName(f));
        return list;
    }
    QString table() const { return quotedName(plan_.table); }
    // "A IS NOT NULL AND B IS NOT NULL" (joiner " AND ") or with " OR ".
    QString present(const std::vector<int>& fields, const QString& joiner) const {
        QStringList conditions;
        for (int f : fields)
            conditions.append(column(f) + QStringLiteral(" IS NOT NULL"));
        return u'(' + conditions.join(joiner) + u')';
    }
    QString duplicates(const QString& expressions, const QString& where) const {
        return QStringLiteral("SELECT %1 FROM %2 WHERE %3 GROUP BY %1 HAVING COUNT(*) > 1")
            .arg(expressions, table(), where);
    }
    QString fieldName(int field) const {
        return plan_.columns[static_cast<std::size_t>(field)].name;
    }

    // The last object added is the check `name` of the field's column.
    void addCheckShape(const QString& name, int field, const QString& condition) {
        SchemaObject& object = plan_.objects.back();
        object.kind = SchemaObject::Kind::Check;
        object.name = name;
        object.columns = QStringList{fieldName(field)};
        object.condition = condition;
    }

    void planColumns();
    void planPrimaryKey();
    void planIndexes();
    void planChecks();
    void planReferences();
    void planLookup(int field, const QString& lookupFile);
    void addForeignKey(const QString& name, const std::vector<int>& fields,
                       const std::filesystem::path& masterFile,
                       const std::vector<int>& masterFields, const QString& what);

    std::filesystem::path dbFile_;
    TableSchema schema_;
    NameLimit limit_;
    TablePlan plan_;
    std::vector<int> key_;
};

void Planner::planColumns() {
    for (std::size_t i = 0; i < schema_.fields.size(); ++i) {
        const paradox::Field& field = schema_.fields[i];
        std::optional<std::int64_t> start;
        if (field.type == FieldType::AutoIncrement) {
            const std::int64_t issued = schema_.highestAutoIncrement.value_or(0);
            start = std::max(issued, largestValue(dbFile_, static_cast<int>(i)).value_or(0)) + 1;
        }
        plan_.columns.push_back(typedColumnPlan(field, start));
    }
    plan_.nameCuts = fitColumnNames(plan_.columns, limit_);
}

void Planner::planPrimaryKey() {
    if (schema_.keyFields == 0)
        return;
    for (int f = 0; f < schema_.keyFields; ++f)
        key_.push_back(f);
    const QString name = objectName(QStringLiteral("PK"), plan_.table, {}, limit_);
    const QString list = columns(key_);
    QString blank;
    for (int f : key_)
        blank += (blank.isEmpty() ? QString() : QStringLiteral(" OR ")) + column(f) +
                 QStringLiteral(" IS NULL");
    plan_.objects.push_back(
        {QStringLiteral("primary key %1 (%2)").arg(quotedName(name), list),
         QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 PRIMARY KEY (%3)")
             .arg(table(), quotedName(name), list),
         {QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(list, table(), blank),
          duplicates(list, present(key_, QStringLiteral(" AND ")))},
         dataRule(DataRule::Kind::Key, key_)});
    plan_.objects.back().kind = SchemaObject::Kind::PrimaryKey;
    plan_.objects.back().name = name;
    plan_.objects.back().columns = names(key_);
}

void Planner::planIndexes() {
    for (const paradox::SecondaryIndex& index : schema_.indexes) {
        std::vector<int> fields;
        QStringList parts;
        QStringList expressions;
        for (const paradox::IndexField& f : index.fields) {
            fields.push_back(f.field);
            const QString expression = index.caseInsensitive
                                           ? QStringLiteral("UPPER(%1)").arg(column(f.field))
                                           : column(f.field);
            expressions.append(expression);
            parts.append(expression + (f.descending ? QStringLiteral(" DESC") : QString()));
        }
        const QString name =
            objectName(QStringLiteral("IX"), plan_.table, fromUtf8(index.name), limit_);
        if (fields == key_ && !index.caseInsensitive) {
            plan_.notCarried.append(QStringLiteral("index %1 (%2): the primary key has these "
                                                   "columns and their index already")
                                        .arg(quotedName(name), parts.join(QStringLiteral(", "))));
            continue;
        }
        SchemaObject object;
        object.kind = SchemaObject::Kind::Index;
        object.name = name;
        object.columns = parts;
        object.unique = index.unique;
        object.description = QStringLiteral("%1index %2 (%3)%4")
                                 .arg(index.unique ? QStringLiteral("unique ") : QString(),
                                      quotedName(name), parts.join(QStringLiteral(", ")),
                                      index.maintained ? QString()
                                                       : QStringLiteral(", not maintained in "
                                                                        "Paradox"));
        object.statement = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                               .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
                                    quotedName(name), table(), parts.join(QStringLiteral(", ")));
        // Oracle's rule for a unique index: a row whose columns are all NULL has no entry; the
        // others are compared on every column, NULL equal to NULL (('1', NULL) twice breaks it).
        if (index.unique) {
            object.violationQueries.append(duplicates(expressions.join(QStringLiteral(", ")),
                                                      present(fields, QStringLiteral(" OR "))));
            object.rule = dataRule(DataRule::Kind::Unique, fields);
            object.rule.caseInsensitive = index.caseInsensitive;
        }
        plan_.objects.push_back(std::move(object));
    }
}

void Planner::planChecks() {
    for (const paradox::FieldCheck& check : schema_.checks) {
        const ColumnPlan& plan = plan_.columns[static_cast<std::size_t>(check.field)];
        const QString col = column(check.field);
        const bool inKey = check.field < schema_.keyFields;
        if (check.required && !inKey) {
            const QString name = objectName(QStringLiteral("NN"), plan_.table, plan.name, limit_);
            plan_.objects.push_back(
                {QStringLiteral("required %1 (check %2)").arg(col, quotedName(name)),
                 QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 CHECK (%3 IS NOT NULL)")
                     .arg(table(), quotedName(name), col),
                 {QStringLiteral("SELECT * FROM %1 WHERE %2 IS NULL").arg(table(), col)},
                 dataRule(DataRule::Kind::Required, {check.field})});
            addCheckShape(name, check.field, col + QStringLiteral(" IS NOT NULL"));
        }
        QStringList range;
        for (const auto& [bound, op] : {std::pair{&check.minimum, ">="}, {&check.maximum, "<="}}) {
            if (isNull(*bound))
                continue;
            if (const auto refusal = valueRefusal(plan, *bound)) {
                plan_.notCarried.append(
                    QStringLiteral("range of %1: the limit %2: %3")
                        .arg(col, fromUtf8(typedValueText(plan, *bound)), *refusal));
                range.clear();
                break;
            }
            range.append(col + u' ' + QLatin1String(op) + u' ' + typedLiteral(plan, *bound));
        }
        if (!range.isEmpty()) {
            const QString name = objectName(QStringLiteral("CK"), plan_.table, plan.name, limit_);
            const QString condition = range.join(QStringLiteral(" AND "));
            plan_.objects.push_back(
                {QStringLiteral("range of %1 (check %2: %3)").arg(col, quotedName(name), condition),
                 QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 CHECK (%3)")
                     .arg(table(), quotedName(name), condition),
                 {QStringLiteral("SELECT * FROM %1 WHERE NOT (%2)").arg(table(), condition)},
                 rangeRule(check)});
            addCheckShape(name, check.field, condition);
        }
        if (!isNull(check.defaultValue)) {
            if (const auto refusal = valueRefusal(plan, check.defaultValue))
                plan_.notCarried.append(QStringLiteral("default of %1: %2").arg(col, *refusal));
            else
                plan_.columns[static_cast<std::size_t>(check.field)].defaultLiteral =
                    typedLiteral(plan, check.defaultValue);
        }
        if (!check.picture.empty()) {
            plan_.objects.push_back(
                {QStringLiteral("picture of %1 (column comment)").arg(col),
                 QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3")
                     .arg(table(), col,
                          typedLiteral(ColumnPlan{}, Value("picture " + check.picture))),
                 {},
                 {}});
            plan_.objects.back().columns = QStringList{plan.name};
            plan_.objects.back().condition = fromUtf8("picture " + check.picture);
        }
        if (!check.lookupTable.empty())
            planLookup(check.field, fromUtf8(check.lookupTable));
    }
}

void Planner::planReferences() {
    for (const paradox::Reference& reference : schema_.references) {
        std::vector<int> masterFields = reference.masterFields;
        addForeignKey(fromUtf8(reference.name), reference.fields,
                      fileInFolder(dbFile_.parent_path(), reference.masterTable), masterFields,
                      QStringLiteral("referential integrity"));
        if (reference.cascadeUpdate)
            plan_.warnings.append(
                QStringLiteral("referential integrity \"%1\": Oracle has no update cascade; a "
                               "changed key of %2 is refused while rows of %3 refer to it")
                    .arg(fromUtf8(reference.name), listedName(reference.masterTable, limit_),
                         plan_.table));
    }
}

void Planner::planLookup(int field, const QString& lookupFile) {
    addForeignKey(fieldName(field), {field},
                  fileInFolder(dbFile_.parent_path(), lookupFile.toStdString()), {0},
                  QStringLiteral("lookup"));
}

// A foreign key refers to the whole key of its master, whose columns the master's file names.
void Planner::addForeignKey(const QString& name, const std::vector<int>& fields,
                            const std::filesystem::path& masterFile,
                            const std::vector<int>& masterFields, const QString& what) {
    const QString master = listedName(masterFile, limit_);
    const QString constraint = objectName(QStringLiteral("FK"), plan_.table, name, limit_);
    const QString which =
        QStringLiteral("%1 %2 (%3) to %4")
            .arg(what, quotedName(constraint), columns(fields), quotedName(master));
    TableSchema masterSchema;
    try {
        masterSchema = paradox::readTableSchema(masterFile);
    } catch (const std::exception& e) {
        plan_.notCarried.append(which + QStringLiteral(": ") + QString::fromUtf8(e.what()));
        return;
    }
    std::vector<int> wholeKey;
    for (int f = 0; f < masterSchema.keyFields; ++f)
        wholeKey.push_back(f);
    if (masterFields != wholeKey) {
        plan_.notCarried.append(which + QStringLiteral(": not the whole primary key of ") +
                                quotedName(master));
        return;
    }
    // The master's columns as the server names them (its fields' names fitted together).
    QStringList masterNames;
    for (const paradox::Field& field : masterSchema.fields)
        masterNames.append(fromUtf8(field.name));
    masterNames = fittedNames(masterNames, limit_);
    QStringList masterColumns;
    QStringList matches;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QString masterColumn = quotedName(masterNames[masterFields[i]]);
        masterColumns.append(masterColumn);
        matches.append(QStringLiteral("m.%1 = c.%2").arg(masterColumn, column(fields[i])));
    }
    QStringList present;
    for (int f : fields)
        present.append(QStringLiteral("c.") + column(f) + QStringLiteral(" IS NOT NULL"));
    ForeignKeyPlan key;
    key.table = plan_.table;
    key.masterTable = master;
    key.object.description =
        which + QStringLiteral(" (%1)").arg(masterColumns.join(QStringLiteral(", ")));
    key.object.statement =
        QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 FOREIGN KEY (%3) REFERENCES %4 (%5)")
            .arg(table(), quotedName(constraint), columns(fields), quotedName(master),
                 masterColumns.join(QStringLiteral(", ")));
    key.object.kind = SchemaObject::Kind::ForeignKey;
    key.object.name = constraint;
    key.object.columns = names(fields);
    key.object.masterTable = master;
    for (int f : masterFields)
        key.object.masterColumns.append(masterNames[f]);
    key.object.violationQueries.append(
        QStringLiteral("SELECT %1 FROM %2 c WHERE %3 AND NOT EXISTS (SELECT 1 FROM %4 m WHERE %5)")
            .arg(columns(fields), table(), present.join(QStringLiteral(" AND ")),
                 quotedName(master), matches.join(QStringLiteral(" AND "))));
    key.object.rule = dataRule(DataRule::Kind::Reference, fields);
    key.object.rule.masterFile = masterFile;
    key.object.rule.masterFields = masterFields;
    plan_.foreignKeys.push_back(std::move(key));
}

} // namespace

TablePlan planTable(const QString& table, const std::filesystem::path& dbFile,
                    const NameLimit& limit) {
    try {
        return Planner(table, dbFile, limit).plan();
    } catch (const paradox::ParadoxError& e) {
        throw RuntimeError(errnum::PathFileAccess, QString::fromUtf8(e.what()));
    }
}

TablePlan planTableInFolder(const QString& table, const QString& folder, const QString& tablePath,
                            const NameLimit& limit) {
    const std::optional<QString> file = findTableFileOfPath(folder, tablePath);
    if (!file)
        throw RuntimeError(errnum::FileNotFound,
                           QStringLiteral("no table file for %1 in %2").arg(tablePath, folder));
    return planTable(table, file->toStdString(), limit);
}

void checkPlannedFieldCount(int delivered, const TablePlan& plan) {
    if (static_cast<std::size_t>(delivered) != plan.columns.size())
        throw RuntimeError(errnum::InvalidCall,
                           QStringLiteral("the table delivers %1 fields, its file has %2")
                               .arg(delivered)
                               .arg(plan.columns.size()));
}

} // namespace dravena
