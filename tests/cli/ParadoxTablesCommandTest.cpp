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
    EXPECT_EQ(run.lines,
              (QStringList{"A", "ORDERS", "ORDERS", QString::fromUtf8("STRAßE"), "ZETA"}));
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
