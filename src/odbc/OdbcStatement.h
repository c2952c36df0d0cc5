#pragma once

#include <QString>

#include <sql.h>

namespace dravena {

// A statement handle of the program's own on an open ODBC connection, kept for executing
// statement after statement directly (SQLExecDirectW): one driver call a statement, without the
// handle that Qt's driver allocates and frees around every statement.
class OdbcStatement {
public:
    // The handle of the open connection it runs on.
    explicit OdbcStatement(SQLHANDLE connection);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    // Runs a statement that returns no rows. A failure is a RuntimeError carrying the driver's
    // message, a ConnectionLostError when the connection is gone.
    void execute(const QString& sql);

private:
    SQLHANDLE connection_;
    SQLHSTMT statement_ = SQL_NULL_HSTMT;
};

} // namespace dravena
