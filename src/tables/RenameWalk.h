#pragma once

#include <QString>

#include <functional>

namespace dravena {

class TableList;
class Trap;

// The line labels of the steps after the rename itself, which the two rename handlers number
// differently. Up to the rename both number alike: 106 the check for a current entry, 108 the
// check that exactly one entry is selected, 110 the walk from the last entry to the first, 112
// whether entry i is selected, 114 old name := entry i, 116 the input box, 118 an empty answer
// passes the entry over, 120 the rename.
struct RenameLines {
    int removeEntry;      // the entry goes
    int addEntry;         // the new name joins the list
    int currentEntry;     // the current entry becomes the first
    int justOneMessage;   // "Please select just one table to rename."
    int selectOneMessage; // "Please select a table to rename."
};

// Renames the one selected entry of the list as a rename handler does, each step through the
// trap: without a current entry, or with other than one entry selected, it says so; otherwise it
// asks for the new name and, unless the answer is empty, runs the rename of entry `index`. The
// entry takes the new name (at its sorted place, in the same sub-folder, the current entry then
// the first) only when the rename returns true; a rename that fails is reported at its line and
// leaves the entry as it was.
void renameSelectedEntry(
    Trap& trap, TableList& list, const RenameLines& lines,
    const std::function<bool(int index, const QString& oldName, const QString& newName)>& rename);

} // namespace dravena
