// dravena-cli's help and its manual page in step; the version both programs show.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString cli = QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena-cli");
const QString manualPage = QStringLiteral(DRAVENA_BINARY_DIR "/resources/dravena-cli.1");

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

Finished
runProgram(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Finished finished;
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << qPrintable(program)
                      << " did not finish: " << qPrintable(process.errorString());
        return finished;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        finished.status = process.exitCode();
    finished.out = QString::fromUtf8(process.readAllStandardOutput());
    finished.err = QString::fromUtf8(process.readAllStandardError());
    return finished;
}

// The page as a reader sees it: plain text without hyphenation, white space folded, so that a
// usage line broken by filling still reads as one.
QString renderedPage() {
    const Finished groff =
        runProgram(QStringLiteral("groff"),
                   {QStringLiteral("-man"), QStringLiteral("-Tascii"), QStringLiteral("-rHY=0"),
                    QStringLiteral("-rLL=200n"), QStringLiteral("-P-cbou"), manualPage});
    EXPECT_EQ(groff.status, 0) << qPrintable(groff.err);
    return groff.out.simplified();
}

// The lines of the "Commands:" part of dravena-cli --help: "  NAME USAGE".
QStringList commandLines(const QString& help) {
    const qsizetype start = help.indexOf(QStringLiteral("\nCommands:\n"));
    const qsizetype end = help.indexOf(QStringLiteral("\n\n"), start + 1);
    QStringList lines;
    for (const QString& line : help.mid(start, end - start).split(u'\n'))
        if (line.startsWith(QStringLiteral("  ")) && !line.startsWith(QStringLiteral("   ")))
            lines.append(line.trimmed());
    return lines;
}

// Every option a help text names, with the value it shows: "--sid SID", "--overwrite yes|no".
QStringList optionsNamed(const QString& help) {
    static const QRegularExpression option(
        QStringLiteral("--[a-z][a-z-]*(?: [A-Z][A-Z_]*\\b| [a-z]+\\|[a-z]+)?"));
    QStringList options;
    for (const QRegularExpressionMatch& match : option.globalMatch(help))
        options.append(match.captured());
    return options;
}

TEST(HelpAndManual, EveryCommandAndOptionOfTheHelpIsInTheManualPage) {
    const Finished help = runProgram(cli, {QStringLiteral("--help")});
    ASSERT_EQ(help.status, 0) << qPrintable(help.err);
    const QString page = renderedPage();
    ASSERT_TRUE(page.contains(QStringLiteral("EXIT STATUS"))) << qPrintable(page);
    for (const char* variable : {"DRAVENA_PASSWORD", "NLS_LANG", "ODBCSYSINI"})
        EXPECT_TRUE(page.contains(QLatin1String(variable))) << variable;
    for (const QString& option : optionsNamed(help.out))
        EXPECT_TRUE(page.contains(option)) << "--help names " << qPrintable(option);

    const QStringList commands = commandLines(help.out);
    ASSERT_GE(commands.size(), 2) << qPrintable(help.out);
    for (const QString& command : commands) {
        const QString name = command.section(u' ', 0, 0);
        const Finished own = runProgram(cli, {name, QStringLiteral("--help")});
        EXPECT_EQ(own.status, 0) << qPrintable(name) << ": " << qPrintable(own.err);
        // Both helps and the page show the same usage.
        const QString usage = own.out.section(u'\n', 0, 0).simplified();
        EXPECT_EQ(usage, QStringLiteral("Usage: dravena-cli ") + command);
        EXPECT_TRUE(page.contains(QStringLiteral("dravena-cli ") + command))
            << "the page lacks the usage " << qPrintable(command);
        for (const QString& option : optionsNamed(own.out))
            EXPECT_TRUE(page.contains(option))
                << qPrintable(name) << " --help names " << qPrintable(option);
    }
}

TEST(HelpAndManual, PageRendersWithoutWarnings) {
    const Finished groff = runProgram(
        QStringLiteral("groff"), {QStringLiteral("-ww"), QStringLiteral("-z"),
                                  QStringLiteral("-man"), QStringLiteral("-Tutf8"), manualPage});
    EXPECT_EQ(groff.status, 0);
    EXPECT_EQ(groff.err, QString());
}

TEST(HelpAndManual, BothProgramsAndThePageShowTheProjectVersion) {
    // Without any display: the version is answered before a window system is needed.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(QLatin1String(name));
    for (const char* program : {"dravena", "dravena-cli"}) {
        const Finished run =
            runProgram(QStringLiteral(DRAVENA_BINARY_DIR "/bin/") + QLatin1String(program),
                       {QStringLiteral("--version")}, bare);
        EXPECT_EQ(run.status, 0) << program << ": " << qPrintable(run.err);
        EXPECT_EQ(run.out, QLatin1String(program) + QStringLiteral(" " DRAVENA_VERSION "\n"));
    }
    EXPECT_TRUE(renderedPage().contains(QStringLiteral("Software " DRAVENA_VERSION)));
}

