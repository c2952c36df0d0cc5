#pragma once

#include <QString>
#include <QStringList>

namespace dravena {

// Deleting and renaming a Paradox table with every file of its family (see tableFamilyFiles).

// Lets pending window events run, then deletes the file, read-only or not. Raises the reason
// when the file stays: 53 (missing), 76, 70 (no permission) or 75.
void deleteTableFile(const QString& path);

// Deletes each of the files, going on past a file that stays; then raises one failure that
// names every file that stayed (the number is the first failure's).
void deleteTableFiles(const QStringList& paths);

// Gives the table of the entry in the folder the new name: every file of its family is copied to
// the new base name, keeping its extension as it is on disk ("orders.db" and "ORDERS.MB" become
// "Sales.db" and "Sales.MB"), and only when every copy is complete are the originals removed.
// Runs under a reporting trap with RenameFile's tag: line 100 checks and copies, line 102
// removes the originals. Refused with a report before anything is written: a new name holding
// "/", "\" or NUL (error 52); an entry without a table file (53); a new path that exists, or
// that names a file of the folder outside the family with letter case ignored (58). A copy that
// fails removes the copies made so far. True when the table stands complete under the new name
// (a report then tells of originals that could not be removed).
bool renameTableFamily(const QString& folder, const QString& entry, const QString& newName);

} // namespace dravena
