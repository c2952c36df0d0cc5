#pragma once

#include "Options.h"
#include "RunReport.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace dravena::cli {

// The options of the commands that leave a run folder.
extern const Option reportOption; // [--report DIR]
extern const Option quietOption;  // [--quiet]

// The record of a run of the command: its settings are the options given (never a password),
// whom it signs on as and the tables chosen.
std::unique_ptr<RunReport> startRunReport(const ParsedOptions& options, const QString& sid,
                                          const QString& user, const QStringList& tables);

// Ends the run's record with its summary and status and writes the run folder (--report DIR,
// else RunReport::defaultFolder); its path is the last line on `pathOut` (standard output unless
// that carries a document of its own). Returns the exit status: `status`, or 1 when the folder
// could not be written (told on standard error).
int finishRunFolder(const ParsedOptions& options, RunReport& report, const QString& summary,
                    int status, std::int64_t milliseconds, std::FILE* pathOut = stdout);

} // namespace dravena::cli
