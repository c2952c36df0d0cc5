// The tables window's operations on the Oracle tables: drop, rename, and the help message.

#include "Form2.h"

#include "RenameWalk.h"
#include "TableDialogs.h"
#include "TableList.h"
#include "base/LocationTags.h"
#include "base/ObjectRef.h"
#include "base/Product.h"
#include "base/Trap.h"
#include "connections/Form1.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "schema/Statements.h"

namespace dravena {

namespace {

void openOracle(Connection& connection, const ConnectionEntries& entries) {
    connection.open(oracleConnectionString(entries.oracleSid(), entries.oracleUser(),
                                           entries.oraclePassword()));
}

} // namespace

void Form2::PushButton1_Click() {
    Trap trap(tags::Form2PushButton1Click);
    ObjectRef<Connection> connection;
    trap.step(100, [&] { connection = dataAccess().createConnection(); });
    trap.step(102, [&] { setMousePointer(PointerBusy); });
    trap.step(104, [&] { openOracle(*connection, form1_); });
    if (trap.test(106, [&] { return List1->currentIndex() == -1; })) {
        trap.step(118, [] { tellUser(QStringLiteral("Please select a table")); });
    } else {
        int last = -1;
        trap.step(108, [&] { last = List1->entryCount() - 1; });
        for (int i = last; i >= 0; --i) {
            if (!trap.test(110, [&] { return List1->isEntrySelected(i); }))
                continue;
            // The entry goes only with its table: a refused DROP leaves it listed.
            if (trap.step(112, [&] { connection->execute(dropTableStatement(List1->entry(i))); }))
                trap.step(114, [&] { List1->removeEntry(i); });
        }
    }
    trap.step(120, [&] { setMousePointer(PointerDefault); });
}

void Form2::PushButton6_Click() {
    Trap trap(tags::Form2PushButton6Click);
    ObjectRef<Connection> connection;
    trap.step(100, [&] { connection = dataAccess().createConnection(); });
    trap.step(102, [&] { setMousePointer(PointerBusy); });
    trap.step(104, [&] { openOracle(*connection, form1_); });
    // The entry takes the new name only when the server renamed the table.
    renameSelectedEntry(trap, *List1,
                        {.removeEntry = 122,
                         .addEntry = 124,
                         .currentEntry = 126,
                         .justOneMessage = 130,
                         .selectOneMessage = 132},
                        [&](int, const QString& oldName, const QString& newName) {
                            connection->execute(renameTableStatement(oldName, newName));
                            return true;
                        });
    trap.step(134, [&] { setMousePointer(PointerDefault); });
}

void Form2::PushButton12_Click() {
    Trap trap(tags::Form2PushButton12Click);
    trap.step(100, [] {
        tellUser(QStringLiteral("Questions? Please contact Team Velmora at ") +
                 QString::fromLatin1(SupportPageAddress));
    });
}

} // namespace dravena
