#pragma once

#include "OdbcCursor.h"

#include <QSqlQuery>

#include <memory>
#include <optional>

namespace dravena {

class OdbcSession;

// A server-side, forward-only cursor: rows are fetched one at a time as it moves; the record
// count is not known (-1). Closing its connection releases it: it then stands at the end.
class OdbcServerCursor final : public OdbcCursor {
public:
    // Takes over an executed forward-only query and fetches its first row; made on the
    // connection's thread, inside the session's call that executed the query.
    OdbcServerCursor(std::shared_ptr<OdbcSession> session, QSqlQuery query);
    ~OdbcServerCursor() override;
    OdbcServerCursor(const OdbcServerCursor&) = delete;
    OdbcServerCursor& operator=(const OdbcServerCursor&) = delete;

    std::int64_t recordCount() const override { return -1; }
    bool atEnd() const override { return !hasRow_; }
    void moveNext() override;

    // Gives the query back to the driver (the connection is closing); on the connection's thread.
    void release();

private:
    const std::vector<Value>& currentRow() const override { return row_; }
    // Reads the next row; on the connection's thread.
    void fetch();

    std::shared_ptr<OdbcSession> session_;
    std::optional<QSqlQuery> query_;
    std::vector<Value> row_;
    bool hasRow_ = false;
};

} // namespace dravena
