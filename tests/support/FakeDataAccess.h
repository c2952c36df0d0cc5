#pragma once

#include "dataaccess/DataAccess.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace dravena::testing {

// A data-access factory for window tests: creation can be made to fail, and every open and every
// statement executed is recorded and answered by a script (throw to refuse). Without a script a
// statement is refused. Queries are not offered.
class FakeDataAccess final : public DataAccess {
public:
    std::unique_ptr<Connection> createConnection() override;
    std::unique_ptr<Recordset> createRecordset() override;

    bool failCreation = false;
    std::function<void(const QString& connectionString)> onOpen;
    QStringList opened; // every connection string given to open, in order
    std::function<void(const QString& sql)> onExecute;
    QStringList executed; // every statement given to execute, in order
};

// Installs a FakeDataAccess for the lifetime of the guard.
class ScopedDataAccess {
public:
    ScopedDataAccess();
    ~ScopedDataAccess();
    FakeDataAccess* operator->() { return fake_.get(); }

private:
    std::shared_ptr<FakeDataAccess> fake_;
};

} // namespace dravena::testing
