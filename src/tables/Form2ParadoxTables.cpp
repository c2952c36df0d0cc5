// The tables window's operations on the Paradox tables: delete and rename, each table with every
// file of its family.

#include "Form2.h"

#include "RenameWalk.h"
#include "TableDialogs.h"
#include "TableList.h"
#include "base/LocationTags.h"
#include "base/ObjectRef.h"
#include "base/Trap.h"
#include "connections/Form1.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFamily.h"
#include "fsutil/TableFiles.h"

namespace dravena {

// The folder the table of a Paradox entry lies in: the folder entry, or a sub-folder of it.
QString Form2::tableFolder(const TableList& list, int index) const {
    const QString subFolder = list.entrySubFolder(index);
    const QString folder = form1_.paradoxFolder();
    return subFolder.isEmpty() ? folder : pathInFolder(folder, subFolder);
}

void Form2::PushButton5_Click() {
    Trap trap(tags::Form2PushButton5Click);
    trap.step(100, [&] { setMousePointer(PointerBusy); });
    if (trap.test(102, [&] { return List2->currentIndex() == -1; })) {
        trap.step(126, [] { tellUser(QStringLiteral("Please select a table to delete.")); });
    } else {
        // Deleted table files cannot be brought back: nothing goes without a Yes.
        bool confirmed = false;
        trap.step(103, [&] {
            confirmed = confirmTablesDelete(List2->selectedCount(), form1_.paradoxFolder());
        });
        int last = -1;
        if (confirmed)
            trap.step(104, [&] { last = List2->entryCount() - 1; });
        for (int i = last; i >= 0; --i) {
            if (!trap.test(106, [&] { return List2->isEntrySelected(i); }))
                continue;
            // The table file, found whatever the letter case of its name, and its companions.
            QStringList family;
            trap.step(108,
                      [&] { family = tableFamilyFiles(tableFolder(*List2, i), List2->entry(i)); });
            if (family.isEmpty())
                continue; // no table file: the entry stays
            // The entry goes with the table file; companions that stay are reported.
            if (!trap.step(112, [&] { deleteTableFile(family.front()); }))
                continue;
            trap.run([&] { deleteTableFiles(family.mid(1)); });
            trap.step(114, [&] { List2->removeEntry(i); });
        }
    }
    trap.step(128, [&] { setMousePointer(PointerDefault); });
}

void Form2::PushButton7_Click() {
    Trap trap(tags::Form2PushButton7Click);
    ObjectRef<Connection> connection;
    trap.step(100, [&] { connection = dataAccess().createConnection(); });
    trap.step(102, [&] { setMousePointer(PointerBusy); });
    trap.step(104, [&] { connection->open(paradoxConnectionString(form1_.paradoxFolder())); });
    // The whole family moves or nothing does; the entry follows only a finished move.
    renameSelectedEntry(trap, *List2,
                        {.removeEntry = 124,
                         .addEntry = 126,
                         .currentEntry = 128,
                         .justOneMessage = 132,
                         .selectOneMessage = 134},
                        [&](int index, const QString& oldName, const QString& newName) {
                            return renameTableFamily(tableFolder(*List2, index), oldName, newName);
                        });
    trap.step(136, [&] { setMousePointer(PointerDefault); });
}

} // namespace dravena
