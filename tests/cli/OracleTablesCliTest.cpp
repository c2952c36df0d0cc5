#include "CliRun.h"
#include "TestDatabase.h"

#include <QProcessEnvironment>

#include "schema/Statements.h"

#include <gtest/gtest.h>

using dravena::testing::ServerTest;

namespace {

using dravena::testing::CliRun;
using dravena::testing::runCli;

QProcessEnvironment withoutPassword() {
    return dravena::testing::cliEnvironment();
}

QStringList startingWith(const QStringList& lines, const QString& prefix) {
    QStringList found;
    for (const QString& line : lines)
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            found.append(line);
    return found;
}

class OracleTablesCli : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Names of this test's own, so that tests running at the same time do not meet.
        const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        prefix = QStringLiteral("ORT%1_").arg(qHash(QByteArray(test)) % 1000000);
        for (const char* name : {"beta", "GAMMA", "Alpha", "Ärger"})
            tables.append(prefix + QString::fromUtf8(name));
        for (const char* name : {"Alpha", "beta", "GAMMA", "Ärger"})
            listed.append(prefix + QString::fromUtf8(name));
        for (const QString& name : tables) {
            dropIfExists(name);
            executeAll({QStringLiteral("CREATE TABLE \"%1\"(\"A\" INT)").arg(name)});
        }
    }
    void TearDown() override {
        for (const QString& name : tables)
            dropIfExists(name);
    }

    QStringList signOn() const { return {"oracle-tables", "--sid", db.sid, "--user", db.user}; }
    QStringList ours(const QStringList& lines) const { return startingWith(lines, prefix); }

    QString prefix;
    // Created in this order; listed as the tables window lists them.
    QStringList tables;
    QStringList listed;
};

} // namespace

TEST_F(OracleTablesCli, PrintsTheUsersTablesSortedWithoutRegardToLetterCase) {
    QProcessEnvironment environment = withoutPassword();
    environment.insert(QStringLiteral("DRAVENA_PASSWORD"), db.password);
    const CliRun run = runCli(signOn(), environment);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
    EXPECT_EQ(ours(run.lines), listed);
    // Whatever else the user owns, the whole list is in that order.
    for (qsizetype i = 1; i < run.lines.size(); ++i)
        EXPECT_LE(run.lines[i - 1].compare(run.lines[i], Qt::CaseInsensitive), 0)
            << run.lines[i - 1].toStdString() << " before " << run.lines[i].toStdString();
}

// A table a lost connection left under its loading name is listed as what it is.
TEST_F(OracleTablesCli, MarksALoadingTableAsAPartialCopy) {
    const QString table = QStringLiteral("Z") + prefix.mid(3, 6);
    const QString loading = dravena::loadingTableName(table);
    dropIfExists(loading);
    executeAll({QStringLiteral("CREATE TABLE \"%1\"(\"A\" INT)").arg(loading)});
    QProcessEnvironment environment = withoutPassword();
    environment.insert(QStringLiteral("DRAVENA_PASSWORD"), db.password);
    const CliRun run = runCli(signOn(), environment);
    dropIfExists(loading);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.lines.contains(loading + QStringLiteral(" (partial copy of %1)").arg(table)))
        << run.lines.join(u'\n').toStdString();
}

TEST_F(OracleTablesCli, ReadsThePasswordFromStandardInput) {
    const CliRun run = runCli(signOn(), withoutPassword(), db.password.toUtf8() + "\nignored\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(ours(run.lines), listed);
}

TEST_F(OracleTablesCli, AWrongPasswordFailsWithTheDriversMessage) {
    const CliRun run = runCli(signOn(), withoutPassword(), "wrong\n");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.lines.isEmpty());
    EXPECT_TRUE(run.errors.contains("password authentication failed")) << run.errors.toStdString();
}

TEST(OracleTablesCliOptions, RefusesAPasswordOnTheCommandLineAndMissingOptions) {
    const CliRun password = runCli(
        {"oracle-tables", "--sid", "x", "--user", "u", "--password", "p"}, withoutPassword());
    EXPECT_EQ(password.exitCode, 2);
    EXPECT_TRUE(password.errors.contains("never taken from the command line"));

    const CliRun noUser = runCli({"oracle-tables", "--sid", "x"}, withoutPassword(), "p\n");
    EXPECT_EQ(noUser.exitCode, 2);
    EXPECT_TRUE(noUser.errors.contains("option --user USER is missing"))
        << noUser.errors.toStdString();

    const CliRun dangling = runCli({"oracle-tables", "--sid"}, withoutPassword());
    EXPECT_EQ(dangling.exitCode, 2);
}
