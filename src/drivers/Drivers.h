#pragma once

#include "dataaccess/DataAccess.h"

#include <QMap>
#include <QString>

#include <memory>

namespace dravena {

// The installed data-access factory: the real one unless a test installed another. The real one
// hands out connections that pick their engine when they are opened, from the Driver key of the
// connection string: the built-in Paradox engine for the Paradox driver, unixODBC for any other.
DataAccess& dataAccess();
// Installs a factory; none puts the real one back.
void installDataAccess(std::shared_ptr<DataAccess> factory);

// Reads the text of Paradox tables in the character sets chosen instead of each table's own
// (dravena-cli --code-page): `all` for every table ("" for none), `byTable` by table name for
// single tables; each an iconv name or CPnnn. Returns the first name iconv does not know, and
// then chooses nothing; "" when every one is known.
QString chooseParadoxCodePages(const QString& all, const QMap<QString, QString>& byTable);

} // namespace dravena
