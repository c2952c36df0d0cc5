// dravena-cli send: the tables window's transfer without the window.

#include "CliTransfer.h"
#include "Options.h"
#include "PasswordInput.h"
#include "app/RuntimeError.h"
#include "app/SystemPorts.h"
#include "tables/TableListing.h"
#include "transfer/TransferRun.h"

#include <cstdio>

#include <unistd.h>

namespace dravena::cli {

namespace {

constexpr const char* usage =
    "usage: dravena-cli send --folder DIR --sid SID --user USER [--overwrite yes|no]\n"
    "                        [--batch N] [--verify] TABLE...\n"
    "  (password from DRAVENA_PASSWORD or standard input)\n"
    "  --batch N  send N rows per round trip (1 to 10000; 1, the default, sends one INSERT per\n"
    "             row as the window does); for a server across a network and large tables\n"
    "  --verify   check each table right after it arrived, as dravena-cli verify does\n";

constexpr int MostRowsPerArray = 10000;

} // namespace

// Sends the named Paradox tables of the folder to the server as the tables window does: each
// table is created anew and filled with one INSERT statement per row. Exit status 0 only when
// every table arrived whole (or, with --overwrite no, was left as it was).
int runSend(const QStringList& arguments) {
    const auto options =
        parseOptions("send", arguments,
                     {QStringLiteral("--folder"), QStringLiteral("--sid"), QStringLiteral("--user"),
                      QStringLiteral("--overwrite"), QStringLiteral("--batch")},
                     {QStringLiteral("--verify")});
    if (!options)
        return 2;
    const auto& values = options->values;
    CliTransfer::Settings settings;
    settings.folder = values.value(QStringLiteral("--folder"));
    settings.sid = values.value(QStringLiteral("--sid"));
    settings.user = values.value(QStringLiteral("--user"));
    settings.tables = options->words;
    settings.verify = values.contains(QStringLiteral("--verify"));
    if (values.contains(QStringLiteral("--overwrite"))) {
        const QString answer = values[QStringLiteral("--overwrite")];
        if (answer != QLatin1String("yes") && answer != QLatin1String("no")) {
            std::fputs("dravena-cli send: --overwrite takes yes or no\n", stderr);
            return 2;
        }
        settings.overwrite = answer == QLatin1String("yes");
    }
    if (values.contains(QStringLiteral("--batch"))) {
        bool number = false;
        settings.rowsPerArray = values[QStringLiteral("--batch")].toInt(&number);
        if (!number || settings.rowsPerArray < 1 || settings.rowsPerArray > MostRowsPerArray) {
            std::fprintf(stderr, "dravena-cli send: --batch takes a number from 1 to %d\n",
                         MostRowsPerArray);
            return 2;
        }
    }
    if (settings.folder.isEmpty() || !values.contains(QStringLiteral("--sid")) ||
        !values.contains(QStringLiteral("--user")) || settings.tables.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    settings.password = readPassword();
    try {
        // Which tables exist decides the overwrite question, as the window's list does.
        settings.serverTables = oracleTableNames(settings.sid, settings.user, settings.password);
    } catch (const RuntimeError& error) {
        printLine(stderr, QStringLiteral("dravena-cli send: signing on to the server failed: ") +
                              error.description());
        return 1;
    }
    CliTransfer transfer(std::move(settings), stderr, isatty(fileno(stderr)) != 0, localClock());
    SendTablesToOracle(transfer);
    printLine(stderr, transfer.summary());
    return transfer.allWhole() ? 0 : 1;
}

} // namespace dravena::cli
