// dravena-cli verify: proof, value by value, that the server holds what the Paradox tables hold.

#include "CheckReport.h"
#include "Options.h"
#include "RunFolder.h"
#include "SignOnDefaults.h"
#include "TableSelection.h"
#include "TerminalBar.h"
#include "base/Ports.h"
#include "base/RuntimeError.h"
#include "compare/TableCheck.h"
#include "dataaccess/ConnectionEntries.h"
#include "drivers/TableNames.h"
#include "fsutil/TableFiles.h"
#include "schema/ObjectNames.h"
#include "schema/ServerNaming.h"
#include "ui/SystemPorts.h"

#include <cstdio>

#include <unistd.h>

namespace dravena::cli {

namespace {

class CommandLineEntries final : public ConnectionEntries {
public:
    CommandLineEntries(const ParsedOptions& options, SignOn signOn)
        : options_(options), signOn_(std::move(signOn)) {}
    QString paradoxFolder() const override { return options_.value("--folder"); }
    QString oracleSid() const override { return signOn_.sid; }
    QString oracleUser() const override { return signOn_.user; }
    QString oraclePassword() const override { return signOn_.password; }

private:
    const ParsedOptions& options_;
    SignOn signOn_;
};

} // namespace

// Compares each named table of the folder with the server's table of that name, row by row and
// value by value, as send would have left it. Exit status 0 only when every table is identical.
int runVerify(const ParsedOptions& options) {
    if (!applyTimeoutOption(options) || !applyCodePageOption(options))
        return 2;
    auto signOn = signOnOfCommandLine(options);
    if (!signOn)
        return 2;
    int refused = 0;
    const auto tables = tablesOfCommandLine(options, refused);
    if (!tables)
        return refused;
    const auto password = passwordOfCommandLine(options, tablesFromStandardInput(options));
    if (!password)
        return 1;
    signOn->password = *password;
    const CommandLineEntries entries(options, *signOn);
    QStringList serverTables;
    NameLimit names;
    try {
        serverTables =
            oracleTableNames(entries.oracleSid(), entries.oracleUser(), entries.oraclePassword());
        names =
            readServerNaming(entries.oracleSid(), entries.oracleUser(), entries.oraclePassword())
                .limit;
    } catch (const RuntimeError& error) {
        printLine(stderr, QStringLiteral("dravena-cli verify: signing on to the server failed: ") +
                              error.description());
        return 1;
    }
    const std::shared_ptr<Clock> clock = localClock();
    const std::int64_t start = clock->steadyMilliseconds();
    TerminalBar bar(stderr, isatty(fileno(stderr)) != 0, clock);
    const TableChecker checker(entries, names, options.value("--schema") == QLatin1String("full"));
    int identical = 0;
    int notCompared = 0;
    std::int64_t rows = 0;
    const auto report = startRunReport(options, entries.oracleSid(), entries.oracleUser(), *tables);
    const bool quiet = options.has("--quiet");
    for (const QString& table : *tables) {
        const std::int64_t tableStart = clock->steadyMilliseconds();
        const QString serverTable = serverTableNamed(table, serverTables, names);
        TableReport record;
        record.table = table;
        record.server = serverTable;
        record.files = sourceFilesOf(entries.paradoxFolder(), table);
        QStringList lines;
        if (serverTable.isEmpty()) {
            lines.append(table + QStringLiteral(": not compared: the server has no such table"));
            record.messages = lines;
            record.outcome = QStringLiteral("not compared");
            ++notCompared;
        } else {
            std::int64_t expected = -1;
            const TableCheck check =
                checker.check(table, serverTable, [&](std::int64_t done, std::int64_t total) {
                    // Nobody reads the report any more: the check ends here.
                    if (done % 256 == 0 && outputClosed())
                        throw RuntimeError(errnum::InvalidCall,
                                           QStringLiteral("the output was closed"));
                    if (total != expected)
                        bar.start(table, expected = total);
                    bar.show(done);
                });
            bar.clear();
            lines = checkReport(table, check);
            record.verify = verifyRecord(check, lines);
            record.outcome = record.verify["result"].toString();
            record.rowsRead = check.rows.paradoxRows;
            record.messages = lines;
            identical += check.identical() ? 1 : 0;
            notCompared += check.failure.isEmpty() ? 0 : 1;
            rows += check.rows.paradoxRows;
        }
        for (const QString& line : lines)
            if (!quiet)
                printLine(stdout, line);
        record.milliseconds = clock->steadyMilliseconds() - tableStart;
        report->addTable(std::move(record));
        if (outputClosed())
            break;
    }
    // A report that cannot be written ends the run after its table, as a failure.
    if (outputClosed()) {
        printLine(stderr, QStringLiteral("dravena-cli verify: the report could not be written "
                                         "(its reader went away); the run ended there"));
        return finishRunFolder(options, *report, QString(), 1, clock->steadyMilliseconds() - start);
    }
    const auto tableCount = static_cast<int>(tables->size());
    const QString summary =
        QStringLiteral("dravena-cli verify: %1: %2 identical, %3, %4 not compared; %5; "
                       "%6s")
            .arg(counted(tableCount, "table", "tables"))
            .arg(identical)
            .arg(counted(tableCount - identical - notCompared, "differs", "differ"))
            .arg(notCompared)
            .arg(counted(rows, "Paradox row checked", "Paradox rows checked"))
            .arg(QString::number(static_cast<double>(clock->steadyMilliseconds() - start) / 1000.0,
                                 'f', 1));
    printLine(stdout, summary);
    return finishRunFolder(options, *report, summary, identical == tableCount ? 0 : 1,
                           clock->steadyMilliseconds() - start);
}

} // namespace dravena::cli
