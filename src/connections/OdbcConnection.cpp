#include "OdbcConnection.h"

#include "OdbcClientCursor.h"
#include "OdbcServerCursor.h"
#include "OdbcSession.h"
#include "OdbcValues.h"
#include "app/RuntimeError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace dravena {

namespace {

QSqlQuery run(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throwOdbcError(query.lastError());
    return query;
}

} // namespace

OdbcConnection::OdbcConnection() : session_(std::make_shared<OdbcSession>()) {}

OdbcConnection::~OdbcConnection() {
    session_->close();
}

void OdbcConnection::open(const QString& connectionString) {
    if (session_->isOpen())
        throwObjectOpen();
    session_->open(connectionString);
    openLocation_ = cursorLocation_;
}

void OdbcConnection::execute(const QString& sql) {
    run(session_->database(), sql);
}

std::unique_ptr<Cursor> OdbcConnection::query(const QString& sql) {
    QSqlQuery query = run(session_->database(), sql);
    if (openLocation_ == ClientSideCursor)
        return std::make_unique<OdbcClientCursor>(query);
    return std::make_unique<OdbcServerCursor>(session_, std::move(query));
}

void OdbcConnection::close() {
    if (!session_->isOpen())
        throwObjectClosed();
    session_->close();
}

bool OdbcConnection::isOpen() const {
    return session_->isOpen();
}

std::unique_ptr<Connection> makeOdbcConnection() {
    return std::make_unique<OdbcConnection>();
}

} // namespace dravena
