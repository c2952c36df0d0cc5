#pragma once

#include <QString>

namespace dravena {

// A plain message of the tables window: OK only, no icon, the application title.
void tellUser(const QString& text);

// The input box that asks for a table's new name, the old name preset; "" when cancelled.
QString askNewTableName(const QString& oldName);

} // namespace dravena
