#include "RunFolder.h"

#include <QDir>
#include <QJsonArray>

#include <cstdio>

namespace dravena::cli {

const Option reportOption{"--report", "DIR"};
const Option quietOption{"--quiet", nullptr};

std::unique_ptr<RunReport> startRunReport(const ParsedOptions& options, const QString& sid,
                                          const QString& user, const QStringList& tables) {
    QJsonObject settings;
    for (auto it = options.values.begin(); it != options.values.end(); ++it) {
        const QStringList repeated = options.repeatedValues.value(it.key());
        if (!repeated.isEmpty())
            settings.insert(it.key(), QJsonArray::fromStringList(repeated));
        else
            settings.insert(it.key(), it.value().isNull() && it.value().isEmpty()
                                          ? QJsonValue(true)
                                          : QJsonValue(it.value()));
    }
    settings.insert("--folder", QDir(options.value("--folder")).absolutePath());
    if (!sid.isEmpty())
        settings.insert("--sid", sid);
    if (!user.isEmpty())
        settings.insert("--user", user);
    settings.insert("words", QJsonArray::fromStringList(options.words));
    settings.insert("tables", QJsonArray::fromStringList(tables));
    return std::make_unique<RunReport>(options.command, settings);
}

int finishRunFolder(const ParsedOptions& options, RunReport& report, const QString& summary,
                    int status, std::int64_t milliseconds, std::FILE* pathOut) {
    report.finish(summary, status, milliseconds);
    const QString folder = options.has("--report") ? QDir(options.value("--report")).absolutePath()
                                                   : RunReport::defaultFolder(report.started());
    const QString failure = report.write(folder, options.value("--folder"));
    if (!failure.isEmpty()) {
        printLine(stderr, QStringLiteral("dravena-cli %1: the run folder was not written: %2")
                              .arg(options.command, failure));
        return status == 0 ? 1 : status;
    }
    printLine(pathOut, folder);
    std::fflush(pathOut);
    return status;
}

} // namespace dravena::cli
