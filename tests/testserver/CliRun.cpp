#include "CliRun.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dravena::testing {

CliRun runCli(const QStringList& arguments, const QProcessEnvironment& environment,
              const QByteArray& input) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena-cli"), arguments);
    if (!process.waitForStarted(30000)) {
        ADD_FAILURE() << "dravena-cli did not start: " << process.errorString().toStdString();
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "dravena-cli did not finish";
        return {};
    }
    CliRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.lines = run.output.split(u'\n', Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QProcessEnvironment cliEnvironment(const QString* password) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DRAVENA_PASSWORD", "DRAVENA_SID", "DRAVENA_USER"})
        environment.remove(QLatin1String(name));
    static const QTemporaryDir state;
    environment.insert(QStringLiteral("XDG_STATE_HOME"), state.path());
    if (password)
        environment.insert(QStringLiteral("DRAVENA_PASSWORD"), *password);
    return environment;
}

} // namespace dravena::testing
