// dravena-cli's help and its manual page in step; the version both programs show.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

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

TEST(HelpAndManual, HelpOnStandardOutputUsageErrorsOnStandardError) {
    const Finished noCommand = runProgram(cli, {});
    EXPECT_EQ(noCommand.status, 2);
    EXPECT_TRUE(noCommand.out.isEmpty());
    EXPECT_TRUE(noCommand.err.startsWith(QStringLiteral("Usage: dravena-cli")));
    const Finished unknown = runProgram(cli, {QStringLiteral("copy"), QStringLiteral("--help")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("unknown command 'copy'")));
    // --help anywhere after a command answers with that command's help and runs nothing.
    const Finished late = runProgram(cli, {QStringLiteral("sql"), QStringLiteral("--folder"),
                                           QStringLiteral("/nonexistent"),
                                           QStringLiteral("CUSTOMER"), QStringLiteral("--help")});
    EXPECT_EQ(late.status, 0) << qPrintable(late.err);
    EXPECT_TRUE(late.out.startsWith(QStringLiteral("Usage: dravena-cli sql ")));
    EXPECT_TRUE(late.err.isEmpty()) << qPrintable(late.err);
}

} // namespace
