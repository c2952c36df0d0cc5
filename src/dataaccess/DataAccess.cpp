#include "DataAccess.h"

#include "base/RuntimeError.h"

namespace dravena {

std::unique_ptr<ArrayInsert> Connection::prepareArrayInsert(const QString&,
                                                            std::vector<ParameterColumn>) {
    throw RuntimeError(errnum::InvalidCall,
                       QStringLiteral("This connection cannot send arrays of parameters."));
}

namespace {
[[noreturn]] void throwNoTransactions() {
    throw RuntimeError(errnum::InvalidCall,
                       QStringLiteral("This connection cannot run transactions."));
}
} // namespace

void Connection::beginTransaction() {
    throwNoTransactions();
}

void Connection::commit() {
    throwNoTransactions();
}

void Connection::rollback() {
    throwNoTransactions();
}

void throwObjectClosed() {
    throw RuntimeError(adoerror::ObjectClosed,
                       QStringLiteral("Operation is not allowed when the object is closed."));
}

void throwObjectOpen() {
    throw RuntimeError(errnum::InvalidCall,
                       QStringLiteral("Operation is not allowed when the object is open."));
}

void Recordset::open(const QString& sql, Connection& connection) {
    if (cursor_)
        throwObjectOpen();
    cursor_ = connection.query(sql);
}

int Recordset::fieldCount() const {
    return cursor().fieldCount();
}
QString Recordset::fieldName(int index) const {
    return cursor().fieldName(index);
}
int Recordset::fieldType(int index) const {
    return cursor().fieldType(index);
}
int Recordset::numericScale(int index) const {
    return cursor().numericScale(index);
}
std::int64_t Recordset::storedLength(int index) const {
    return cursor().storedLength(index);
}
std::int64_t Recordset::recordCount() const {
    return cursor().recordCount();
}
bool Recordset::atEnd() const {
    return cursor().atEnd();
}

void Recordset::moveNext() {
    cursor();
    cursor_->moveNext();
}

QStringList Recordset::warnings() const {
    return cursor().warnings();
}

bool Recordset::valuesLost() const {
    return cursor().valuesLost();
}

std::int64_t Recordset::lostValueCount() const {
    return cursor().lostValueCount();
}

void Recordset::close() {
    cursor();
    cursor_.reset();
}

} // namespace dravena
