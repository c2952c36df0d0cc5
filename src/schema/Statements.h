#pragma once

#include "ColumnPlan.h"
#include "dataaccess/DataAccess.h"

#include <QString>

#include <span>
#include <string>
#include <vector>

namespace dravena {

// A table or column name between double quotes; a double quote inside the name is doubled.
QString quotedName(const QString& name);

// DROP TABLE "T"
QString dropTableStatement(const QString& table);

// RENAME "OLD" TO "NEW"
QString renameTableStatement(const QString& table, const QString& newName);

// ALTER TABLE "OLD" RENAME TO "NEW"
QString alterTableRenameStatement(const QString& table, const QString& newName);

// The name a table is loaded under before it takes its own: "DRAVENA_" and eight hexadecimal
// digits that stand for the whole name, "_" and as much of the name as fits in 30 bytes. The
// same table always gets the same name, so that what a killed load left is found again.
QString loadingTableName(const QString& table);

// The table a loading name stands for, when the name is one: the table's name, or the start of
// it followed by "..." when the loading name holds only the start. "" for any other name.
QString tableOfLoadingName(const QString& name);

// COMMENT ON TABLE "LOADING" IS 'dravena complete copy of T': the loading table holds the whole
// copy of T, about to take its name; any run finds it so (completeCopiesQuery) and puts it in
// place when T is missing.
QString markCompleteStatement(const QString& loading, const QString& table);
// COMMENT ON TABLE "T" IS '': the mark gone once the copy took its name.
QString clearMarkStatement(const QString& table);
// The tables marked as complete copies: their names and their comments.
QString completeCopiesQuery();
// The table a comment marks a complete copy of; empty when it marks none.
QString completeCopyOf(const QString& comment);
// The comment of one table (none: no row).
QString tableCommentQuery(const QString& table);
// The server's table of exactly that name (none: no row).
QString tableNamedQuery(const QString& table);

// SELECT * FROM "T"
QString selectAllStatement(const QString& table);

// One column of a new table: its name and its server column type ("INT").
struct ColumnDefinition {
    QString name;
    QString type;
};

// CREATE TABLE "T"("F1" C1,"F2" C2)
QString createTableStatement(const QString& table, const std::vector<ColumnDefinition>& columns);

// The longest string literal the server takes, in bytes (Oracle refuses longer ones).
inline constexpr std::size_t MaxLiteralBytes = 4000;

// One INSERT statement and the values bound to its "?" marks, in order.
struct InsertStatement {
    QString text;
    std::vector<BoundValue> parameters;
};

// What becomes of a value whose literal would be longer than MaxLiteralBytes.
enum class LongValues {
    Bind,  // a "?" in its place and the value bound: bytes of a BLOB column as binary, else text
    Inline // the literal all the same (for printing the statements)
};

// Builds INSERT INTO "T" VALUES('V1', NULL, 'O''Brien') for row after row of one table. Every
// value of a described column is a quoted text literal with its apostrophes doubled (a typed
// column's value is its typed literal); NULL and a value whose text is
// empty stand as the bare word NULL. A value too long for a literal is bound instead (see
// LongValues). The buffer is kept between rows.
class InsertStatementBuilder {
public:
    // blobColumns[i] tells whether column i is a BLOB column (missing entries: it is not).
    explicit InsertStatementBuilder(const QString& table, std::vector<bool> blobColumns = {},
                                    LongValues longValues = LongValues::Bind);
    // For the columns of a new table: typed columns take their values as typed literals.
    InsertStatementBuilder(const QString& table, const std::vector<ColumnPlan>& columns,
                           LongValues longValues = LongValues::Bind);

    // Value by value, so that a caller can do other work between the fields of a row.
    void begin();
    void appendValue(const Value& value);
    InsertStatement finish();

    InsertStatement statement(std::span<const Value> row);

    // How many values of the statement being built are bound rather than written as literals.
    std::size_t boundValues() const { return parameters_.size(); }

private:
    bool bindsBytes(const Value& value) const;

    std::string prefix_;
    std::string text_;
    std::vector<bool> blobColumns_;
    std::vector<ColumnPlan> typed_; // empty, or one plan per column
    LongValues longValues_;
    std::size_t column_ = 0;
    std::vector<BoundValue> parameters_;
};

} // namespace dravena
