// Runs the server checks of a send in a process of its own, whose driver manager reads the
// odbcinst.ini its environment names: dravena-readiness-probe SID USER TABLE... with the password
// in DRAVENA_PASSWORD; prints the findings as JSON.

#include "cli/ServerReadiness.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 2)
        return 2;
    const dravena::cli::SignOn signOn{arguments.takeFirst(), arguments.takeFirst(),
                                      qEnvironmentVariable("DRAVENA_PASSWORD")};
    const auto readiness = dravena::cli::checkServerReadiness(signOn, arguments);
    std::fputs(QJsonDocument(readiness.json).toJson().constData(), stdout);
    return readiness.refused ? 1 : 0;
}
