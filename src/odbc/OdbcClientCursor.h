#pragma once

#include "OdbcCursor.h"

#include <QSqlQuery>

#include <functional>

namespace dravena {

// A client-side cursor: every row is read when the query opens, so the record count is known
// before the first row is used, and the connection may close while the rows are still read.
class OdbcClientCursor final : public OdbcCursor {
public:
    // Reads the rest of an executed forward-only query; beforeFetch is called before each fetch
    // (the rows' time limit starts again there).
    OdbcClientCursor(QSqlQuery& query, const std::function<void()>& beforeFetch);

    std::int64_t recordCount() const override { return static_cast<std::int64_t>(rows_.size()); }
    bool atEnd() const override { return position_ >= rows_.size(); }
    void moveNext() override;

private:
    const std::vector<Value>& currentRow() const override { return rows_[position_]; }

    std::vector<std::vector<Value>> rows_;
    std::size_t position_ = 0;
};

} // namespace dravena
