// dravena-cli send: the tables window's transfer without the window.

#include "CliTransfer.h"
#include "LetterCaseTwins.h"
#include "Options.h"
#include "ResumeState.h"
#include "RunFolder.h"
#include "RunProgress.h"
#include "SendJobs.h"
#include "SignOnDefaults.h"
#include "TableSelection.h"
#include "base/Ports.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"
#include "ui/SystemPorts.h"

#include <csignal>
#include <cstdio>
#include <optional>

#include <unistd.h>

namespace dravena::cli {

namespace {

constexpr int MostRowsPerArray = 10000;
constexpr int MostJobs = 16;
// Refused rows told per table on a terminal; the report keeps every one.
constexpr int RefusalsShownOnATerminal = 10;

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
    const auto signOn = signOnOfCommandLine(options);
    if (!signOn)
        return 2;
    CliTransfer::Settings settings;
    settings.folder = options.value("--folder");
    settings.sid = signOn->sid;
    settings.user = signOn->user;
    settings.verify = options.has("--verify");
    settings.acceptIncomplete = options.has("--accept-incomplete");
    settings.refuseLocked = options.has("--refuse-locked");
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
    if (!applyTimeoutOption(options) || !applyCodePageOption(options))
        return 2;
    // Every name and pattern is resolved before anything is sent; --resume alone takes the
    // tables of the run it resumes.
    const bool resume = options.has("--resume");
    int refused = 0;
    const auto tables = resume && !choosesTables(options)
                            ? std::optional<QStringList>(QStringList())
                            : tablesOfCommandLine(options, refused);
    if (!tables)
        return refused;
    settings.tables = *tables;
    tellLetterCaseTwins("send", settings.folder, settings.tables);
    const auto password = passwordOfCommandLine(options, tablesFromStandardInput(options));
    if (!password)
        return 1;
    settings.password = *password;
    try {
        // Which tables exist decides the overwrite question, as the window's list does.
        settings.serverTables = oracleTableNames(settings.sid, settings.user, settings.password);
    } catch (const RuntimeError& error) {
        printLine(stderr, QStringLiteral("dravena-cli send: signing on to the server failed: ") +
                              error.description());
        return 1;
    }
    const auto clock = localClock();
    const std::int64_t start = clock->steadyMilliseconds();
    const auto report = startRunReport(options, settings.sid, settings.user, settings.tables);
    std::vector<TableReport> unchanged;
    if (resume) {
        QString error;
        const auto plan = planResume(
            options.value("--resume"), settings.folder, settings.tables,
            [&](const QString& table) {
                return countServerRows(settings.sid, settings.user, settings.password, table);
            },
            error);
        if (!plan) {
            return options.refuse(QStringLiteral("--resume: ") + error);
        }
        settings.tables = plan->send;
        unchanged = plan->unchanged;
    }
    settings.report = report.get();
    settings.results = stdout;
    settings.quiet = options.has("--quiet");
    const bool terminal = isatty(fileno(stderr)) != 0;
    if (terminal) {
        settings.refusalsShown = RefusalsShownOnATerminal;
        // One bar over the whole run (several jobs show none).
        if (*jobs == 1)
            settings.runRows = rowsOfTables(settings.folder, settings.tables);
    }
    for (const TableReport& table : unchanged) {
        if (!settings.quiet)
            printLine(stdout, table.table + QStringLiteral(": unchanged, not sent"));
        report->addTable(table);
    }
    CliTransfer::stopOnSignals();
    SendOutcome outcome{QStringLiteral("dravena-cli send: nothing to send"), true};
    if (!settings.tables.isEmpty())
        outcome = sendInJobs(settings, *jobs, stderr, terminal, clock);
    if (!unchanged.empty())
        outcome.summary +=
            QStringLiteral("; %1 unchanged, not sent")
                .arg(counted(static_cast<qint64>(unchanged.size()), "table", "tables"));
    printLine(stdout, outcome.summary);
    int status = outcome.allWhole ? 0 : 1;
    const int signal = CliTransfer::stopSignal();
    if (signal != 0 && outcome.stopped) {
        status = 128 + signal; // 130 for SIGINT, 143 for SIGTERM
    } else if (signal != 0) {
        // It came once the last table's rows were in: the run ended as the lines above say.
        printLine(stderr, QStringLiteral("dravena-cli send: %1 came after the last table's rows "
                                         "were in; every table ended as told above")
                              .arg(signal == SIGINT ? QStringLiteral("SIGINT")
                                                    : QStringLiteral("SIGTERM")));
    }
    if (outputClosed() && status == 0)
        status = 1;
    return finishRunFolder(options, *report, outcome.summary, status,
                           clock->steadyMilliseconds() - start);
}

} // namespace dravena::cli
