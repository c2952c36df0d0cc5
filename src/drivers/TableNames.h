#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace dravena {

// The tables the Oracle user owns, in the order the server sends them. Failures are RuntimeErrors
// carrying the driver's message.
QStringList oracleTableNames(const QString& sid, const QString& user, const QString& password);

// Whether the table lists show the first name before the second: letter case ignored, names
// that differ only in letter case in byte order.
bool listedBefore(const QString& first, const QString& second);

// Sorts names in the order of the table lists.
void sortAsListed(QStringList& names);

// Calls found with the Paradox list's entry of every table file in the folder and its sub-folders
// as it finds them (the file name in capitals without ".DB", names starting with "~" left out)
// and the sub-folder it lies in, below the folder ("" for the folder itself, "sub/deeper").
// Failures of the scan of sub-folders are reported; a folder that cannot be listed ends the
// search with 76, 70 or 75.
void findParadoxTables(
    const QString& folder,
    const std::function<void(const QString& entry, const QString& subFolder)>& found);

} // namespace dravena