// The environment of a run without any display: the window program must not need one to answer.
QProcessEnvironment withoutDisplay() {
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DRAVENA_PASSWORD",
                             "DRAVENA_SID", "DRAVENA_USER"})
        bare.remove(QLatin1String(name));
    return bare;
}

// Every command reads its command line the same way; a wrong one is named on standard error
// with one usage line, and nothing runs. Names and patterns are resolved before anything is done;
// the server and user may come from the environment, the password from a file of the owner's.
TEST(CommandLine, EveryCommandReadsItsArgumentsTheSameWay) {
    const QString samples = QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples");
    QTemporaryDir files;
    const QString names = files.filePath("names");
    const QString secret = files.filePath("secret");
    for (const QString& path : {names, secret}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("orders\n\n");
    }
    QFile::setPermissions(secret, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    struct Case {
        QStringList arguments;
        int status;
        const char* told; // what standard output starts with, or on failure standard error holds
        const char* program = "dravena-cli";
        QStringList environment = {}; // NAME=VALUE set for the run
    };
    const auto script = [](const char* table) {
        return QStringLiteral("SET DEFINE OFF\nSET SQLBLANKLINES ON\nCREATE TABLE \"%1\"")
            .arg(QLatin1String(table));
    };
    const QByteArray orders = script("ORDERS").toUtf8();
    const QStringList signOnDefaults{"DRAVENA_SID=s", "DRAVENA_USER=u"};
    const QByteArray readable = (secret + ": others may read the password file").toUtf8();
    // A command with what every server command needs, then `more`.
    const auto signedOn = [&](const char* command, const QStringList& more) {
        return QStringList{command, "--folder", samples, "--sid", "s", "--user", "u"} + more;
    };
    const Case cases[] = {
        {{}, 2, "Usage: dravena-cli COMMAND [OPTIONS]"},
        {{"-h"}, 0, "Usage: dravena-cli COMMAND [OPTIONS]"},
        {{"--help", "send"}, 2, "dravena-cli: unexpected argument 'send'"},
        {{"--version", "extra"}, 2, "dravena-cli: unexpected argument 'extra'"},
        {{"--bogus"}, 2, "dravena-cli: unknown option '--bogus'"},
        {{"copy", "--help"}, 2, "dravena-cli: unknown command 'copy'"},
        // Help anywhere before "--" answers and runs nothing, whatever else is wrong.
        {{"sql", "--folder", "/nonexistent", "CUSTOMER", "-h"},
         0,
         "Usage: dravena-cli sql --folder DIR [--all] [--tables-from FILE] [--exclude PATTERN] "
         "[--schema plain|full] [--code-page [TABLE=]NAME] [--name-bytes 30|128] [TABLE...]"},
        {{"send", "--bogus", "--help"}, 0, "Usage: dravena-cli send --folder"},
        // Values after "=" for every command; "--" ends the options.
        {{"sql", "--folder=" + samples, "ORDERS"}, 0, orders.constData()},
        {{"paradox-tables", "--folder=" + samples}, 0, "CUSTOMER\nORDERS\nPARTS\n"},
        {{"sql", "--folder", samples, "--", "-h"}, 2, "dravena-cli sql: -h: no such table"},
        // Names, patterns, --all, --tables-from and --exclude: all resolved first, the first
        // that names nothing is told, and nothing is printed.
        {{"sql", "--folder", samples, "ZIPCODE", "ORDERS"},
         2,
         "dravena-cli sql: ZIPCODE: no such table in the folder; nothing was done"},
        {{"sql", "--folder", samples, "ORDERS", "ZIP*"},
         2,
         "dravena-cli sql: ZIP*: the pattern matches no table in the folder"},
        {{"sql", "--folder", samples, "ord*"}, 0, orders.constData()},
        {{"sql", "--folder", samples, "--tables-from", names}, 0, orders.constData()},
        {{"sql", "--folder", samples, "--all", "--exclude", "C*", "--exclude=p?rts"},
         0,
         orders.constData()},
        {{"sql", "--folder", samples, "--all", "--exclude", "Q*"},
         2,
         "dravena-cli sql: Q*: --exclude matches no table in the folder"},
        {{"sql", "--folder", samples, "ORDERS", "--exclude", "*"}, 2, "sql: no table chosen"},
        {{"sql", "--folder", samples, "--tables-from", files.filePath("none")},
         2,
         "none: cannot read the table names"},
        // Whom to sign on as from the environment, checked before the tables.
        {{"verify", "--folder", samples, "ORDERS"}, 2, "verify: option --sid SID is missing"},
        {{"verify", "--folder", samples, "ORDERS"},
         2,
         "verify: option --user USER is missing",
         "dravena-cli",
         {"DRAVENA_SID=s"}},
        {{"verify", "--folder", samples, "ZIPCODE", "--password-file", secret},
         2,
         readable.constData(),
         "dravena-cli",
         signOnDefaults},
        {{"send", "--folder", samples, "CUST*", "ZIPCODE"},
         2,
         "dravena-cli send: ZIPCODE: no such table in the folder; nothing was done",
         "dravena-cli",
         signOnDefaults},
        {{"sql", "--", "--folder", samples}, 2, "dravena-cli sql: option --folder DIR is missing"},
        // The fault named: missing, repeated, without its value, a value not taken, words.
        {{"sql", "ORDERS"}, 2, "dravena-cli sql: option --folder DIR is missing"},
        {{"oracle-tables", "--user", "u"},
         2,
         "dravena-cli oracle-tables: option --sid SID is missing"},
        {{"sql", "--folder", samples, "--folder=/tmp", "ORDERS"},
         2,
         "dravena-cli sql: option --folder is given more than once"},
        {{"oracle-tables", "--user", "u", "--sid"},
         2,
         "dravena-cli oracle-tables: option --sid needs a value (--sid SID)"},
        {{"oracle-tables", "--sid", "--user", "u"},
         2,
         "dravena-cli oracle-tables: option --sid needs a value (--sid SID)"},
        {signedOn("send", {"--overwrite=maybe", "T"}), 2,
         "dravena-cli send: option --overwrite takes yes or no, not 'maybe'"},
        {signedOn("send", {"--batch", "0", "T"}), 2,
         "send: --batch takes a number from 1 to 10000"},
        {signedOn("send", {"--jobs", "0", "T"}), 2, "send: --jobs takes a number from 1 to 16"},
        {signedOn("send", {"--jobs", "17", "T"}), 2, "send: --jobs takes a number from 1 to 16"},
        {signedOn("verify", {"--schema", "wide", "T"}), 2,
         "verify: option --schema takes plain or full, not 'wide'"},
        {signedOn("verify", {"--timeout", "0", "T"}), 2,
         "verify: --timeout takes a number of seconds from 1 to 86400"},
        {signedOn("verify", {}), 2, "dravena-cli verify: no TABLE given"},
        // Code pages: one for the run, one per table, names iconv knows.
        {{"sql", "--folder", samples, "--code-page", "CP1251", "--code-page", "ORDERS=koi8-r",
          "ORDERS"},
         0,
         orders.constData()},
        {signedOn("send", {"--code-page", "CP99999", "T"}), 2,
         "send: --code-page: no character set 'CP99999' is known"},
        {signedOn("verify", {"--code-page", "T=CP1251", "--code-page", "T=CP866", "T"}), 2,
         "verify: --code-page takes NAME once and TABLE=NAME once per table, not 'T=CP866'"},
        {{"sql", "--folder", samples, "--code-page", "CP1251", "--code-page=CP866", "ORDERS"},
         2,
         "sql: --code-page takes NAME once and TABLE=NAME once per table, not 'CP866'"},
        {{"sql", "--folder", samples, "--name-bytes", "64", "ORDERS"},
         2,
         "sql: option --name-bytes takes 30 or 128, not '64'"},
        // Options of send only.
        {signedOn("verify", {"--batch", "5", "T"}), 2, "verify: unknown option '--batch'"},
        {signedOn("verify", {"--verify", "T"}), 2, "verify: unknown option '--verify'"},
        {{"sql", "--folder", samples}, 2, "dravena-cli sql: no TABLE given"},
        {{"paradox-tables", "--folder", samples, "ORDERS"},
         2,
         "dravena-cli paradox-tables: unexpected argument 'ORDERS'"},
        {{"sql", "--table", "ORDERS"}, 2, "dravena-cli sql: unknown option '--table'"},
        {{"oracle-tables", "--sid", "s", "--user", "u", "--password=p"},
         2,
         "never taken from the command line"},
        // The window program answers these without a display.
        {{"--help"}, 0, "Usage: dravena [-h | --help | --version]", "dravena"},
        {{"-h"}, 0, "Usage: dravena [-h | --help | --version]", "dravena"},
        {{"--version", "extra"}, 2, "dravena: unexpected argument 'extra'", "dravena"},
    };
    for (const Case& c : cases) {
        QProcessEnvironment environment = withoutDisplay();
        for (const QString& setting : c.environment)
            environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        const Finished run =
            runProgram(QStringLiteral(DRAVENA_BINARY_DIR "/bin/") + QLatin1String(c.program),
                       c.arguments, environment);
        const QString line = QLatin1String(c.program) + u' ' + c.arguments.join(u' ');
        EXPECT_EQ(run.status, c.status) << qPrintable(line) << "\n" << qPrintable(run.err);
        // What ran answers on standard output; what did not, on standard error only.
        if (c.status == 0) {
            EXPECT_TRUE(run.out.startsWith(QLatin1String(c.told))) << qPrintable(line) << "\n"
                                                                   << qPrintable(run.out);
        } else {
            EXPECT_TRUE(run.out.isEmpty()) << qPrintable(line) << "\n" << qPrintable(run.out);
            EXPECT_TRUE(run.err.contains(QLatin1String(c.told))) << qPrintable(line) << "\n"
                                                                 << qPrintable(run.err);
        }
        // A refused command line shows one usage, in one spelling; an answered one none.
        EXPECT_FALSE(run.err.contains(QLatin1String("usage:"))) << qPrintable(line);
        EXPECT_EQ(run.err.count(QLatin1String("Usage: ")), c.status == 2 ? 1 : 0)
            << qPrintable(line) << "\n"
            << qPrintable(run.err);
    }
}

} // namespace
