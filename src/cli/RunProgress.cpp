#include "RunProgress.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFiles.h"
#include "schema/Statements.h"

namespace dravena::cli {

std::int64_t rowsOfTables(const QString& folder, const QStringList& tables) {
    std::int64_t rows = 0;
    for (const QString& table : tables) {
        try {
            const TablePlace place = splitTablePath(table);
            const auto connection = dataAccess().createConnection();
            const auto recordset = dataAccess().createRecordset();
            connection->setCursorLocation(ServerSideCursor);
            connection->open(paradoxConnectionString(
                place.subFolder.isEmpty() ? folder : pathInFolder(folder, place.subFolder)));
            recordset->open(selectAllStatement(place.entry), *connection);
            rows += std::max<std::int64_t>(recordset->recordCount(), 0);
            recordset->close();
        } catch (const RuntimeError&) {
            // Counted as none; the table's send tells what is wrong with it.
        }
    }
    return rows;
}

} // namespace dravena::cli
