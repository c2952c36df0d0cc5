#pragma once

#include "dataaccess/DataAccess.h"

#include <sql.h>

#include <memory>
#include <vector>

namespace dravena {

class OdbcSession;

// A statement of the program's own on an open ODBC connection, prepared once, whose rows go in
// arrays of parameters bound column by column (SQL_ATTR_PARAMSET_SIZE), in the connection's
// current transaction; the caller decides from the row statuses whether to commit.
class OdbcArrayInsert final : public ArrayInsert {
public:
    OdbcArrayInsert(std::shared_ptr<OdbcSession> session, const QString& sql,
                    std::vector<ParameterColumn> columns);
    ~OdbcArrayInsert() override;
    OdbcArrayInsert(const OdbcArrayInsert&) = delete;
    OdbcArrayInsert& operator=(const OdbcArrayInsert&) = delete;

    std::vector<ArrayRowStatus> send(std::span<const ArrayRow> rows) override;

private:
    struct Buffer {
        std::vector<char> data;
        std::vector<SQLLEN> lengths;
        SQLLEN width = 0;
    };

    // Allocates and prepares the statement; this and the rest below on the connection's thread.
    void prepare(const QString& sql);
    // Fills and binds the buffers; false when a value does not fit its column's kind.
    bool bind(std::span<const ArrayRow> rows);
    bool bindColumn(std::size_t column, std::span<const ArrayRow> rows);
    std::vector<ArrayRowStatus> execute(std::size_t rows);
    [[noreturn]] void throwFailure() const;

    std::shared_ptr<OdbcSession> session_;
    unsigned long long generation_ = 0;
    std::vector<ParameterColumn> columns_;
    SQLHSTMT statement_ = SQL_NULL_HSTMT;
    std::vector<Buffer> buffers_;
    std::vector<SQLUSMALLINT> status_;
    SQLULEN processed_ = 0;
};

} // namespace dravena
