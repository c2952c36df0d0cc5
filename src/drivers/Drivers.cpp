#include "Drivers.h"

#include "ParadoxConnection.h"
#include "dataaccess/ConnectionString.h"
#include "odbc/OdbcConnection.h"
#include "paradox/CharacterSet.h"
#include "paradox/TextDecoder.h"

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

DataAccess& dataAccess() {
    return *installed();
}

void installDataAccess(std::shared_ptr<DataAccess> factory) {
    installed() = factory ? std::move(factory) : std::make_shared<RealDataAccess>();
}

QString chooseParadoxCodePages(const QString& all, const QMap<QString, QString>& byTable) {
    std::map<std::string, std::string> tables;
    for (auto it = byTable.begin(); it != byTable.end(); ++it)
        tables[it.key().toStdString()] = it.value().toStdString();
    for (const QString& name : QStringList{all} + byTable.values())
        if (!name.isEmpty() && !paradox::TextDecoder(name.toStdString()).usable())
            return name;
    paradox::chooseCharacterSets(all.toStdString(), std::move(tables));
    return {};
}

} // namespace dravena
