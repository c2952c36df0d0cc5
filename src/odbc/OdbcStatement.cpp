#include "OdbcStatement.h"

#include "OdbcDiagnostics.h"
#include "ServerTimeLimits.h"

#include <sqlext.h>

namespace dravena {

OdbcStatement::OdbcStatement(SQLHANDLE connection) : connection_(connection) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement_)))
        throw RuntimeError(errnum::DataAccess, diagnosticText(SQL_HANDLE_DBC, connection_));
    setQueryTimeout(statement_);
}

OdbcStatement::~OdbcStatement() {
    SQLFreeHandle(SQL_HANDLE_STMT, statement_);
}

void OdbcStatement::execute(const QString& sql) {
    // QString holds UTF-16, which is what SQLWCHAR is here.
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
    const SQLRETURN r = SQLExecDirectW(
        statement_, const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(sql.utf16())),
        static_cast<SQLINTEGER>(sql.size()));
    if (!SQL_SUCCEEDED(r) && r != SQL_NO_DATA)
        throwOdbcFailure(diagnosticText(SQL_HANDLE_STMT, statement_), statement_, connection_);
    SQLFreeStmt(statement_, SQL_CLOSE);
}

} // namespace dravena
