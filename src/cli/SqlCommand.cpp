#include "LetterCaseTwins.h"
#include "Options.h"
#include "TableSelection.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFiles.h"
#include "schema/ObjectNames.h"
#include "schema/Statements.h"
#include "schema/TableStatements.h"

#include <cstdio>
#include <functional>

namespace dravena::cli {

namespace {

void printStatement(const QString& statement) {
    const QByteArray utf8 = statement.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stdout);
    std::fputs(";\n", stdout);
}

void printError(const QString& subject, const RuntimeError& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "dravena-cli sql: %s: %s\n", qPrintable(subject), error.what());
}

void printWarning(const QString& table, const QString& warning) {
    std::fflush(stdout);
    std::fprintf(stderr, "dravena-cli sql: %s: warning: %s\n", qPrintable(table),
                 qPrintable(warning));
}

// False when a value could not be read (it is printed as NULL).
bool printWarnings(const QString& table, const Recordset& recordset) {
    std::fflush(stdout);
    for (const QString& warning : recordset.warnings())
        printWarning(table, warning);
    return !recordset.valuesLost();
}

// Prints the statements of one table; false when it could not be read to its end or a value
// could not be read. What the reading met without stopping is told on the error output.
bool printTable(Recordset& recordset, const QString& table, const std::function<bool()>& generate) {
    bool complete = true;
    try {
        complete = generate();
    } catch (const RuntimeError& error) {
        printError(table, error);
        complete = false;
    }
    if (recordset.isOpen()) {
        complete = printWarnings(table, recordset) && complete;
        recordset.close();
    }
    return complete;
}

// Tells a row the script leaves out, with its table, its number and the field, and marks the
// script incomplete.
RowRefusal rowLeftOut(const QString& table, bool& complete) {
    return [&table, &complete](std::int64_t row, const QString& why) {
        std::fflush(stdout);
        printLine(
            stderr,
            QStringLiteral("dravena-cli sql: %1: row %2: %3").arg(table).arg(row + 1).arg(why));
        complete = false;
    };
}

// The statements of the carried schema of one table (--schema full); its foreign keys are kept
// for the end of the script. False when a row cannot be carried.
bool printFullStatements(Connection& connection, Recordset& recordset, const QString& folder,
                         const QString& table, const NameLimit& limit,
                         std::vector<ForeignKeyPlan>& foreignKeys) {
    const TablePlan plan = planTableInFolder(fittedName(table, limit), folder, table, limit);
    if (plan.table != table)
        printWarning(table, nameCutLine(QStringLiteral("table"), table, plan.table, limit));
    for (const QString& warning : plan.nameCuts + plan.warnings)
        printWarning(table, warning);
    for (const QString& missing : plan.notCarried)
        std::fprintf(stderr, "dravena-cli sql: %s: not carried %s\n", qPrintable(table),
                     qPrintable(missing));
    bool complete = true;
    generateTableStatements(recordset, connection, table, plan, printStatement,
                            rowLeftOut(table, complete));
    foreignKeys.insert(foreignKeys.end(), plan.foreignKeys.begin(), plan.foreignKeys.end());
    return complete;
}

} // namespace

// Prints a script SQL*Plus runs as it is: for each chosen Paradox table the CREATE TABLE statement
// and one INSERT statement per row that a transfer would send, each followed by ";" and a line
// break, then COMMIT. A row holding a value no literal carries is left out and named.
int runSql(const ParsedOptions& options) {
    if (!applyCodePageOption(options))
        return 2;
    const QString folder = options.value("--folder");
    int refused = 0;
    const auto chosen = tablesOfCommandLine(options, refused);
    if (!chosen)
        return refused;
    const QStringList& tables = *chosen; // named as the tables window lists them
    const bool full = options.value("--schema") == QLatin1String("full");
    const NameLimit limit = nameLimitOfCommandLine(options);
    tellLetterCaseTwins("sql", folder, tables);
    int status = 0;
    try {
        const auto connection = dataAccess().createConnection();
        const auto recordset = dataAccess().createRecordset();
        connection->setCursorLocation(ClientSideCursor);
        connection->open(paradoxConnectionString(folder));
        std::vector<ForeignKeyPlan> foreignKeys;
        // SQL*Plus runs the script as it is: "&" in a value is text, not a variable, and a blank
        // line inside a value does not end its statement.
        std::fputs("SET DEFINE OFF\nSET SQLBLANKLINES ON\n", stdout);
        for (const QString& table : tables) {
            // A table of a sub-folder ("sub/NAME") is read through a connection of its own on
            // that folder and keeps its name NAME.
            std::unique_ptr<Connection> own;
            const bool complete = printTable(*recordset, table, [&] {
                const TablePlace place = splitTablePath(table);
                QString tableFolder = folder;
                Connection* source = connection.get();
                if (!place.subFolder.isEmpty()) {
                    tableFolder = pathInFolder(folder, place.subFolder);
                    own = dataAccess().createConnection();
                    own->setCursorLocation(ClientSideCursor);
                    own->open(paradoxConnectionString(tableFolder));
                    source = own.get();
                }
                if (full)
                    return printFullStatements(*source, *recordset, tableFolder, place.entry, limit,
                                               foreignKeys);
                bool written = true;
                generateTableStatements(*recordset, *source, place.entry, limit, printStatement,
                                        rowLeftOut(table, written),
                                        [&](const QString& cut) { printWarning(table, cut); });
                return written;
            });
            // Each table's rows are kept before the next table's begin.
            std::fputs("COMMIT;\n", stdout);
            if (!complete)
                status = 1;
        }
        // The foreign keys once every table is in.
        for (const ForeignKeyPlan& key : foreignKeys)
            printStatement(key.object.statement);
        connection->close();
    } catch (const RuntimeError& error) {
        printError(folder, error);
        return 1;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("dravena-cli sql: could not write the statements\n", stderr);
        return 1;
    }
    return status;
}

} // namespace dravena::cli
