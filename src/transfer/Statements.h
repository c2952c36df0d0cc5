#pragma once

#include "connections/DataAccess.h"

#include <QString>

#include <span>
#include <string>
#include <vector>

namespace dravena {

// A table or column name between double quotes; a double quote inside the name is doubled.
QString quotedName(const QString& name);

// DROP TABLE "T"
QString dropTableStatement(const QString& table);

// SELECT * FROM "T"
QString selectAllStatement(const QString& table);

// One column of a new table: its name and its server column type ("INT").
struct ColumnDefinition {
    QString name;
    QString type;
};

// CREATE TABLE "T"("F1" C1,"F2" C2)
QString createTableStatement(const QString& table, const std::vector<ColumnDefinition>& columns);

// Builds INSERT INTO "T" VALUES('V1', NULL, 'O''Brien') for row after row of one table. Every
// value is a quoted text literal with its apostrophes doubled; NULL and a value whose text is
// empty stand as the bare word NULL. The buffer is kept between rows.
class InsertStatementBuilder {
public:
    explicit InsertStatementBuilder(const QString& table);

    // Value by value, so that a caller can do other work between the fields of a row.
    void begin();
    void appendValue(const Value& value);
    QString finish();

    QString statement(std::span<const Value> row);

private:
    std::string prefix_;
    std::string text_;
    bool firstValue_ = true;
};

QString insertStatement(const QString& table, std::span<const Value> row);

} // namespace dravena
