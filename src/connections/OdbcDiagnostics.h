#pragma once

#include "app/RuntimeError.h"

#include <QVariant>

#include <sql.h>

class QSqlDatabase;
class QSqlQuery;

namespace dravena {

// A statement failed because the connection to the server is gone (the driver's communication
// states 08xxx, or a connection the driver reports dead). Nothing more can run on it.
class ConnectionLostError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

// True when the failure of the query's last statement means the connection is lost.
bool connectionLost(const QSqlQuery& failed, const QSqlDatabase& db);
// The same for a failure on a statement handle of the program's own on that connection.
bool connectionLost(SQLHANDLE statement, SQLHANDLE connection);

// The ODBC handle inside a handle variant of Qt's driver; null when there is none.
SQLHANDLE odbcHandle(const QVariant& handle);

// The messages of a handle's diagnostic records, joined by blanks.
QString diagnosticText(SQLSMALLINT handleType, SQLHANDLE handle);

// Throws the failure of the query's last statement: a ConnectionLostError when the connection
// is gone, else a RuntimeError; both carry the driver's message.
[[noreturn]] void throwStatementFailure(const QSqlQuery& failed, const QSqlDatabase& db);

} // namespace dravena
