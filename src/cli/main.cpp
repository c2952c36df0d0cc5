#include "Command.h"

#include <QCoreApplication>

#include <array>
#include <cstdio>

namespace dravena::cli {
int runOracleTables(const QStringList& arguments);
int runParadoxTables(const QStringList& arguments);
int runSend(const QStringList& arguments);
int runSql(const QStringList& arguments);
} // namespace dravena::cli

namespace {

using dravena::cli::Command;

// Every sub-command, in the order --help lists them.
const auto commands = std::to_array<Command>({
    {"oracle-tables", "--sid SID --user USER", "list the server's tables",
     "Lists the tables of the user's schema on the server, one name a line, sorted as the tables\n"
     "window lists them. The password comes from DRAVENA_PASSWORD, else from one line of\n"
     "standard input.\n\n"
     "Options:\n"
     "  --sid SID      the Oracle net service name, as typed in the connection window\n"
     "  --user USER    the user to sign on as\n",
     dravena::cli::runOracleTables},
    {"paradox-tables", "--folder DIR", "list the Paradox tables of a folder and its sub-folders",
     "Lists the Paradox tables of DIR and its sub-folders, one name a line, as the tables window\n"
     "lists them. What the scan cannot read is told on standard error.\n\n"
     "Options:\n"
     "  --folder DIR   the folder to scan\n",
     dravena::cli::runParadoxTables},
    {"send",
     "--folder DIR --sid SID --user USER [--overwrite yes|no] [--batch N] [--jobs N] TABLE...",
     "send the tables to the server",
     "Sends each TABLE of the Paradox folder DIR to the server as the tables window does, in the\n"
     "order given: creates the table and inserts every row. Progress per table, every failed\n"
     "statement and a summary go to standard error. The password comes from DRAVENA_PASSWORD,\n"
     "else from one line of standard input. Exit status 0 only when every table arrived whole.\n\n"
     "Options:\n"
     "  --folder DIR   the folder that holds the Paradox tables\n"
     "  --sid SID      the Oracle net service name, as typed in the connection window\n"
     "  --user USER    the user to sign on as\n"
     "  --overwrite yes|no\n"
     "                 a table the server already has: yes replaces it, no leaves it; without\n"
     "                 this option it is an error for that table\n"
     "  --batch N      send N rows per round trip (1 to 10000, default 1000), in arrays of\n"
     "                 parameters; 1 sends one INSERT statement per row\n"
     "  --jobs N       send N tables at once, each whole on a connection of its own (1 to 16,\n"
     "                 default 1); for many tables on a server across a network\n",
     dravena::cli::runSend},
    {"sql", "--folder DIR TABLE...", "print the SQL that sending the tables would run",
     "Prints, for each TABLE of the Paradox folder DIR, the CREATE TABLE statement and one\n"
     "INSERT statement per row exactly as sending the table runs them, each followed by \";\".\n"
     "A TABLE is named as the tables window lists it: the file name in capitals without .DB.\n"
     "Problems that cost values are told on standard error.\n\n"
     "Options:\n"
     "  --folder DIR   the folder that holds the Paradox tables\n",
     dravena::cli::runSql},
});

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
        std::fprintf(out, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
    std::fputs("\nOptions:\n  --help         show this text\n"
               "  --version      show the program version\n",
               out);
}

void printCommandHelp(const Command& command) {
    std::printf("Usage: dravena-cli %s %s\n\n%s  --help         show this text\n", command.name,
                command.usage, command.help);
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(dropDriverWarnings);
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.front() == QLatin1String("--help")) {
        printUsage(arguments.isEmpty() ? stderr : stdout);
        return arguments.isEmpty() ? 2 : 0;
    }
    if (arguments.front() == QLatin1String("--version")) {
        std::printf("dravena-cli %s\n", DRAVENA_VERSION);
        return 0;
    }
    for (const Command& command : commands) {
        if (arguments.front() != QLatin1String(command.name))
            continue;
        if (arguments.contains(QLatin1String("--help"))) {
            printCommandHelp(command);
            return 0;
        }
        return command.run(arguments.mid(1));
    }
    std::fprintf(stderr, "dravena-cli: unknown command '%s'\n", qPrintable(arguments.front()));
    printUsage(stderr);
    return 2;
}
