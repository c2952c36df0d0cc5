// dravena-cli verify: proof, value by value, that the server holds what the Paradox tables hold.

#include "CheckReport.h"
#include "Options.h"
#include "PasswordInput.h"
#include "TerminalBar.h"
#include "app/Ports.h"
#include "app/RuntimeError.h"
#include "app/SystemPorts.h"
#include "connections/ConnectionEntries.h"
#include "tables/TableListing.h"
#include "transfer/TableCheck.h"

#include <cstdio>

#include <unistd.h>

namespace dravena::cli {

namespace {

constexpr const char* usage =
    "usage: dravena-cli verify --folder DIR --sid SID --user USER [--schema plain] TABLE...\n"
    "  (password from DRAVENA_PASSWORD or standard input)\n";

class CommandLineEntries final : public ConnectionEntries {
public:
    explicit CommandLineEntries(const ParsedOptions& options, QString password)
        : options_(options), password_(std::move(password)) {}
    QString paradoxFolder() const override { return value("--folder"); }
    QString oracleSid() const override { return value("--sid"); }
    QString oracleUser() const override { return value("--user"); }
    QString oraclePassword() const override { return password_; }

private:
    QString value(const char* name) const { return options_.values.value(QLatin1String(name)); }
    const ParsedOptions& options_;
    QString password_;
};

// Only the column mapping of the tables window (plain) can be checked so far.
bool schemaAccepted(const ParsedOptions& options) {
    const QString schema =
        options.values.value(QStringLiteral("--schema"), QStringLiteral("plain"));
    if (schema == QLatin1String("plain"))
        return true;
    if (schema == QLatin1String("full"))
        std::fputs("dravena-cli verify: --schema full cannot be checked yet; only --schema plain, "
                   "the columns the tables window creates\n",
                   stderr);
    else
        std::fputs("dravena-cli verify: --schema takes plain\n", stderr);
    return false;
}

} // namespace

// Compares each named table of the folder with the server's table of that name, row by row and
// value by value, as send would have left it. Exit status 0 only when every table is identical.
int runVerify(const QStringList& arguments) {
    const auto options = parseOptions("verify", arguments,
                                      {QStringLiteral("--folder"), QStringLiteral("--sid"),
                                       QStringLiteral("--user"), QStringLiteral("--schema")});
    if (!options)
        return 2;
    if (!schemaAccepted(*options))
        return 2;
    if (options->values.value(QStringLiteral("--folder")).isEmpty() ||
        !options->values.contains(QStringLiteral("--sid")) ||
        !options->values.contains(QStringLiteral("--user")) || options->words.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    const CommandLineEntries entries(*options, readPassword());
    QStringList serverTables;
    try {
        serverTables =
            oracleTableNames(entries.oracleSid(), entries.oracleUser(), entries.oraclePassword());
    } catch (const RuntimeError& error) {
        printLine(stderr, QStringLiteral("dravena-cli verify: signing on to the server failed: ") +
                              error.description());
        return 1;
    }
    const std::shared_ptr<Clock> clock = localClock();
    const std::int64_t start = clock->steadyMilliseconds();
    TerminalBar bar(stderr, isatty(fileno(stderr)) != 0, clock);
    const TableChecker checker(entries);
    int identical = 0;
    int notCompared = 0;
    std::int64_t rows = 0;
    for (const QString& table : options->words) {
        const QString serverTable = serverTableNamed(table, serverTables);
        QStringList lines;
        if (serverTable.isEmpty()) {
            lines.append(table + QStringLiteral(": not compared: the server has no such table"));
            ++notCompared;
        } else {
            std::int64_t expected = -1;
            const TableCheck check =
                checker.check(table, serverTable, [&](std::int64_t done, std::int64_t total) {
                    if (total != expected)
                        bar.start(table, expected = total);
                    bar.show(done);
                });
            bar.clear();
            lines = checkReport(table, check);
            identical += check.identical() ? 1 : 0;
            notCompared += check.failure.isEmpty() ? 0 : 1;
            rows += check.rows.paradoxRows;
        }
        for (const QString& line : lines)
            printLine(stdout, line);
        std::fflush(stdout);
    }
    const auto tables = static_cast<int>(options->words.size());
    printLine(stdout,
              QStringLiteral("dravena-cli verify: %1 tables: %2 identical, %3 differ, %4 "
                             "not compared; %5 Paradox rows checked; %6s")
                  .arg(tables)
                  .arg(identical)
                  .arg(tables - identical - notCompared)
                  .arg(notCompared)
                  .arg(rows)
                  .arg(QString::number(
                      static_cast<double>(clock->steadyMilliseconds() - start) / 1000.0, 'f', 1)));
    return identical == tables ? 0 : 1;
}

} // namespace dravena::cli
