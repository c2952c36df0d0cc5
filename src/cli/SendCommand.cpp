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

constexpr int MostRowsPerArray = 10000;

} // namespace

// Sends the named Paradox tables of the folder to the server as the tables window does: each
// table is created anew and filled with one INSERT statement per row. Exit status 0 only when
// every table arrived whole (or, with --overwrite no, was left as it was).
int runSend(const ParsedOptions& options) {
    CliTransfer::Settings settings;
    settings.folder = options.value("--folder");
    settings.sid = options.value("--sid");
    settings.user = options.value("--user");
    settings.tables = options.words;
    settings.verify = options.has("--verify");
    if (options.has("--overwrite"))
        settings.overwrite = options.value("--overwrite") == QLatin1String("yes");
    if (options.has("--batch")) {
        bool number = false;
        settings.rowsPerArray = options.value("--batch").toInt(&number);
        if (!number || settings.rowsPerArray < 1 || settings.rowsPerArray > MostRowsPerArray)
            return options.refuse(
                QStringLiteral("--batch takes a number from 1 to %1").arg(MostRowsPerArray));
    }
    settings.fullSchema = options.value("--schema") == QLatin1String("full");
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
