#include "RenameWalk.h"

#include "TableDialogs.h"
#include "TableList.h"
#include "app/Trap.h"

namespace dravena {

void renameSelectedEntry(
    Trap& trap, TableList& list, const RenameLines& lines,
    const std::function<bool(const QString& oldName, const QString& newName)>& rename) {
    if (trap.test(lines.noCurrentEntry, [&] { return list.currentIndex() == -1; })) {
        trap.step(lines.selectOneMessage,
                  [] { tellUser(QStringLiteral("Please select a table to rename.")); });
        return;
    }
    if (trap.test(lines.selectionCount, [&] { return list.selectedCount() != 1; })) {
        trap.step(lines.justOneMessage,
                  [] { tellUser(QStringLiteral("Please select just one table to rename.")); });
        return;
    }
    int last = -1;
    trap.step(lines.walk, [&] { last = list.entryCount() - 1; });
    for (int i = last; i >= 0; --i) {
        if (!trap.test(lines.selected, [&] { return list.isEntrySelected(i); }))
            continue;
        QString oldName;
        QString newName;
        trap.step(lines.oldName, [&] { oldName = list.entry(i); });
        trap.step(lines.newName, [&] { newName = askNewTableName(oldName); });
        if (trap.test(lines.emptyName, [&] { return newName.isEmpty(); }))
            continue;
        bool renamed = false;
        trap.step(lines.rename, [&] { renamed = rename(oldName, newName); });
        if (!renamed)
            continue;
        trap.step(lines.removeEntry, [&] { list.removeEntry(i); });
        trap.step(lines.addEntry, [&] { list.addEntry(newName); });
        if (trap.test(lines.currentEntry, [&] { return list.entryCount() >= 1; }))
            trap.step(lines.currentEntry, [&] { list.setCurrentIndex(0); });
    }
}

} // namespace dravena
