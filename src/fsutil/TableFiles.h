#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace dravena {

// The one rule between Paradox table files and the entries of the Paradox table list.
//
// A table file is listed under its name in capitals with every ".DB" removed ("Orders.db" gives
// ORDERS, "a.db.db" gives A). Capitals are taken character by character with the locale-free
// simple case mapping, which never changes a name's length: "straße.db" gives STRAßE and
// "kırmızı.db" gives KIRMIZI (full case mapping would make STRASSE of the first, which no file
// is called). An entry finds its file again through the same rule, so every table listed can be
// read, renamed or deleted from its entry.

// The letters of a name in capitals, character by character (simple case mapping, no locale).
QString tableNameCapitals(const QString& name);

// The list entry of a table file name.
QString tableEntryName(const QString& fileName);

// A table of a sub-folder as dravena-cli names it and the Paradox connection reads it: the
// sub-folder below the Paradox folder, "/" and the list entry ("sub/deeper/ZETA"); a table of the
// folder itself is its bare entry.
QString tablePath(const QString& subFolder, const QString& entry);

// A table path as typed, with its entry as the table list shows it ("sub/Orders.db" gives
// "sub/ORDERS"); the sub-folder stays as typed.
QString listedTablePath(const QString& typed);

// The sub-folder and list entry of a table path.
struct TablePlace {
    QString subFolder; // "" for the Paradox folder itself
    QString entry;
};

// Splits a table path at its last "/". A path that would leave the folder or name no table (a
// leading "/", an empty, "." or ".." part, an empty entry) fails with 52 (bad file name).
TablePlace splitTablePath(const QString& path);

// The table file (full path) of an entry, looked for in the folder itself, never below it. A
// "*.db" file belongs to the entry when, in capitals, the entry equals the file's base name (the
// name without its last ".db") or else the file's list entry; base-name matches come first, and
// among several candidates (names that differ only in letter case) the name that sorts first byte
// by byte. Nothing when no file belongs to it. A folder that cannot be read raises 76 (missing or
// not a folder), 70 (no permission) or 75.
std::optional<QString> findTableFile(const QString& folder, const QString& entry);

// The names of every table file in the folder itself that the entry could stand for (names that
// differ only in letter case, or in their ".db" endings), byte order; the one read is the one
// findTableFile chooses. Fails like findTableFile.
QStringList tableFileNamesOf(const QString& folder, const QString& entry);

// The table file (full path) of a table path ("sub/NAME", or a bare entry) below the folder:
// findTableFile in its sub-folder. A bad path fails as splitTablePath does, a folder that cannot
// be read as findTableFile does.
std::optional<QString> findTableFileOfPath(const QString& folder, const QString& tablePath);

// Every file of the entry's table family in the folder (full paths): the table file first, then
// the files of the same base name, letter case ignored, with a family extension (.MB, .PX, .Xnn,
// .Ynn, .XGn, .YGn, .VAL, .TV, .FAM) sorted by name. When another table file's base name differs
// from this one's only in letter case, only files of exactly this base name belong. Empty when
// the entry has no table file. Fails like findTableFile.
QStringList tableFamilyFiles(const QString& folder, const QString& entry);

} // namespace dravena
