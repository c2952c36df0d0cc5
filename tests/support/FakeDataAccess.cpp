#include "FakeDataAccess.h"

#include "base/RuntimeError.h"
#include "drivers/Drivers.h"

namespace dravena::testing {

namespace {

class FakeConnection final : public Connection {
public:
    explicit FakeConnection(FakeDataAccess& owner) : owner_(owner) {}
    void setCursorLocation(int location) override { location_ = location; }
    int cursorLocation() const override { return location_; }
    void open(const QString& connectionString) override {
        owner_.opened.push_back(connectionString);
        if (owner_.onOpen)
            owner_.onOpen(connectionString);
        open_ = true;
    }
    void execute(const QString& sql) override {
        if (!open_)
            throwObjectClosed();
        owner_.executed.push_back(sql);
        if (!owner_.onExecute)
            refuse();
        owner_.onExecute(sql);
    }
    void execute(const QString&, std::span<const BoundValue>) override { refuse(); }
    std::unique_ptr<Cursor> query(const QString&) override { refuse(); }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }

private:
    [[noreturn]] static void refuse() {
        throw RuntimeError(errnum::DataAccess, QStringLiteral("statements are not scripted"));
    }
    FakeDataAccess& owner_;
    int location_ = ServerSideCursor;
    bool open_ = false;
};

} // namespace

std::unique_ptr<Connection> FakeDataAccess::createConnection() {
    if (failCreation)
        throw RuntimeError(errnum::CannotCreateObject,
                           QStringLiteral("ActiveX component can't create object"));
    return std::make_unique<FakeConnection>(*this);
}

std::unique_ptr<Recordset> FakeDataAccess::createRecordset() {
    if (failCreation)
        throw RuntimeError(errnum::CannotCreateObject,
                           QStringLiteral("ActiveX component can't create object"));
    return std::make_unique<Recordset>();
}

ScopedDataAccess::ScopedDataAccess() : fake_(std::make_shared<FakeDataAccess>()) {
    installDataAccess(fake_);
}

ScopedDataAccess::~ScopedDataAccess() {
    installDataAccess(nullptr);
}

} // namespace dravena::testing
