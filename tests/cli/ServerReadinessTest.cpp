// What the server side says before a send: the tables it already has, whether the user may create
// tables, its longest name, and an ODBC setup that lacks the driver's registration.

#include "CliRun.h"
#include "TestDatabase.h"

#include "cli/ServerReadiness.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
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

// A driver manager whose odbcinst.ini lacks the program's driver name, or names a library that is
// not there: nothing is signed on to, and the section to add is told line for line with the Oracle
// ODBC library found on the machine (the highest version).
TEST_F(ServerReadinessTest, AnUnregisteredDriverGetsTheLinesToAdd) {
    QTemporaryDir odbc;
    ASSERT_TRUE(QDir(odbc.path()).mkpath("instantclient"));
    for (const char* name : {"libsqora.so.19.1", "libsqora.so.21.1", "libsqora.so.9.1"}) {
        QFile library(odbc.filePath(QStringLiteral("instantclient/") + name));
        ASSERT_TRUE(library.open(QIODevice::WriteOnly));
    }
    const QString found = odbc.filePath("instantclient/libsqora.so.21.1");
    QProcessEnvironment environment = dravena::testing::cliEnvironment(&db.password);
    environment.insert("ODBCSYSINI", odbc.path());
    environment.insert("ODBCINSTINI", "other.ini");
    environment.insert("LD_LIBRARY_PATH", odbc.filePath("instantclient"));
    const QString ini = odbc.filePath("other.ini");
    struct Case {
        const char* what;
        QByteArray iniText;
        const char* told;
    };
    const std::vector<Case> cases{
        {"no file", {}, "is not registered"},
        {"another driver only", "[PostgreSQL]\nDriver = /usr/lib/psqlodbcw.so\n",
         "is not registered"},
        {"a library not there",
         "[Microsoft ODBC for Oracle]\nDriver = " + QFile::encodeName(odbc.filePath("gone.so")) +
             "\n",
         "cannot be loaded"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(ini);
        if (!c.iniText.isEmpty()) {
            QFile write(ini);
            ASSERT_TRUE(write.open(QIODevice::WriteOnly));
            write.write(c.iniText);
        }
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.start(READINESS_PROBE, {db.sid, db.user, "CLIREADY"});
        ASSERT_TRUE(probe.waitForFinished(60000));
        EXPECT_EQ(probe.exitCode(), 1);
        const QJsonObject json = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
        QStringList lines;
        for (const QJsonValue& line : json["lines"].toArray())
            lines.append(line.toString());
        const QString all = lines.join('\n');
        EXPECT_EQ(json["refused"], true);
        EXPECT_EQ(json["signed_on"], false);
        EXPECT_TRUE(all.contains(c.told)) << all.toStdString();
        const QStringList section{"[Microsoft ODBC for Oracle]", "Description = Oracle ODBC driver",
                                  "Driver = " + found};
        const qsizetype at = lines.indexOf(section.front());
        ASSERT_GT(at, 0) << all.toStdString();
        EXPECT_TRUE(lines[at - 1].startsWith("add these lines to " + ini)) << all.toStdString();
        EXPECT_EQ(lines.mid(at, 3).join('\n').toStdString(), section.join('\n').toStdString());
        EXPECT_EQ(json["odbc"]["section_to_add"].toArray(), QJsonArray::fromStringList(section));
    }
}

} // namespace
