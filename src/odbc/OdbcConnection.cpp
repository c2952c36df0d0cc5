#include "OdbcConnection.h"

#include "OdbcArrayInsert.h"
#include "OdbcClientCursor.h"
#include "OdbcDiagnostics.h"
#include "OdbcServerCursor.h"
#include "OdbcSession.h"
#include "OdbcStatement.h"
#include "OdbcValues.h"
#include "base/RuntimeError.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace dravena {

namespace {

QSqlQuery run(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throwStatementFailure(query, db);
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
    session_->timed([&] { session_->statement().execute(sql); });
}

void OdbcConnection::execute(const QString& sql, std::span<const BoundValue> parameters) {
    session_->timed([&] {
        const QSqlDatabase db = session_->database();
        QSqlQuery statement(db);
        statement.setForwardOnly(true);
        if (!statement.prepare(sql))
            throwStatementFailure(statement, db);
        for (const BoundValue& parameter : parameters)
            std::visit([&statement](const auto& value) { statement.addBindValue(value); },
                       parameter);
        if (!statement.exec())
            throwStatementFailure(statement, db);
    });
}

std::unique_ptr<Cursor> OdbcConnection::query(const QString& sql) {
    std::unique_ptr<Cursor> cursor;
    if (openLocation_ != ClientSideCursor) {
        session_->timed([&] {
            cursor = std::make_unique<OdbcServerCursor>(session_, run(session_->database(), sql));
        });
        return cursor;
    }
    // The statement waits on the server, and so does each fetch of its rows: each wait is held
    // to the limit.
    session_->timed([&] {
        QSqlQuery query = run(session_->database(), sql);
        session_->renewLimit();
        cursor = std::make_unique<OdbcClientCursor>(query, [this] { session_->renewLimit(); });
    });
    return cursor;
}

std::unique_ptr<ArrayInsert>
OdbcConnection::prepareArrayInsert(const QString& sql, std::vector<ParameterColumn> columns) {
    if (!session_->isOpen())
        throwObjectClosed();
    return std::make_unique<OdbcArrayInsert>(session_, sql, std::move(columns));
}

// A failed transaction call is a lost connection when the connection's diagnostics say so.
void OdbcConnection::transactionCall(bool (QSqlDatabase::*call)()) {
    session_->timed([&] {
        QSqlDatabase db = session_->database();
        if ((db.*call)())
            return;
        const SQLHANDLE connection = odbcHandle(db.driver()->handle());
        if (connectionLost(nullptr, connection))
            throw ConnectionLostError(errnum::DataAccess,
                                      diagnosticText(SQL_HANDLE_DBC, connection));
        throw RuntimeError(errnum::DataAccess, odbcMessage(db.lastError()));
    });
}

void OdbcConnection::beginTransaction() {
    transactionCall(&QSqlDatabase::transaction);
}

void OdbcConnection::commit() {
    transactionCall(&QSqlDatabase::commit);
}

void OdbcConnection::rollback() {
    transactionCall(&QSqlDatabase::rollback);
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
