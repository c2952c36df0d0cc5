#include "DataAccess.h"

#include "ConnectionString.h"
#include "OdbcConnection.h"
#include "ParadoxConnection.h"
#include "app/RuntimeError.h"

namespace dravena {

namespace {

// The connection object handed out by the real factory: it picks the engine when it is opened,
// from the Driver key of the connection string.
class DispatchingConnection final : public Connection {
public:
    void setCursorLocation(int location) override { cursorLocation_ = location; }
    int cursorLocation() const override { return cursorLocation_; }

    void open(const QString& connectionString) override {
        if (backend_ && backend_->isOpen())
            throwObjectOpen();
        auto backend = isParadoxConnectionString(connectionString) ? makeParadoxConnection()
                                                                   : makeOdbcConnection();
        backend->setCursorLocation(cursorLocation_);
        backend->open(connectionString);
        backend_ = std::move(backend);
    }
    void execute(const QString& sql) override { openBackend().execute(sql); }
    void execute(const QString& sql, std::span<const BoundValue> parameters) override {
        openBackend().execute(sql, parameters);
    }
    std::unique_ptr<Cursor> query(const QString& sql) override { return openBackend().query(sql); }
    std::unique_ptr<ArrayInsert> prepareArrayInsert(const QString& sql,
                                                    std::vector<ParameterColumn> columns) override {
        return openBackend().prepareArrayInsert(sql, std::move(columns));
    }
    void beginTransaction() override { openBackend().beginTransaction(); }
    void commit() override { openBackend().commit(); }
    void rollback() override { openBackend().rollback(); }
    void close() override {
        if (!backend_ || !backend_->isOpen())
            throwObjectClosed();
        backend_->close();
        backend_.reset();
    }
    bool isOpen() const override { return backend_ && backend_->isOpen(); }

private:
    Connection& openBackend() {
        if (!isOpen())
            throwObjectClosed();
        return *backend_;
    }

    int cursorLocation_ = ServerSideCursor;
    std::unique_ptr<Connection> backend_;
};

class RealDataAccess final : public DataAccess {
public:
    std::unique_ptr<Connection> createConnection() override {
        return std::make_unique<DispatchingConnection>();
    }
    std::unique_ptr<Recordset> createRecordset() override { return std::make_unique<Recordset>(); }
};

std::shared_ptr<DataAccess>& installed() {
    static std::shared_ptr<DataAccess> factory = std::make_shared<RealDataAccess>();
    return factory;
}

} // namespace

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

DataAccess& dataAccess() {
    return *installed();
}

void installDataAccess(std::shared_ptr<DataAccess> factory) {
    installed() = factory ? std::move(factory) : std::make_shared<RealDataAccess>();
}

void Recordset::open(const QString& sql, Connection& connection) {
    if (cursor_)
        throwObjectOpen();
    cursor_ = connection.query(sql);
}

const Cursor& Recordset::cursor() const {
    if (!cursor_)
        throwObjectClosed();
    return *cursor_;
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
const Value& Recordset::fieldValue(int index) const {
    return cursor().fieldValue(index);
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

void Recordset::close() {
    cursor();
    cursor_.reset();
}

} // namespace dravena
