#pragma once

#include "dataaccess/DataAccess.h"
#include "odbc/ServerCallThread.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace dravena::testing {

// Where the integration tests find the server that stands in for Oracle.
struct TestDatabase {
    QString sid;
    QString user;
    QString password;
    // Where the settings came from, for messages.
    QString source;

    // The program's Oracle connection string for these settings.
    QString connectionString() const;
    QString connectionStringWithPassword(const QString& otherPassword) const;
};

// The settings from DRAVENA_TEST_SID, DRAVENA_TEST_USER and DRAVENA_TEST_PASSWORD, or else from
// the file that "scripts/test-db start" wrote into the build folder (testdb/env). Applies the
// ODBCSYSINI that registers the driver. Empty when neither is there.
std::optional<TestDatabase> findTestDatabase();

// The program's way of running the calls of connections, which main installs: a thread of its
// own for each connection, the windows handling their events while an operation waits.
CallThreadFactory programCallThreads();

// Gives the connections opened while it is held their threads from `factory`.
class CallThreadsInstalled {
public:
    explicit CallThreadsInstalled(CallThreadFactory factory = programCallThreads())
        : before_(setCallThreadFactory(std::move(factory))) {}
    ~CallThreadsInstalled() { setCallThreadFactory(std::move(before_)); }
    CallThreadsInstalled(const CallThreadsInstalled&) = delete;
    CallThreadsInstalled& operator=(const CallThreadsInstalled&) = delete;

private:
    CallThreadFactory before_;
};

// A suite that talks to the server. Without one the test is skipped, except under CI=true,
// where it fails: CI must run these tests.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A connection through the installed data-access factory, opened on the test server.
    std::unique_ptr<Connection> connect(int cursorLocation = ServerSideCursor) const;
    // Runs statements on a fresh connection; drops of tables that are not there are ignored.
    void executeAll(std::initializer_list<QString> statements) const;
    void dropIfExists(const QString& table) const;
    // One value of the first row of a query (read on a connection of its own).
    Value scalar(const QString& sql) const;

    TestDatabase db;
    // The tables a suite makes: dropped before each of its tests and after it.
    QStringList ownTables;
};

} // namespace dravena::testing
