#pragma once

#include <QString>
#include <QStringList>

namespace dravena::cli {

// Tells once for each table whose name stands for more than one table file of the folder (names
// that differ only in letter case) which files they are and which one is read.
void tellLetterCaseTwins(const char* command, const QString& folder, const QStringList& tables);

} // namespace dravena::cli
