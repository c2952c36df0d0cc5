#include "RenameWalk.h"

#include "TableDialogs.h"
#include "TableList.h"
#include "base/Trap.h"

namespace dravena {

void renameSelectedEntry(
    Trap& trap, TableList& list, const RenameLines& lines,
    const std::function<bool(int index, const QString& oldName, const QString& newName)>& rename) {
    if (trap.test(106, [&] { return list.currentIndex() == -1; })) {
        trap.step(lines.selectOneMessage,
                  [] { tellUser(QStringLiteral("Please select a table to rename.")); });
        return;
    }
    if (trap.test(108, [&] { return list.selectedCount() != 1; })) {
        trap.step(lines.justOneMessage,
                  [] { tellUser(QStringLiteral("Please select just one table to rename.")); });
        return;
    }
    int last = -1;
    trap.step(110, [&] { last = list.entryCount() - 1; });
    for (int i = last; i >= 0; --i) {
        if (!trap.test(112, [&] { return list.isEntrySelected(i); }))
            continue;
        QString oldName;
        QString newName;
        trap.step(114, [&] { oldName = list.entry(i); });
        trap.step(116, [&] { newName = askNewTableName(oldName); });
        if (trap.test(118, [&] { return newName.isEmpty(); }))
            continue;
        bool renamed = false;
        trap.step(120, [&] { renamed = rename(i, oldName, newName); });
        if (!renamed)
            continue;
        const QString subFolder = list.entrySubFolder(i);
        trap.step(lines.removeEntry, [&] { list.removeEntry(i); });
        trap.step(lines.addEntry, [&] { list.addEntry(newName, subFolder); });
        if (trap.test(lines.currentEntry, [&] { return list.entryCount() >= 1; }))
            trap.step(lines.currentEntry, [&] { list.setCurrentIndex(0); });
    }
}

} // namespace dravena
