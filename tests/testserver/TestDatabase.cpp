#include "TestDatabase.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "drivers/Drivers.h"
#include "ui/ServerWait.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace dravena::testing {

namespace {

QString environment(const char* name) {
    return qEnvironmentVariable(name);
}

// Lines of the form  export NAME='value'  as written by scripts/test-db.
std::optional<TestDatabase> readEnvFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    static const QRegularExpression line(QStringLiteral("^export ([A-Z_]+)='([^']*)'$"));
    TestDatabase db;
    db.source = path;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QRegularExpressionMatch m = line.match(in.readLine());
        if (!m.hasMatch())
            continue;
        const QString name = m.captured(1);
        const QString value = m.captured(2);
        if (name == QLatin1String("DRAVENA_TEST_SID"))
            db.sid = value;
        else if (name == QLatin1String("DRAVENA_TEST_USER"))
            db.user = value;
        else if (name == QLatin1String("DRAVENA_TEST_PASSWORD"))
            db.password = value;
        else if (name == QLatin1String("ODBCSYSINI") || name == QLatin1String("ODBCINI"))
            qputenv(name.toLatin1().constData(), value.toUtf8());
    }
    if (db.sid.isEmpty() || db.user.isEmpty())
        return std::nullopt;
    return db;
}

} // namespace

QString TestDatabase::connectionString() const {
    return oracleConnectionString(sid, user, password);
}

QString TestDatabase::connectionStringWithPassword(const QString& otherPassword) const {
    return oracleConnectionString(sid, user, otherPassword);
}

std::optional<TestDatabase> findTestDatabase() {
    if (!environment("DRAVENA_TEST_SID").isEmpty()) {
        return TestDatabase{environment("DRAVENA_TEST_SID"), environment("DRAVENA_TEST_USER"),
                            environment("DRAVENA_TEST_PASSWORD"),
                            QStringLiteral("the DRAVENA_TEST_* environment")};
    }
    return readEnvFile(QStringLiteral(DRAVENA_BINARY_DIR "/testdb/env"));
}

void ServerTest::SetUp() {
    std::optional<TestDatabase> found = findTestDatabase();
    if (!found) {
        const char* why =
            "no test database: start one with 'scripts/test-db start " DRAVENA_BINARY_DIR
            "/testdb' (ctest does so) or set DRAVENA_TEST_SID, DRAVENA_TEST_USER, "
            "DRAVENA_TEST_PASSWORD and ODBCSYSINI";
        if (environment("CI") == QLatin1String("true"))
            FAIL() << why;
        GTEST_SKIP() << why;
    }
    db = *found;
    for (const QString& table : ownTables)
        dropIfExists(table);
}

void ServerTest::TearDown() {
    if (!IsSkipped())
        for (const QString& table : ownTables)
            dropIfExists(table);
}

std::unique_ptr<Connection> ServerTest::connect(int cursorLocation) const {
    std::unique_ptr<Connection> connection = dataAccess().createConnection();
    connection->setCursorLocation(cursorLocation);
    connection->open(db.connectionString());
    return connection;
}

void ServerTest::executeAll(std::initializer_list<QString> statements) const {
    const std::unique_ptr<Connection> connection = connect();
    for (const QString& sql : statements)
        connection->execute(sql);
}

void ServerTest::dropIfExists(const QString& table) const {
    const std::unique_ptr<Connection> connection = connect();
    QString quoted = table;
    quoted.replace(u'"', QStringLiteral("\"\""));
    connection->execute(QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(quoted));
}

Value ServerTest::scalar(const QString& sql) const {
    const std::unique_ptr<Connection> connection = connect(ClientSideCursor);
    const std::unique_ptr<Cursor> cursor = connection->query(sql);
    if (cursor->atEnd())
        throw RuntimeError(3021, QStringLiteral("no row: ") + sql);
    return cursor->fieldValue(0);
}

CallThreadFactory programCallThreads() {
    return serverCallThreads({waitHandlingEvents, wakeWaitingWindows});
}

} // namespace dravena::testing
