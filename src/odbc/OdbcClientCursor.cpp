#include "OdbcClientCursor.h"

#include <QSqlError>
#include <QSqlRecord>

namespace dravena {

OdbcClientCursor::OdbcClientCursor(QSqlQuery& query, const std::function<void()>& beforeFetch)
    : OdbcCursor(odbcColumns(query.record())) {
    const std::size_t width = columns().size();
    for (beforeFetch(); query.next(); beforeFetch()) {
        std::vector<Value> row;
        row.reserve(width);
        for (std::size_t i = 0; i < width; ++i)
            row.push_back(odbcValue(query.value(static_cast<int>(i)), columns()[i]));
        rows_.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        throwOdbcError(query.lastError());
}

void OdbcClientCursor::moveNext() {
    if (atEnd())
        throwNoCurrentRecord();
    ++position_;
}

} // namespace dravena
