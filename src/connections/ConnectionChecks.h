#pragma once

#include <QString>

namespace dravena {

class ConnectionEntries;

// True when an Oracle connection built from the entries opens. Shows nothing; only a failure to
// create the connection object is passed on.
bool CheckOracleConnection(const ConnectionEntries& entries);

// True when the folder entry is not empty and the folder itself holds at least one Paradox table
// file that can be opened. Shows nothing. A folder that does not exist, or a path that is no
// folder, is false; a folder that cannot be listed for another reason (no permission) is passed
// on.
bool CheckParadoxFolder(const ConnectionEntries& entries);

} // namespace dravena
