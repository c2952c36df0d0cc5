#include "OdbcServerCursor.h"

#include "OdbcSession.h"

#include <QSqlError>
#include <QSqlRecord>

namespace dravena {

OdbcServerCursor::OdbcServerCursor(std::shared_ptr<OdbcSession> session, QSqlQuery query)
    : OdbcCursor(odbcColumns(query.record())), session_(std::move(session)),
      query_(std::move(query)) {
    session_->attach(this);
    try {
        fetch();
    } catch (...) {
        session_->detach(this);
        throw;
    }
}

OdbcServerCursor::~OdbcServerCursor() {
    session_->onThread([this] { release(); });
}

void OdbcServerCursor::moveNext() {
    if (atEnd())
        throwNoCurrentRecord();
    session_->timed([this] { fetch(); });
}

void OdbcServerCursor::fetch() {
    hasRow_ = false;
    row_.clear();
    if (!query_)
        return;
    if (!query_->next()) {
        const QSqlError error = query_->lastError();
        release();
        if (error.isValid())
            throwOdbcError(error);
        return;
    }
    row_.reserve(columns().size());
    for (std::size_t i = 0; i < columns().size(); ++i)
        row_.push_back(odbcValue(query_->value(static_cast<int>(i)), columns()[i]));
    hasRow_ = true;
}

void OdbcServerCursor::release() {
    query_.reset();
    hasRow_ = false;
    row_.clear();
    session_->detach(this);
}

} // namespace dravena
