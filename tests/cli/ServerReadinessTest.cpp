// What the server side says before a send: the tables it already has, whether the user may create
// tables, its longest name, and an ODBC setup that lacks the driver's registration.

#include "CliRun.h"
#include "TestDatabase.h"

#include "cli/ServerReadiness.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using dravena::cli::checkServerReadiness;
using dravena::cli::ServerReadiness;
using dravena::cli::SignOn;

class ServerReadinessTest : public dravena::testing::ServerTest {
protected:
    ServerReadinessTest() { ownTables = {"CliReady", "test_server_version"}; }
};

TEST_F(ServerReadinessTest, TellsTheTablesThereThePrivilegeAndTheLongestName) {
    executeAll({"CREATE TABLE \"CliReady\" (\"A\" INT)"});
    struct Case {
        const char* what;
        QString password;
        QString version; // written for the server to tell; empty: it tells none
        bool refused;
        QJsonValue createTable;
        int nameBytes;
        QJsonObject tablesThere;
    };
    const QJsonObject ready{{"CLIREADY", "CliReady"}};
    const std::vector<Case> cases{
        {"the owner", db.password, "", false, true, 30, ready},
        {"a 12.1 server", db.password, "12.1.0.2.0", false, true, 30, ready},
        {"a 12.2 server", db.password, "12.2.0.1.0", false, true, 128, ready},
        {"a user without CREATE", db.password, "", true, false, 30, ready},
        {"a wrong password", db.password + "x", "", true, QJsonValue(), 30, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dropIfExists("test_server_version");
        if (!c.version.isEmpty())
            executeAll({"CREATE TABLE test_server_version (version VARCHAR(20))",
                        "INSERT INTO test_server_version VALUES ('" + c.version + "')"});
        const bool withoutCreate = c.createTable == QJsonValue(false);
        if (withoutCreate)
            executeAll({"REVOKE CREATE ON SCHEMA " + db.user + " FROM " + db.user});
        const ServerReadiness readiness =
            checkServerReadiness(SignOn{db.sid, db.user, c.password}, {"CLIREADY", "sub/ELSE"});
        if (withoutCreate)
            executeAll({"GRANT CREATE ON SCHEMA " + db.user + " TO " + db.user});
        EXPECT_EQ(readiness.refused, c.refused) << readiness.lines.join('\n').toStdString();
        EXPECT_EQ(readiness.json["refused"], c.refused);
        EXPECT_EQ(readiness.json["create_table"], c.createTable)
            << readiness.lines.join('\n').toStdString();
        EXPECT_EQ(readiness.json["name_bytes"], c.nameBytes);
        EXPECT_EQ(readiness.names.bytes, c.nameBytes);
        EXPECT_EQ(readiness.json["tables_on_server"].toObject(), c.tablesThere);
        EXPECT_EQ(readiness.tableLines.contains("CLIREADY"), !c.tablesThere.isEmpty());
        EXPECT_FALSE(readiness.tableLines.contains("sub/ELSE"));
    }
}

// check --sid on a machine whose odbcinst.ini lacks the program's driver name, or names a library
// that is not there: nothing is signed on to, the run counts as refused, and the section to add is
// printed as it goes into the file, with the Oracle ODBC library found on the machine (the
// highest version).
TEST_F(ServerReadinessTest, CheckPrintsTheLinesToAddForAnUnregisteredDriver) {
    QTemporaryDir odbc;
    ASSERT_TRUE(QDir(odbc.path()).mkpath("instantclient"));
    for (const char* name : {"libsqora.so.19.1", "libsqora.so.21.1", "libsqora.so.9.1"}) {
        QFile library(odbc.filePath(QStringLiteral("instantclient/") + name));
        ASSERT_TRUE(library.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(DRAVENA_PARADOX_SAMPLES "/extdata/country.db"),
                            odbc.filePath("country.db")));
    QProcessEnvironment environment = dravena::testing::cliEnvironment(&db.password);
    environment.insert("ODBCSYSINI", odbc.path());
    environment.insert("ODBCINSTINI", "other.ini");
    environment.insert("LD_LIBRARY_PATH", odbc.filePath("instantclient"));
    const QString ini = odbc.filePath("other.ini");
    const QStringList section{"[Microsoft ODBC for Oracle]",
                              "Description = Oracle ODBC driver (Instant Client)",
                              "Driver = " + odbc.filePath("instantclient/libsqora.so.21.1")};
    struct Case {
        const char* what;
        QByteArray iniText;
        const char* told;
        const char* where;
    };
    const std::vector<Case> cases{
        {"no file", {}, "is not registered", ":"},
        {"another driver only", "[PostgreSQL]\nDriver = /usr/lib/psqlodbcw.so\n",
         "is not registered", ":"},
        {"a library not there",
         "[Microsoft ODBC for Oracle]\nDriver = " + QFile::encodeName(odbc.filePath("gone.so")) +
             "\n",
         "cannot be loaded", " in place of its section:"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(ini);
        if (!c.iniText.isEmpty()) {
            QFile write(ini);
            ASSERT_TRUE(write.open(QIODevice::WriteOnly));
            write.write(c.iniText);
        }
        const QStringList check{"check", "--folder", odbc.path(), "--sid",
                                db.sid,  "--user",   db.user,     "COUNTRY"};
        const dravena::testing::CliRun run = dravena::testing::runCli(check, environment);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.output.contains(c.told)) << run.output.toStdString();
        const QString added = "server: add these lines to " + ini + c.where;
        const qsizetype at = run.lines.indexOf(added);
        ASSERT_GE(at, 0) << run.output.toStdString();
        EXPECT_EQ(run.lines.mid(at + 1, 3).join('\n').toStdString(),
                  section.join('\n').toStdString());
        const dravena::testing::CliRun json =
            dravena::testing::runCli(check + QStringList{"--json"}, environment);
        const QJsonObject server =
            QJsonDocument::fromJson(json.output.toUtf8())["server"].toObject();
        EXPECT_EQ(server["signed_on"], false);
        EXPECT_EQ(server["refused"], true);
        EXPECT_EQ(server["odbc"]["section_to_add"].toArray(), QJsonArray::fromStringList(section));
    }
}

} // namespace
