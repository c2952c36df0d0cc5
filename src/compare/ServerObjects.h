#pragma once

#include "schema/TablePlan.h"

#include <QString>
#include <QStringList>

namespace dravena {

class Connection;

// How the schema objects of a server table stand against those send carries (--schema full).
struct ObjectComparison {
    // Each object missing on the server, different there, or only there in a way that refuses
    // rows the Paradox table takes: one line each ("primary key \"PK_T\" (\"Id\"): missing on
    // the server"). Any of them makes the table differ.
    QStringList differences;
    // Equal objects the server names otherwise (Oracle's SYS_C names, a renamed index) and
    // extra plain indexes: told, but the table does not differ for them.
    QStringList notes;
};

// Compares the key, the indexes, the checks, the foreign keys, the identity columns and the
// column comments (pictures) the plan carries with those of the server's table `table`, read from
// the server's dictionary (USER_CONSTRAINTS, USER_CONS_COLUMNS, USER_INDEXES, USER_IND_COLUMNS,
// USER_IND_EXPRESSIONS, USER_TAB_IDENTITY_COLS, USER_SEQUENCES, USER_COL_COMMENTS). Objects are
// paired by what they are (columns, condition, master), not by name. A dictionary that cannot be
// read is a difference. Without foreignKeys, the foreign keys are left out (a run adds them only
// once all its tables are in).
ObjectComparison compareServerObjects(Connection& server, const QString& table,
                                      const TablePlan& plan, bool foreignKeys = true);

// A check's condition in a form that does not depend on how a server writes it back: outside
// its literals in capitals, without blanks, double quotes and parentheses; without a literal's
// type name or cast, quotes around a number or a zero fraction of seconds; "= ANY (ARRAY[a, b])"
// written as "IN a, b".
QString comparableCondition(const QString& condition);

} // namespace dravena
