#include "ConnectionChecks.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionEntries.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/FileListing.h"

namespace dravena {

bool CheckOracleConnection(const ConnectionEntries& entries) {
    const std::unique_ptr<Connection> connection = dataAccess().createConnection();
    try {
        connection->open(oracleConnectionString(entries.oracleSid(), entries.oracleUser(),
                                                entries.oraclePassword()));
        return true;
    } catch (...) {
        return false;
    }
}

bool CheckParadoxFolder(const ConnectionEntries& entries) {
    const QString folder = entries.paradoxFolder();
    if (folder.isEmpty())
        return false;
    try {
        return !ListFiles(folder, QStringLiteral("*.db")).isEmpty();
    } catch (const RuntimeError& e) {
        // A folder that does not exist (or a file in its place) simply holds no tables.
        if (e.number() == errnum::PathNotFound)
            return false;
        throw;
    }
}

} // namespace dravena
