#pragma once

#include "base/RuntimeError.h"

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

// True when the failure of a statement on the connection means the connection is lost.
bool connectionLost(SQLHANDLE statement, SQLHANDLE connection);

// The ODBC handle inside a handle variant of Qt's driver; null when there is none.
SQLHANDLE odbcHandle(const QVariant& handle);

// The messages of a handle's diagnostic records, joined by blanks.
QString diagnosticText(SQLSMALLINT handleType, SQLHANDLE handle);

// The failure of a sign-on in words a person can act on: when the driver manager could not find
// or load the connection string's driver, which driver name it looked up in which odbcinst.ini,
// followed by the driver manager's own message; any other message as it is.
QString signOnFailureText(const QString& driverMessage, const QString& connectionString);

// The odbcinst.ini the driver manager reads, as "odbcinst -j" names it: the file ODBCINSTINI
// (odbcinst.ini when unset) in the folder ODBCSYSINI (/etc when unset).
QString odbcinstIniFile();
// What signOnFailureText tells of a driver name without a section in odbcinst.ini, and of a
// registered driver whose library cannot be loaded.
QString driverNotRegisteredText(const QString& driver);
QString driverNotLoadedText(const QString& driver, const QString& library);

// Throws a failure with the driver's message: a ConnectionLostError when the statement's or the
// connection's diagnostics show the connection gone, else a RuntimeError.
[[noreturn]] void throwOdbcFailure(const QString& message, SQLHANDLE statement,
                                   SQLHANDLE connection);

// Throws the failure of the query's last statement: a ConnectionLostError when the connection
// is gone, else a RuntimeError; both carry the driver's message.
[[noreturn]] void throwStatementFailure(const QSqlQuery& failed, const QSqlDatabase& db);

} // namespace dravena
