#pragma once

#include "RowMatcher.h"
#include "schema/ColumnPlan.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace dravena {

class ConnectionEntries;

// A column whose type on the server is not the one send creates, or that one side lacks.
struct ColumnDifference {
    QString name;
    QString sendType;   // what send creates; empty for a server column the Paradox table lacks
    QString serverType; // as serverColumnTypeName names it; empty when the server lacks it
};

// What checking one table found.
struct TableCheck {
    QString failure;                 // why the table could not be compared; empty when it was
    std::vector<ColumnPlan> columns; // the columns compared, as send plans them
    std::vector<ColumnDifference> columnDifferences;
    // With the carried schema: the key, indexes, checks, foreign keys and identities the server
    // lacks or holds otherwise (compareServerObjects), one line each; and what is only told.
    QStringList objectDifferences;
    QStringList objectNotes;
    RowMatch rows;
    // Problems of the Paradox reading that did not stop it (send tells the same ones): the
    // values compared are those read, as send sent them, so they do not make the table differ.
    QStringList readingProblems;
    // A Paradox value could not be read: it came as NULL and so was not compared.
    bool valuesLost = false;

    // Every column and row compared as read found its equal.
    bool sidesMatch() const {
        return failure.isEmpty() && columnDifferences.empty() && objectDifferences.empty() &&
               rows.onlyInParadox == 0 && rows.onlyOnServer == 0;
    }
    bool identical() const { return sidesMatch() && !valuesLost; }
};

// Checks that the server holds every row of a Paradox table, value by value, as send leaves it
// with the described columns or, with fullSchema, the carried schema (--schema full): the rows
// of both sides compared as multisets (the server keeps no order), each value mapped as send
// maps it and compared in the terms of its column (ColumnKind), the columns by name and type.
// Memory stays small whatever the table's size (RowMatcher). Both connections are opened anew
// for each table from the entries. Without foreignKeys, the carried schema's foreign keys are
// not compared: send checks each table before its run's last step adds them.
class TableChecker {
public:
    // Column names are fitted to `names`, the server's longest name, as send fits them.
    TableChecker(const ConnectionEntries& entries, const NameLimit& names, bool fullSchema = false,
                 bool foreignKeys = true)
        : entries_(entries), names_(names), fullSchema_(fullSchema), foreignKeys_(foreignKeys) {}

    // Rows read so far on both sides, of the rows expected on both (twice the Paradox rows).
    using Progress = std::function<void(std::int64_t done, std::int64_t expected)>;

    // Compares the Paradox table (named as listed) with the server's table of that exact name.
    TableCheck check(const QString& paradoxTable, const QString& serverTable,
                     const Progress& progress = {}) const;

private:
    const ConnectionEntries& entries_;
    NameLimit names_;
    bool fullSchema_;
    bool foreignKeys_;
};

} // namespace dravena
