#include "TableListing.h"

#include "TableList.h"
#include "dataaccess/ConnectionEntries.h"
#include "drivers/TableNames.h"
#include "schema/Statements.h"

namespace dravena {

void ListOracleTables(TableList& list, const ConnectionEntries& entries) {
    const QStringList names =
        oracleTableNames(entries.oracleSid(), entries.oracleUser(), entries.oraclePassword());
    list.clear();
    // Loading tables are the program's own: in flight, or left by a lost connection until the
    // next send of their table removes them.
    for (const QString& name : names)
        if (tableOfLoadingName(name).isEmpty())
            list.addEntry(name);
    if (list.entryCount() > 0)
        list.setCurrentIndex(0);
}

void ListParadoxTables(TableList& list, const ConnectionEntries& entries) {
    const QString folder = entries.paradoxFolder();
    if (folder.isEmpty())
        return;
    findParadoxTables(folder, [&list](const QString& entry, const QString& subFolder) {
        list.addEntry(entry, subFolder);
    });
}

} // namespace dravena
