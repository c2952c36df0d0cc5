#pragma once

#include "dataaccess/DataAccess.h"

#include <QString>

#include <memory>
#include <optional>

namespace dravena {

// A connection on the built-in Paradox engine, for the folder named by DefaultDir (or Dbq).
// It only reads: the one statement it runs is SELECT * FROM "<name>", which opens the table
// file <name>.db of the folder (name and extension compared without regard to letter case), or
// with "<sub-folder>/<name>" the table file of a sub-folder.
std::unique_ptr<Connection> makeParadoxConnection();

// The table name of a SELECT * FROM "<name>" statement, its doubled quotes undone; nothing when
// the statement has another form.
std::optional<QString> selectAllTableName(const QString& sql);

} // namespace dravena
