// dravena-cli send: the tables window's transfer without the window.

#include "CliTransfer.h"
#include "Options.h"
#include "PasswordInput.h"
#include "SendJobs.h"
#include "app/RuntimeError.h"
#include "app/SystemPorts.h"
#include "tables/TableListing.h"

#include <cstdio>
#include <optional>

#include <unistd.h>

namespace dravena::cli {

namespace {

constexpr int MostRowsPerArray = 10000;
constexpr int MostJobs = 16;

// The number an option gives, from 1 to `most`, or `fallback` without the option; nothing when
// it gives none (the caller refuses the command line).
std::optional<int> countOption(const ParsedOptions& options, const char* name, int fallback,
                               int most) {
    if (!options.has(name))
        return fallback;
    bool number = false;
    const int count = options.value(name).toInt(&number);
    if (number && count >= 1 && count <= most)
        return count;
    return std::nullopt;
}

} // namespace

// Sends the named Paradox tables of the folder to the server as the tables window does: each
// table is created anew and filled with its rows, in arrays of --batch rows (one INSERT statement
// per row with --batch 1), over --jobs connections. Exit status 0 only when every table arrived
// whole (or, with --overwrite no, was left as it was).
int runSend(const ParsedOptions& options) {
    CliTransfer::Settings settings;
    settings.folder = options.value("--folder");
    settings.sid = options.value("--sid");
    settings.user = options.value("--user");
    settings.tables = options.words;
    settings.verify = options.has("--verify");
    if (options.has("--overwrite"))
        settings.overwrite = options.value("--overwrite") == QLatin1String("yes");
    const auto rowsPerArray =
        countOption(options, "--batch", settings.rowsPerArray, MostRowsPerArray);
    if (!rowsPerArray)
        return options.refuse(
            QStringLiteral("--batch takes a number from 1 to %1").arg(MostRowsPerArray));
    settings.rowsPerArray = *rowsPerArray;
    const auto jobs = countOption(options, "--jobs", 1, MostJobs);
    if (!jobs)
        return options.refuse(QStringLiteral("--jobs takes a number from 1 to %1").arg(MostJobs));
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
    const SendOutcome outcome =
        sendInJobs(settings, *jobs, stderr, isatty(fileno(stderr)) != 0, localClock());
    printLine(stderr, outcome.summary);
    return outcome.allWhole ? 0 : 1;
}

} // namespace dravena::cli
