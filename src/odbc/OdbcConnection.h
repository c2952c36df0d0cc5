#pragma once

#include "dataaccess/DataAccess.h"

#include <QSqlDatabase>

#include <memory>

namespace dravena {

class OdbcSession;

// A connection through unixODBC (Qt's ODBC driver); the connection string goes to the driver
// manager unchanged. Statements run one at a time in autocommit.
class OdbcConnection final : public Connection {
public:
    OdbcConnection();
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    void setCursorLocation(int location) override { cursorLocation_ = location; }
    int cursorLocation() const override { return cursorLocation_; }
    void open(const QString& connectionString) override;
    void execute(const QString& sql) override;
    void execute(const QString& sql, std::span<const BoundValue> parameters) override;
    // Client-side (3): every row read at once, record count known; otherwise forward-only.
    std::unique_ptr<Cursor> query(const QString& sql) override;
    std::unique_ptr<ArrayInsert> prepareArrayInsert(const QString& sql,
                                                    std::vector<ParameterColumn> columns) override;
    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    void close() override;
    bool isOpen() const override;

private:
    void transactionCall(bool (QSqlDatabase::*call)());

    int cursorLocation_ = ServerSideCursor;
    int openLocation_ = ServerSideCursor;
    std::shared_ptr<OdbcSession> session_;
};

// A connection through unixODBC; the connection string goes to the driver manager unchanged.
std::unique_ptr<Connection> makeOdbcConnection();

} // namespace dravena
