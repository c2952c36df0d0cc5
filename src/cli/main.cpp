#include "Command.h"

#include <QCoreApplication>

#include <array>
#include <cstdio>

namespace dravena::cli {
int runOracleTables(const QStringList& arguments);
int runParadoxTables(const QStringList& arguments);
int runSend(const QStringList& arguments);
int runSql(const QStringList& arguments);
int runVerify(const QStringList& arguments);
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
     "--folder DIR --sid SID --user USER [--overwrite yes|no] [--batch N] [--verify] TABLE...",
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
     "  --batch N      send N rows per round trip (1 to 10000; 1, the default, sends one INSERT\n"
     "                 per row as the window does); for a server across a network and large\n"
     "                 tables\n"
     "  --verify       check each table right after it arrived as verify does; a difference\n"
     "                 counts as a failure\n",
     dravena::cli::runSend},
    {"sql", "--folder DIR TABLE...", "print the SQL that sending the tables would run",
     "Prints, for each TABLE of the Paradox folder DIR, the CREATE TABLE statement and one\n"
     "INSERT statement per row exactly as sending the table runs them, each followed by \";\".\n"
     "A TABLE is named as the tables window lists it: the file name in capitals without .DB.\n"
     "Problems that cost values are told on standard error.\n\n"
     "Options:\n"
     "  --folder DIR   the folder that holds the Paradox tables\n",
     dravena::cli::runSql},
    {"verify", "--folder DIR --sid SID --user USER [--schema plain] TABLE...",
     "prove that the server holds every row and value of the tables",
     "Compares each TABLE of the Paradox folder DIR with the server's table of that name: every\n"
     "value mapped as send maps it, then the rows of both sides compared in any order, value by\n"
     "value, each in the terms of its column (numbers as numbers, exact decimals, texts, bytes).\n"
     "Per table it prints the rows on each side, the rows only in the Paradox table and only on\n"
     "the server (how many, and the first five with the fields that differ) and the columns whose\n"
     "type is not the one send creates; then a summary. Memory stays small whatever the size of\n"
     "the table (rows are put aside in temporary files). The password comes from\n"
     "DRAVENA_PASSWORD, else from one line of standard input. Exit status 0 only when every table\n"
     "is identical, 1 when any differs or cannot be read.\n\n"
     "Options:\n"
     "  --folder DIR   the folder that holds the Paradox tables\n"
     "  --sid SID      the Oracle net service name, as typed in the connection window\n"
     "  --user USER    the user to sign on as\n"
     "  --schema plain the columns send creates by default (the only mapping checked so far)\n",
     dravena::cli::runVerify},
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
