#pragma once

#include "ColumnPlan.h"
#include "paradox/Value.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <vector>

namespace dravena {

// The rows that would break an object, in the Paradox table's own fields (0-based), so that
// the data can be checked before any server table exists; violationQueries say the same in SQL.
struct DataRule {
    enum class Kind {
        None,      // nothing breaks it (a plain index, a comment)
        Key,       // a primary key: no field blank, no two rows alike
        Unique,    // a unique index: no two rows alike among those with any field filled
        Required,  // the field is never blank
        Range,     // the field's values lie between minimum and maximum (NULL: no such end)
        Reference, // a foreign key: the fields, all filled, name a row of the master file
    };
    Kind kind = Kind::None;
    std::vector<int> fields;
    bool caseInsensitive = false; // Unique: texts compared in capitals
    paradox::Value minimum;
    paradox::Value maximum;
    std::filesystem::path masterFile;
    std::vector<int> masterFields;
};

// An object of a table's schema that is added after its rows (a key, an index, a check, a
// comment), with the queries that find rows that would break it.
struct SchemaObject {
    QString description;          // "primary key \"PK_T\" (ID)", for reports
    QString statement;            // what creates it
    QStringList violationQueries; // SELECTs of offending rows; none when nothing can break it
    DataRule rule;                // the same rows, told by the Paradox fields
    // What the object is, in the terms of the server's dictionary (verify compares them).
    enum class Kind { PrimaryKey, Index, Check, Comment, ForeignKey };
    Kind kind = Kind::Comment;
    QString name{}; // the object's own name on the server; empty for a comment
    // Column names in order: of a key; of an index, each as its expression with " DESC" after
    // a descending one ("\"A\"", "UPPER(\"B\") DESC"); of a check or a comment, its column.
    QStringList columns{};
    bool unique = false;   // of an index
    QString condition{};   // of a check, as the statement writes it; of a comment, its text
    QString masterTable{}; // of a foreign key, with the master's key columns
    QStringList masterColumns{};
};

// A foreign key of a table, added once every table of the run is in: the referential integrity
// or the lookup of the Paradox table.
struct ForeignKeyPlan {
    QString table;       // the table that holds the key
    QString masterTable; // the table it refers to, as it is named on the server
    SchemaObject object;
};

// The schema of one table as --schema full carries it: typed columns, then the objects that
// follow the rows, then the foreign keys; and what the table's files hold that cannot be
// carried, each with the reason.
struct TablePlan {
    QString table;
    std::vector<ColumnPlan> columns;
    std::vector<SchemaObject> objects; // key, secondary indexes, checks, comments: in this order
    std::vector<ForeignKeyPlan> foreignKeys;
    QStringList notCarried; // with companion files that could not be used, naming them
    QStringList warnings;   // a disagreeing primary index, update rules Oracle lacks
    QStringList nameCuts;   // the column names cut to fit the server (nameCutLine)
    // The lines of notCarried and warnings that tell of companion files (.PX, .Xnn, .VAL) that
    // are missing, stale, damaged or another table's.
    QStringList companionFaults;
};

// Plans the table `table` (its server name) from its Paradox file and the files beside it,
// reading the table once for the largest autoincrement number. A master or lookup table is
// named on the server as the table list names it: its file name in capitals without ".DB".
// Column, key, index, check and master names are fitted to `limit`, the server's longest name.
// Fails with a RuntimeError when the table file cannot be read.
TablePlan planTable(const QString& table, const std::filesystem::path& dbFile,
                    const NameLimit& limit);

// planTable for the table at tablePath ("sub/NAME", or a bare entry) below the folder; fails with
// 53 when no table file belongs to it, and as findTableFileOfPath does.
TablePlan planTableInFolder(const QString& table, const QString& folder, const QString& tablePath,
                            const NameLimit& limit);

// Fails with 5 when the table delivers another number of fields than its file's plan has
// columns (the file changed between the two readings).
void checkPlannedFieldCount(int delivered, const TablePlan& plan);

} // namespace dravena
