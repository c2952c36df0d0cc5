#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

namespace dravena::testing {

// What a run of the built dravena-cli left.
struct CliRun {
    int exitCode = -1;
    QStringList lines; // standard output, without empty lines
    QString output;    // standard output as written
    QString errors;    // standard error
};

// Runs the built dravena-cli with `arguments`, `input` on its standard input; fails the test
// when it does not finish within two minutes.
CliRun runCli(const QStringList& arguments, const QProcessEnvironment& environment,
              const QByteArray& input = {});

// The environment of the tests without DRAVENA_PASSWORD, DRAVENA_SID and DRAVENA_USER, or with
// the password set to `password`; the run folders go below a temporary folder of the process.
QProcessEnvironment cliEnvironment(const QString* password = nullptr);

} // namespace dravena::testing
