// dravena-cli send: the tables window's transfer without the window.

#include "CliTransfer.h"
#include "LetterCaseTwins.h"
#include "Options.h"
#include "PasswordInput.h"
#include "SendJobs.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"
#include "fsutil/TableFiles.h"
#include "ui/SystemPorts.h"

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
// table is loaded anew, in arrays of --batch rows (one INSERT statement per row with --batch 1),
// over --jobs connections, and takes its name when every row arrived with every value (or the copy
// is accepted incomplete with --accept-incomplete; a new table takes it whatever arrived). Exit
// status 0 only when every table arrived whole (or, with --overwrite no, was left as it was); 128 +
// the signal when SIGINT or SIGTERM stopped the run.
int runSend(const ParsedOptions& options) {
    CliTransfer::Settings settings;
    settings.folder = options.value("--folder");
    settings.sid = options.value("--sid");
    settings.user = options.value("--user");
    // A table is named as the tables window lists it, whatever the letter case typed.
    for (const QString& word : options.words)
        settings.tables.append(listedTablePath(word));
    settings.verify = options.has("--verify");
    settings.acceptIncomplete = options.has("--accept-incomplete");
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
    if (!applyTimeoutOption(options))
        return 2;
    tellLetterCaseTwins("send", settings.folder, settings.tables);
    settings.password = readPassword();
    try {
        // Which tables exist decides the overwrite question, as the window's list does.
        settings.serverTables = oracleTableNames(settings.sid, settings.user, settings.password);
    } catch (const RuntimeError& error) {
        printLine(stderr, QStringLiteral("dravena-cli send: signing on to the server failed: ") +
                              error.description());
        return 1;
    }
    CliTransfer::stopOnSignals();
    const SendOutcome outcome =
        sendInJobs(settings, *jobs, stderr, isatty(fileno(stderr)) != 0, localClock());
    printLine(stderr, outcome.summary);
    if (const int signal = CliTransfer::stopSignal())
        return 128 + signal; // 130 for SIGINT, 143 for SIGTERM
    return outcome.allWhole ? 0 : 1;
}

} // namespace dravena::cli
