#pragma once

#include <QString>

#include <functional>

namespace dravena {

class TableList;
class Trap;

// The line labels of a rename handler from the check of the current entry on (the two table
// lists number their last steps differently).
struct RenameLines {
    int noCurrentEntry;   // the check for a current entry
    int selectionCount;   // the check that exactly one entry is selected
    int walk;             // the walk from the last entry to the first
    int selected;         // whether entry i is selected
    int oldName;          // old name := entry i
    int newName;          // the input box
    int emptyName;        // an empty answer passes the entry over
    int rename;           // the rename itself
    int removeEntry;      // the entry goes
    int addEntry;         // the new name joins the list
    int currentEntry;     // the current entry becomes the first
    int justOneMessage;   // "Please select just one table to rename."
    int selectOneMessage; // "Please select a table to rename."
};

// Renames the one selected entry of the list as a rename handler does, each step through the
// trap: without a current entry, or with other than one entry selected, it says so; otherwise it
// asks for the new name and, unless the answer is empty, runs the rename. The entry takes the new
// name (at its sorted place, the current entry then the first) only when the rename returns true;
// a rename that fails is reported at its line and leaves the entry as it was.
void renameSelectedEntry(
    Trap& trap, TableList& list, const RenameLines& lines,
    const std::function<bool(const QString& oldName, const QString& newName)>& rename);

} // namespace dravena
