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

constexpr const char* usage =
    "usage: dravena-cli send --folder DIR --sid SID --user USER [--overwrite yes|no]\n"
    "                        [--batch N] [--jobs N] TABLE...\n"
    "  (password from DRAVENA_PASSWORD or standard input)\n"
    "  --batch N  send N rows per round trip (1 to 10000, default 1000); 1 sends one INSERT\n"
    "             per row\n"
    "  --jobs N   send N tables at once, each on a connection of its own (1 to 16, default 1)\n";

constexpr int MostRowsPerArray = 10000;
constexpr int MostJobs = 16;

// The number an option gives, from 1 to `most`; nothing (and the reason on standard error) when
// it gives none.
std::optional<int> countOption(const ParsedOptions& options, const QString& name, int fallback,
                               int most) {
    if (!options.values.contains(name))
        return fallback;
    bool number = false;
    const int count = options.values[name].toInt(&number);
    if (number && count >= 1 && count <= most)
        return count;
    std::fprintf(stderr, "dravena-cli send: %s takes a number from 1 to %d\n", qPrintable(name),
                 most);
    return std::nullopt;
}

} // namespace

// Sends the named Paradox tables of the folder to the server as the tables window does: each
// table is created anew and filled with one INSERT statement per row. Exit status 0 only when
// every table arrived whole (or, with --overwrite no, was left as it was).
int runSend(const QStringList& arguments) {
    const auto options = parseOptions("send", arguments,
                                      {QStringLiteral("--folder"), QStringLiteral("--sid"),
                                       QStringLiteral("--user"), QStringLiteral("--overwrite"),
                                       QStringLiteral("--batch"), QStringLiteral("--jobs")});
    if (!options)
        return 2;
    const auto& values = options->values;
    CliTransfer::Settings settings;
    settings.folder = values.value(QStringLiteral("--folder"));
    settings.sid = values.value(QStringLiteral("--sid"));
    settings.user = values.value(QStringLiteral("--user"));
    settings.tables = options->words;
    if (values.contains(QStringLiteral("--overwrite"))) {
        const QString answer = values[QStringLiteral("--overwrite")];
        if (answer != QLatin1String("yes") && answer != QLatin1String("no")) {
            std::fputs("dravena-cli send: --overwrite takes yes or no\n", stderr);
            return 2;
        }
        settings.overwrite = answer == QLatin1String("yes");
    }
    const auto rowsPerArray =
        countOption(*options, QStringLiteral("--batch"), settings.rowsPerArray, MostRowsPerArray);
    const auto jobs = countOption(*options, QStringLiteral("--jobs"), 1, MostJobs);
    if (!rowsPerArray || !jobs)
        return 2;
    settings.rowsPerArray = *rowsPerArray;
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
    const SendOutcome outcome =
        sendInJobs(settings, *jobs, stderr, isatty(fileno(stderr)) != 0, localClock());
    printLine(stderr, outcome.summary);
    return outcome.allWhole ? 0 : 1;
}

} // namespace dravena::cli
