#pragma once

#include <QString>

namespace dravena {

// A plain message of the tables window: OK only, no icon, the application title.
void tellUser(const QString& text);

// The input box that asks for a table's new name, the old name preset; "" when cancelled.
QString askNewTableName(const QString& oldName);

// Asks before table files are deleted, since nothing brings them back: true only when the user
// answers Yes (No is the default). Without a selected entry nothing is asked and nothing is to
// be deleted: false.
bool confirmTablesDelete(int selectedCount, const QString& folder);

} // namespace dravena
