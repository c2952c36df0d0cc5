#pragma once

#include "Options.h"
#include "schema/ObjectNames.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace dravena::cli {

// The Paradox tables of a folder and its sub-folders as paradox-tables lists them, in the
// window's order, a table of a sub-folder under its path ("sub/NAME"). What the scan cannot read
// is told on standard error under the command's name; a folder that cannot be listed fails with
// a RuntimeError.
QStringList listedParadoxTables(const char* command, const QString& folder,
                                int* scanProblems = nullptr);

// Whether a word of the command line is a shell-style pattern ("CUST*", "sub/*", "A?C", "[AB]*")
// rather than a table name.
bool isTablePattern(const QString& word);

// The tables a command works on, chosen among `listed` (listedParadoxTables): the words (names
// and patterns, in order), every line of `fromFile` (names and patterns as well), every table
// when `all`, less those `excluded` patterns match. A name is taken whatever its letter case; a
// pattern matches as the Paradox list matches file names, letter case ignored, and brings its
// tables in the list's order. A table named twice is taken twice, one a pattern brings again
// once. The fault, when a name names no listed table, a pattern matches none or nothing is
// chosen, names it; the tables are then empty.
struct TableChoice {
    QStringList tables;
    QString fault;
};
TableChoice chooseTables(const QStringList& listed, const QStringList& words,
                         const QStringList& fromFile, bool all, const QStringList& excluded);

// The options every command that works on tables takes beside its TABLE words.
extern const Option allOption;        // --all
extern const Option tablesFromOption; // --tables-from FILE
extern const Option excludeOption;    // --exclude PATTERN

// chooseTables from the command line of `options` (--all, --tables-from FILE with "-" for
// standard input, --exclude PATTERN given as often as wanted, the TABLE words) over the folder
// of --folder. Every name and pattern is resolved before anything is done; a fault is told on
// standard error ("dravena-cli COMMAND: ...") and gives nothing: the command ends with `status`,
// 2 (1 when the folder cannot be read).
std::optional<QStringList> tablesOfCommandLine(const ParsedOptions& options, int& status);

// Whether the command line chooses tables (TABLE words, --all or --tables-from).
bool choosesTables(const ParsedOptions& options);

// Whether the table names of the command line come from standard input (--tables-from -).
bool tablesFromStandardInput(const ParsedOptions& options);

// The server's spelling of the name send gives the table named on the command line (cut to the
// server's longest name): the same name, else the one that differs only in letter case, as send
// ignores it; empty when the server has neither. A table of a sub-folder ("sub/NAME") is NAME on
// the server.
QString serverTableNamed(const QString& table, const QStringList& serverTables,
                         const NameLimit& limit);

} // namespace dravena::cli
