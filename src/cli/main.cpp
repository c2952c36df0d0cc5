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
    {"oracle-tables", "oracle-tables --sid SID --user USER   list the server's tables",
     dravena::cli::runOracleTables},
    {"paradox-tables",
     "paradox-tables --folder DIR           list the Paradox tables of a folder and its "
     "sub-folders",
     dravena::cli::runParadoxTables},
    {"send",
     "send --folder DIR --sid SID --user USER [--overwrite yes|no] [--batch N] TABLE...\n"
     "                                        send the tables to the server",
     dravena::cli::runSend},
    {"sql", "sql --folder DIR TABLE...             print the SQL that sending them would run",
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
    std::fputs("Usage: dravena-cli COMMAND [OPTIONS]\n\nCommands:\n", out);
    for (const Command& command : commands)
        std::fprintf(out, "  %s\n", command.synopsis);
    std::fputs("  --help       show this text\n  --version    show the program version\n", out);
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
    for (const Command& command : commands)
        if (arguments.front() == QLatin1String(command.name))
            return command.run(arguments.mid(1));
    std::fprintf(stderr, "dravena-cli: unknown command '%s'\n", qPrintable(arguments.front()));
    printUsage(stderr);
    return 2;
}
