// dravena-cli paradox-tables run as a user runs it.

#include "CliRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using dravena::testing::cliEnvironment;
using dravena::testing::CliRun;
using dravena::testing::runCli;

namespace {

TEST(ParadoxTablesCommand, ListsTheTablesAsTheTablesWindowDoes) {
    QTemporaryDir folder;
    for (const char* name : {"Orders.db", "a.db.db", "~temp.db", "notes.txt", "sub/orders.DB",
                             "sub/deeper/Zeta.DB", ".hidden/secret.db", "straße.db"}) {
        const QString path = folder.filePath(QString::fromUtf8(name));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const CliRun run = runCli({"paradox-tables", "--folder", folder.path()}, cliEnvironment());
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
    // In the window's order; a table of a sub-folder under the path the other commands take.
    EXPECT_EQ(run.lines, (QStringList{"A", "ORDERS", "sub/ORDERS", QString::fromUtf8("STRAßE"),
                                      "sub/deeper/ZETA"}));
}

TEST(ParadoxTablesCommand, AMissingFolderIsAFailure) {
    QTemporaryDir folder;
    const CliRun run =
        runCli({"paradox-tables", "--folder", folder.filePath("missing")}, cliEnvironment());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.lines.isEmpty());
    EXPECT_TRUE(run.errors.contains("not a folder")) << run.errors.toStdString();
}

} // namespace

namespace {

// Every name paradox-tables prints is a table sql reads where it lies, under its own name.
TEST(ParadoxTablesCommand, PrintsNamesThatSqlTakes) {
    QTemporaryDir folder;
    const QString samples = QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples/");
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::copy(samples + "ORDERS.DB", folder.filePath("sub/orders.db")));
    ASSERT_TRUE(QFile::copy(samples + "CUSTOMER.DB", folder.filePath("CUSTOMER.DB")));
    ASSERT_TRUE(QFile::copy(samples + "CUSTOMER.MB", folder.filePath("CUSTOMER.MB")));
    const CliRun listed = runCli({"paradox-tables", "--folder", folder.path()}, cliEnvironment());
    ASSERT_EQ(listed.lines, (QStringList{"CUSTOMER", "sub/ORDERS"}));
    const CliRun sql =
        runCli(QStringList{"sql", "--folder", folder.path()} + listed.lines, cliEnvironment());
    EXPECT_EQ(sql.exitCode, 0) << sql.errors.toStdString();
    EXPECT_EQ(sql.lines.filter(QStringLiteral("CREATE TABLE")).size(), 2);
    const qsizetype orders =
        sql.lines.indexOf(sql.lines.filter(QStringLiteral("CREATE TABLE \"ORDERS\"(")).value(0));
    ASSERT_GT(orders, 0);
    EXPECT_EQ(
        sql.lines.mid(orders + 1, 240).filter(QStringLiteral("INSERT INTO \"ORDERS\" ")).size(),
        240);
    EXPECT_EQ(sql.lines.value(orders + 241), QStringLiteral("COMMIT;"));
}

} // namespace
