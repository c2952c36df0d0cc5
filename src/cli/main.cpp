#include "Command.h"
#include "RunFolder.h"
#include "SignOnDefaults.h"
#include "TableSelection.h"
#include "compare/DescriptorBudget.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace dravena::cli {
int runOracleTables(const ParsedOptions& options);
int runParadoxTables(const ParsedOptions& options);
int runSend(const ParsedOptions& options);
int runSql(const ParsedOptions& options);
int runVerify(const ParsedOptions& options);
} // namespace dravena::cli

namespace {

using dravena::cli::allOption;
using dravena::cli::Command;
using dravena::cli::excludeOption;
using dravena::cli::Option;
using dravena::cli::passwordFileOption;
using dravena::cli::quietOption;
using dravena::cli::reportOption;
using dravena::cli::sidOption;
using dravena::cli::tablesFromOption;
using dravena::cli::userOption;

const Option folderOption{"--folder", "DIR", true};

// The help of the options that sign on, shared by the commands that do.
#define SIGN_ON_HELP                                                                               \
    "  --sid SID      the Oracle net service name, as typed in the connection window (default:\n"  \
    "                 DRAVENA_SID)\n"                                                              \
    "  --user USER    the user to sign on as (default: DRAVENA_USER)\n"                            \
    "  --password-file FILE\n"                                                                     \
    "                 read the password from the first line of FILE, which only its owner may\n"   \
    "                 read\n"

// The help of the options that choose tables, shared by the commands that take them.
#define TABLES_HELP                                                                                \
    "  --all          every table paradox-tables lists\n"                                          \
    "  --tables-from FILE\n"                                                                       \
    "                 the names (or patterns) in FILE, one a line; - reads standard input\n"       \
    "  --exclude PATTERN\n"                                                                        \
    "                 leave out the tables PATTERN matches (may be given more than once)\n"

// How TABLE words are read, shared by the commands that take them.
#define TABLE_WORDS_HELP                                                                           \
    "A TABLE is named as paradox-tables lists it (\"sub/NAME\" for a sub-folder's), whatever "     \
    "its\n"                                                                                        \
    "letter case, or is a pattern with * and ? matched as that list is ('CUST*', 'sub/*').\n"      \
    "Every name and pattern is resolved before anything is done: a name that names no table or\n"  \
    "a pattern that matches none ends the command with status 2, and nothing is done.\n"

// The help of the run folder's options, shared by send and verify.
#define RUN_FOLDER_HELP                                                                            \
    "  --report DIR   write the run folder to DIR (default: a folder named by the UTC start\n"     \
    "                 time under $XDG_STATE_HOME/dravena/runs, ~/.local/state when unset)\n"       \
    "  --quiet        show only errors and the summary (the run folder keeps everything)\n"

// The password's sources, shared by the commands that sign on.
#define PASSWORD_HELP                                                                              \
    "The password comes from --password-file, else DRAVENA_PASSWORD, else it is typed on the\n"    \
    "terminal (standard input stays free for --tables-from -).\n"

const Option codePageOption{"--code-page", "[TABLE=]NAME", false, true};

#define CODE_PAGE_HELP                                                                             \
    "  --code-page [TABLE=]NAME\n"                                                                 \
    "                 read the text of the tables in the character set NAME (an iconv name or\n"   \
    "                 CPnnn) instead of the one each table names; TABLE=NAME for that table\n"     \
    "                 only (give it once per table); a byte without a character in it costs\n"     \
    "                 its value\n"

// The options of a command that takes tables of the folder to the server (send, verify): where
// the tables are, how to sign on, which tables, then `more`.
std::vector<Option> tablesToTheServer(std::initializer_list<Option> more) {
    std::vector<Option> options{folderOption, sidOption,        userOption,   passwordFileOption,
                                allOption,    tablesFromOption, excludeOption};
    options.insert(options.end(), more);
    return options;
}

// Every sub-command, in the order --help lists them.
const std::vector<Command> commands = {
    {"oracle-tables",
     {{sidOption, userOption, passwordFileOption}},
     "list the server's tables",
     "Lists the tables of the user's schema on the server, one name a line, sorted as the tables\n"
     "window lists them. " PASSWORD_HELP "\n"
     "Options:\n" SIGN_ON_HELP,
     dravena::cli::runOracleTables},
    {"paradox-tables",
     {{folderOption}},
     "list the Paradox tables of a folder and its sub-folders",
     "Lists the Paradox tables of DIR and its sub-folders, one name a line, as the tables window\n"
     "lists them. What the scan cannot read is told on standard error.\n\n"
     "Options:\n"
     "  --folder DIR   the folder to scan\n",
     dravena::cli::runParadoxTables},
    {"send",
     {tablesToTheServer({{"--overwrite", "yes|no"},
                         {"--accept-incomplete", nullptr},
                         {"--refuse-locked", nullptr},
                         {"--batch", "N"},
                         {"--jobs", "N"},
                         {"--verify", nullptr},
                         {"--schema", "plain|full"},
                         codePageOption,
                         {"--timeout", "SECONDS"},
                         reportOption,
                         quietOption,
                         {"--resume", "DIR"}}),
      "[TABLE...]"},
     "send the tables to the server",
     "Sends each TABLE of the Paradox folder DIR to the server as the tables window does, in the\n"
     "order given: loads it under a name of its own and, once every row arrived with every\n"
     "value, puts it in place of the server's table of that name; a copy that is not whole (a\n"
     "row refused, a value that could not be read, a stop) leaves the server's table as it was\n"
     "and says why. A table the server does not have takes its name whatever arrived. A table\n"
     "another program writes while it is read is read again, up to three times, then told as\n"
     "changing and not sent. A replace cut off between its DROP and its RENAME says where the\n"
     "rows are; the next send puts them in place first. A line per table and the summary go to "
     "standard output; the\n"
     "progress, warnings and errors to standard error, one line each, starting \"dravena-cli\n"
     "send: TABLE: \" (on a terminal at most ten refused rows per table, then how many more).\n"
     "Every run leaves a run folder (report.json, report.html, rejects/TABLE.csv with the\n"
     "refused rows) whose path is the last line of standard output. " PASSWORD_HELP TABLE_WORDS_HELP
     "Exit status 0 only when every table arrived whole; SIGINT or SIGTERM stop after the\n"
     "current row or array with status 130 or 143 (one that comes once the last table's rows are\n"
     "in lets the run end, and says so); a standard output or error that cannot be written stops\n"
     "it so with status 1.\n\n"
     "Options:\n"
     "  --folder DIR   the folder that holds the Paradox tables\n" SIGN_ON_HELP TABLES_HELP
     "  --overwrite yes|no\n"
     "                 a table the server already has: yes replaces it, no leaves it; without\n"
     "                 this option it is an error for that table\n"
     "  --accept-incomplete\n"
     "                 with --overwrite yes: a copy whose rows did not all arrive whole\n"
     "                 replaces the server's table all the same\n"
     "  --refuse-locked\n"
     "                 a table whose lock files say another program holds it, or may hold\n"
     "                 it, for writing is not read or sent (an error for that table); without\n"
     "                 this option it is sent with a warning naming the user and the lock\n"
     "  --batch N      send N rows per round trip (1 to 10000, default 1000), in arrays of\n"
     "                 parameters; 1 sends one INSERT statement per row\n"
     "  --jobs N       send N tables at once, each whole on a connection of its own (1 to 16,\n"
     "                 default 1); for many tables on a server across a network\n"
     "  --verify       check each table right after it arrived as verify does; a difference\n"
     "                 counts as a failure\n"
     "  --schema plain|full\n"
     "                 plain (the default): the window's columns; full: typed columns, then\n"
     "                 the primary key, indexes and checks of each table and, once every table\n"
     "                 is in, its foreign keys, each after a check of the data; what is not\n"
     "                 carried is told, and the exit status is then 1\n" CODE_PAGE_HELP
     "  --timeout SECONDS\n"
     "                 how long to wait for the server's answer to each statement (default\n"
     "                 300) and to sign-on (the same, at most 30) before the run ends as on a\n"
     "                 lost connection\n" RUN_FOLDER_HELP
     "  --resume DIR   send only the tables that did not arrive whole in the run folder DIR,\n"
     "                 whose files changed since (size, time, digest) or whose server table no\n"
     "                 longer holds the rows sent; the others are unchanged, not sent (without\n"
     "                 TABLE, --all or --tables-from: the tables of that run)\n",
     dravena::cli::runSend},
    {"sql",
     {{folderOption,
       allOption,
       tablesFromOption,
       excludeOption,
       {"--schema", "plain|full"},
       codePageOption},
      "[TABLE...]"},
     "print the SQL that sending the tables would run",
     "Prints, for each TABLE of the Paradox folder DIR, the CREATE TABLE statement and one\n"
     "INSERT statement per row exactly as sending the table runs them, each followed by \";\",\n"
     "and COMMIT after each table: a script SQL*Plus runs as it is (it starts with SET DEFINE OFF\n"
     "and SET SQLBLANKLINES ON). A row holding a value that a literal cannot carry (over 4,000\n"
     "bytes: a long text, bytes over 2,000) is left out and named on standard error with its\n"
     "table, row and field (send carries such values); the exit status is then "
     "1.\n" TABLE_WORDS_HELP "Problems that cost values are told on standard error.\n\n"
     "Options:\n"
     "  --folder DIR   the folder that holds the Paradox tables\n" TABLES_HELP
     "  --schema plain|full\n"
     "                 as for send; with full the script ends with each table's key, indexes,\n"
     "                 checks and comments and then the foreign keys\n" CODE_PAGE_HELP,
     dravena::cli::runSql},
    {"verify",
     {tablesToTheServer({{"--schema", "plain|full"},
                         codePageOption,
                         {"--timeout", "SECONDS"},
                         reportOption,
                         quietOption}),
      "[TABLE...]"},
     "prove that the server holds every row and value of the tables",
     "Compares each TABLE of the Paradox folder DIR with the server's table of that name: every\n"
     "value mapped as send maps it, then the rows of both sides compared in any order, value by\n"
     "value, each in the terms of its column (numbers as numbers, exact decimals, texts, bytes,\n"
     "dates and times).\n"
     "Per table it prints the rows on each side, the rows only in the Paradox table and only on\n"
     "the server (how many, and the first five with the fields that differ) and the columns whose\n"
     "type is not the one send creates; then a summary. Memory stays small whatever the size of\n"
     "the table (rows are put aside in temporary files). " PASSWORD_HELP TABLE_WORDS_HELP
     "Exit status 0 only when every table is identical, 1 when any differs or cannot be read.\n\n"
     "Options:\n"
     "  --folder DIR   the folder that holds the Paradox tables\n" SIGN_ON_HELP TABLES_HELP
     "  --schema plain|full\n"
     "                 the columns to check against, as send was given: plain (the default)\n"
     "                 are those the tables window creates, full the carried schema's typed\n"
     "                 columns (dates as dates, logical values as 0 and 1, ...)\n" CODE_PAGE_HELP
     "  --timeout SECONDS\n"
     "                 how long to wait for the server's answer to each statement (default\n"
     "                 300) and to sign-on (the same, at most 30); a table whose reading\n"
     "                 waits longer is not compared\n" RUN_FOLDER_HELP,
     dravena::cli::runVerify},
};

// Qt's ODBC driver warns on standard error about every statement that fails; the commands tell
// those failures themselves, once, with the table and the row.
void dropDriverWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QODBC")))
        return;
    std::fputs(qPrintable(qFormatLogMessage(type, context, text)), stderr);
    std::fputc('\n', stderr);
}

