#include "ServerTables.h"

#include "connections/ConnectionStrings.h"
#include "connections/DataAccess.h"
#include "transfer/ValueText.h"

namespace dravena::cli {

QStringList readServerTables(const QString& sid, const QString& user, const QString& password) {
    const std::unique_ptr<Connection> connection = dataAccess().createConnection();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(oracleConnectionString(sid, user, password));
    const std::unique_ptr<Recordset> recordset = dataAccess().createRecordset();
    recordset->open(QStringLiteral("SELECT table_name FROM user_tables"), *connection);
    QStringList names;
    for (; !recordset->atEnd(); recordset->moveNext())
        names.append(valueText(recordset->fieldValue(0)));
    recordset->close();
    connection->close();
    return names;
}

} // namespace dravena::cli
