#include "Options.h"

#include "app/RuntimeError.h"
#include "connections/ConnectionStrings.h"
#include "connections/DataAccess.h"
#include "transfer/Statements.h"
#include "transfer/TableStatements.h"

#include <cstdio>

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

void printWarnings(const QString& table, const Recordset& recordset) {
    std::fflush(stdout);
    for (const QString& warning : recordset.warnings())
        std::fprintf(stderr, "dravena-cli sql: %s: warning: %s\n", qPrintable(table),
                     qPrintable(warning));
}

// Prints the statements of one table; false when it could not be read to its end. What the
// reading met without stopping (values that could only be delivered as NULL, for example) is
// told on the error output.
bool printTable(Connection& connection, Recordset& recordset, const QString& table) {
    bool complete = true;
    try {
        generateTableStatements(recordset, connection, table, printStatement);
    } catch (const RuntimeError& error) {
        printError(table, error);
        complete = false;
    }
    if (recordset.isOpen()) {
        printWarnings(table, recordset);
        recordset.close();
    }
    return complete;
}

} // namespace

// Prints, for each named Paradox table, the CREATE TABLE statement and one INSERT statement per
// row that a transfer would send, each followed by ";" and a line break.
int runSql(const ParsedOptions& options) {
    const QString folder = options.value("--folder");
    const QStringList& tables = options.words;
    int status = 0;
    try {
        const auto connection = dataAccess().createConnection();
        const auto recordset = dataAccess().createRecordset();
        connection->setCursorLocation(ClientSideCursor);
        connection->open(paradoxConnectionString(folder));
        for (const QString& table : tables)
            if (!printTable(*connection, *recordset, table))
                status = 1;
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
