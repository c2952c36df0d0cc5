#include "OdbcSession.h"

#include "DataAccess.h"
#include "OdbcDiagnostics.h"
#include "OdbcServerCursor.h"
#include "OdbcStatement.h"
#include "OdbcValues.h"
#include "OracleClientSettings.h"
#include "app/RuntimeError.h"

#include <QSqlDriver>
#include <QSqlError>

#include <algorithm>
#include <atomic>

namespace dravena {

namespace {

// Qt's ODBC driver takes a string that mentions ".dsn" anywhere (a password, a server name) for
// the name of a file data source and puts "FILEDSN=" before it. A leading ";" leaves that key
// empty, so the driver manager still reads the string's own keys, all of them unchanged.
QString forQtOdbcDriver(const QString& connectionString) {
    if (connectionString.contains(QLatin1String(".dsn"), Qt::CaseInsensitive))
        return u';' + connectionString;
    return connectionString;
}

QString uniqueConnectionName() {
    static std::atomic<unsigned long long> counter{0};
    return QStringLiteral("dravena-odbc-%1").arg(++counter);
}

} // namespace

OdbcSession::OdbcSession() : name_(uniqueConnectionName()) {}

OdbcSession::~OdbcSession() {
    release();
}

void OdbcSession::open(const QString& connectionString) {
    release();
    applyOracleClientDefaults();
    QString failure;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name_);
        // Exact decimals come as text instead of being rounded to double.
        db.setNumericalPrecisionPolicy(QSql::HighPrecision);
        // A driver connection string ("Driver={...};...") goes to SQLDriverConnect unchanged.
        db.setDatabaseName(forQtOdbcDriver(connectionString));
        ok = db.open();
        if (!ok)
            failure = odbcMessage(db.lastError());
    }
    if (!ok) {
        QSqlDatabase::removeDatabase(name_);
        throw RuntimeError(errnum::DataAccess, failure);
    }
    open_ = true;
    ++generation_;
}

void OdbcSession::close() {
    release();
}

void OdbcSession::release() {
    // Cursors detach themselves while being released.
    while (!cursors_.empty())
        cursors_.back()->release();
    statement_.reset();
    open_ = false;
    if (!QSqlDatabase::contains(name_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase OdbcSession::database() const {
    if (!open_)
        throwObjectClosed();
    return QSqlDatabase::database(name_, false);
}

OdbcStatement& OdbcSession::statement() {
    if (!statement_)
        statement_ = std::make_unique<OdbcStatement>(odbcHandle(database().driver()->handle()));
    return *statement_;
}

void OdbcSession::attach(OdbcServerCursor* cursor) {
    cursors_.push_back(cursor);
}

void OdbcSession::detach(OdbcServerCursor* cursor) {
    cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), cursor), cursors_.end());
}

} // namespace dravena
