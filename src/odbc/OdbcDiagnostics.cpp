#include "OdbcDiagnostics.h"

#include "OdbcValues.h"
#include "dataaccess/ConnectionString.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QVariant>

#include <sqlext.h>

#include <QStringList>

#include <vector>

namespace dravena {

namespace {

// True when one of the handle's diagnostic records has a state of class 08 (connection
// exception): the link to the server broke.
bool hasConnectionState(SQLSMALLINT handleType, SQLHANDLE handle) {
    if (handle == SQL_NULL_HANDLE)
        return false;
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1];
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;; ++record) {
        const SQLRETURN r =
            SQLGetDiagRec(handleType, handle, record, state, &native, nullptr, 0, &length);
        if (!SQL_SUCCEEDED(r))
            return false;
        if (state[0] == '0' && state[1] == '8')
            return true;
    }
}

bool connectionDead(SQLHANDLE connection) {
    if (connection == SQL_NULL_HANDLE)
        return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN r = SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(r) && dead == SQL_CD_TRUE;
}

} // namespace

SQLHANDLE odbcHandle(const QVariant& handle) {
    if (!handle.isValid() || handle.metaType().sizeOf() != sizeof(SQLHANDLE))
        return SQL_NULL_HANDLE;
    return *static_cast<const SQLHANDLE*>(handle.constData());
}

QString diagnosticText(SQLSMALLINT handleType, SQLHANDLE handle) {
    // The wide form: the narrow one is converted by the driver manager into a code page of its
    // own choosing, which leaves only the low byte of each character outside ASCII.
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
    QStringList messages;
    SQLWCHAR state[SQL_SQLSTATE_SIZE + 1];
    SQLINTEGER native = 0;
    std::vector<SQLWCHAR> text(1024);
    for (SQLSMALLINT record = 1; handle != SQL_NULL_HANDLE; ++record) {
        SQLSMALLINT length = 0;
        SQLRETURN r = SQLGetDiagRecW(handleType, handle, record, state, &native, text.data(),
                                     static_cast<SQLSMALLINT>(text.size()), &length);
        if (r == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(text.size())) {
            text.resize(static_cast<std::size_t>(length) + 1);
            r = SQLGetDiagRecW(handleType, handle, record, state, &native, text.data(),
                               static_cast<SQLSMALLINT>(text.size()), &length);
        }
        if (!SQL_SUCCEEDED(r))
            break;
        messages.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(text.data()),
                                           std::min<qsizetype>(length, qsizetype(text.size()) - 1))
                            .trimmed());
    }
    return messages.join(u' ');
}

QString signOnFailureText(const QString& driverMessage, const QString& connectionString) {
    // unixODBC's words when the driver's name has no section in odbcinst.ini (the name is then
    // tried as a library file) or its library cannot be loaded.
    static const QRegularExpression cannotOpen(QStringLiteral("Can't open lib '([^']*)'"));
    const QRegularExpressionMatch library = cannotOpen.match(driverMessage);
    const bool noSource = driverMessage.contains(QLatin1String("Data source name not found"));
    if (!library.hasMatch() && !noSource)
        return driverMessage;
    const QString driver = connectionStringValue(connectionString, QStringLiteral("Driver"));
    const QString words = library.hasMatch() && library.captured(1) != driver
                              ? driverNotLoadedText(driver, library.captured(1))
                              : driverNotRegisteredText(driver);
    return words + QStringLiteral("\r\n\r\nThe driver manager said: ") + driverMessage;
}

QString odbcinstIniFile() {
    const QString folder = qEnvironmentVariable("ODBCSYSINI", QStringLiteral("/etc"));
    return folder + u'/' + qEnvironmentVariable("ODBCINSTINI", QStringLiteral("odbcinst.ini"));
}

QString driverNotRegisteredText(const QString& driver) {
    return QStringLiteral("The ODBC driver \"%1\" is not registered: the driver manager "
                          "looked that name up in %2 (\"odbcinst -j\" shows the file) and "
                          "found no section [%1]. Register the Oracle ODBC driver under that "
                          "name (\"odbcinst -i -d -f FILE\"; see \"Reaching Oracle\" in "
                          "the README).")
        .arg(driver, odbcinstIniFile());
}

QString driverNotLoadedText(const QString& driver, const QString& library) {
    return QStringLiteral("The ODBC driver \"%1\" is registered in %2, but its library %3 "
                          "cannot be loaded: the file is missing, or a library it needs "
                          "(the Oracle Instant Client's, say) is not found; \"ldd %3\" "
                          "names what is missing.")
        .arg(driver, odbcinstIniFile(), library);
}

bool connectionLost(SQLHANDLE statement, SQLHANDLE connection) {
    return hasConnectionState(SQL_HANDLE_STMT, statement) ||
           hasConnectionState(SQL_HANDLE_DBC, connection) || connectionDead(connection);
}

void throwOdbcFailure(const QString& message, SQLHANDLE statement, SQLHANDLE connection) {
    if (connectionLost(statement, connection))
        throw ConnectionLostError(errnum::DataAccess, message);
    throw RuntimeError(errnum::DataAccess, message);
}

void throwStatementFailure(const QSqlQuery& failed, const QSqlDatabase& db) {
    const SQLHANDLE statement = failed.result() ? odbcHandle(failed.result()->handle()) : nullptr;
    const SQLHANDLE connection = db.driver() ? odbcHandle(db.driver()->handle()) : nullptr;
    throwOdbcFailure(odbcMessage(failed.lastError()), statement, connection);
}

} // namespace dravena