void printUsage(std::FILE* out) {
    std::fputs("Usage: dravena-cli COMMAND [OPTIONS]\n"
               "       dravena-cli COMMAND --help\n\nCommands:\n",
               out);
    for (const Command& command : commands)
        dravena::cli::printLine(out, QStringLiteral("  %1 %2\n      %3")
                                         .arg(QLatin1String(command.name),
                                              dravena::cli::usageOf(command.syntax),
                                              QLatin1String(command.summary)));
    std::fputs("\nOptions:\n  -h, --help     show this text\n"
               "  --version      show the program version\n",
               out);
}

void printCommandHelp(const Command& command) {
    dravena::cli::printLine(stdout, QStringLiteral("Usage: dravena-cli %1 %2\n\n%3"
                                                   "  -h, --help     show this text")
                                        .arg(QLatin1String(command.name),
                                             dravena::cli::usageOf(command.syntax),
                                             QLatin1String(command.help)));
}

// A fault of the command line before the command: told with the general usage, status 2.
int refuse(const QString& fault) {
    dravena::cli::printLine(stderr, QStringLiteral("dravena-cli: ") + fault);
    printUsage(stderr);
    return 2;
}

// The command line without a command: nothing, -h, --help or --version, each alone.
int runWithoutCommand(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        printUsage(stderr);
        return 2;
    }
    const QString& first = arguments.front();
    const bool help = first == QLatin1String("-h") || first == QLatin1String("--help");
    if (!help && first != QLatin1String("--version"))
        return refuse(QStringLiteral("unknown option '%1'").arg(first));
    if (arguments.size() > 1)
        return refuse(QStringLiteral("unexpected argument '%1'").arg(arguments[1]));
    if (help)
        printUsage(stdout);
    else
        std::printf("dravena-cli %s\n", DRAVENA_VERSION);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(dropDriverWarnings);
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.front().startsWith(u'-'))
        return runWithoutCommand(arguments);
    for (const Command& command : commands) {
        if (arguments.front() != QLatin1String(command.name))
            continue;
        const auto options =
            dravena::cli::parseArguments(command.name, command.syntax, arguments.mid(1));
        if (!options)
            return 2;
        if (options->help) {
            printCommandHelp(command);
            return 0;
        }
        // verify's files (and send --verify's) draw on the descriptors the process may hold: the
        // most it may have, counted before the jobs open their connections.
        dravena::DescriptorGrant::total();
        return command.run(*options);
    }
    return refuse(QStringLiteral("unknown command '%1'").arg(arguments.front()));
}
