// Replacing a server table with dravena-cli send when the load goes wrong: the old table stays as
// it was, whatever stops the new one.

#include "CliRun.h"
#include "TestDatabase.h"
#include "TransferTables.h"

#include "schema/Statements.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

using dravena::testing::cliEnvironment;

namespace {

constexpr int OldRows = 5; // 0.5 + 1.5 + ... + 4.5
constexpr const char* OldSum = "12.5";
constexpr int NewRows = 20000;

class SafeReplace : public dravena::testing::ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        dropIfExists(Faults);
        dropIfExists(Table);
        dropIfExists(loading());
        executeAll({"CREATE TABLE " + Faults + " (statement VARCHAR(200), action VARCHAR(10))"});
    }
    void TearDown() override {
        if (IsSkipped())
            return;
        dropIfExists(Faults);
        dropIfExists(Table);
        dropIfExists(loading());
    }

    static QString loading() { return dravena::loadingTableName(Table); }

    QStringList send(const QString& folder, const QStringList& more = {}) const {
        return QStringList{"send",   "--folder", folder,        "--sid", db.sid,
                           "--user", db.user,    "--overwrite", "yes"} +
               more + QStringList{Table};
    }

    bool exists(const QString& table) const {
        return std::get<std::string>(
                   scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM user_tables WHERE "
                          "table_name = '" +
                          table + "'")) != "0";
    }
    long long rows(const QString& table) const { // -1: no such table
        if (!exists(table))
            return -1;
        return std::stoll(std::get<std::string>(
            scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM \"" + table + "\"")));
    }
    std::string sum() const {
        return std::get<std::string>(
            scalar("SELECT CAST(SUM(\"N\") AS VARCHAR(30)) FROM \"" + Table + "\""));
    }

    // The server process of the connection that is loading rows (none: 0).
    long long loadingBackend() const {
        const dravena::Value pid =
            scalar("SELECT CAST(COALESCE(MAX(pid), 0) AS VARCHAR(20)) FROM pg_stat_activity "
                   "WHERE usename = current_user AND pid <> pg_backend_pid() AND query LIKE "
                   "'INSERT%'");
        return std::stoll(std::get<std::string>(pid));
    }

    static inline const QString Table = QStringLiteral("SAFEOLD");
    // The test server's DDL statements that fail on request (scripts/test-db).
    static inline const QString Faults = QStringLiteral("test_faults");
    QTemporaryDir oldFolder;
    QTemporaryDir newFolder;
};

// Each fault of a replace, from the source, the server, the connection or the user: the old
// table keeps its rows and its name, and the run says so.
TEST_F(SafeReplace, AFailedLoadLeavesTheOldTableAsItWas) {
    dravena::testing::writeNumbers(oldFolder.filePath(Table + ".db"), OldRows);
    ASSERT_EQ(
        dravena::testing::runCli(send(oldFolder.path()), cliEnvironment(&db.password)).exitCode, 0);
    ASSERT_EQ(rows(Table), OldRows);

    const QString newFile = newFolder.filePath(Table + ".db");
    const auto bigTable = [&] {
        QFile::remove(newFile);
        dravena::testing::writeNumbers(newFile, NewRows);
    };
    // Row 4 holds a number Oracle's FLOAT refuses: 19 of the 20 rows arrive.
    const auto refusedRow = [&] {
        QFile::remove(newFile);
        dravena::testing::writeNumbers(newFile, 20, {{3, 1e200}});
    };
    const auto withoutMemoFile = [&] {
        QFile::remove(newFile);
        dravena::testing::writeKinds(newFile);
        ASSERT_TRUE(QFile::remove(newFolder.filePath(Table + ".mb")));
    };
    const auto sevenRows = [&] {
        QFile::remove(newFile);
        dravena::testing::writeNumbers(newFile, 7);
    };
    // Fewer rows than one array: they all go in the final flush, whose INSERT the server holds
    // (a "hold" fault) until the test lets go of its lock.
    std::unique_ptr<dravena::Connection> lockHolder;
    const auto heldRows = [&] {
        QFile::remove(newFile);
        dravena::testing::writeNumbers(newFile, 500);
        lockHolder = connect();
        lockHolder->execute(QStringLiteral("SELECT pg_advisory_lock(24)"));
    };
    const auto stopDuringFlush = [&](QProcess& process) {
        const auto held = [&] {
            return std::get<std::string>(scalar(
                       "SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM pg_stat_activity WHERE usename = "
                       "current_user AND wait_event = 'advisory'")) != "0";
        };
        QElapsedTimer looking;
        looking.start();
        while (!held() && looking.elapsed() < 30000)
            QThread::msleep(10);
        ASSERT_TRUE(held());
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        QThread::msleep(200); // the signal handled while the INSERT waits
        lockHolder.reset();
    };
    const auto damagedTable = [&] {
        bigTable();
        QFile file(newFile);
        ASSERT_TRUE(file.resize(file.size() / 2));
    };
    bool viewMade = false;
    const auto refusedTable = [&] { // a view holds the loading name: CREATE TABLE is refused
        bigTable();
        viewMade = true;
        executeAll({"CREATE VIEW \"" + loading() + "\" AS SELECT 1 AS \"N\""});
    };
    std::optional<long long> stopped;
    const auto terminate = [&](QProcess&) {
        executeAll({"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = "
                    "current_user AND pid <> pg_backend_pid()"});
    };
    const auto stopServerSession = [&](QProcess&) {
        // Between two arrays the loading session's last statement is its COMMIT: wait for the
        // next INSERT.
        QElapsedTimer looking;
        looking.start();
        for (stopped = loadingBackend(); *stopped == 0 && looking.elapsed() < 10000;
             stopped = loadingBackend())
            QThread::msleep(1);
        ASSERT_GT(*stopped, 0);
        ASSERT_EQ(::kill(static_cast<pid_t>(*stopped), SIGSTOP), 0);
    };
    const auto signal = [](int number) {
        return [number](QProcess& process) {
            ::kill(static_cast<pid_t>(process.processId()), number);
        };
    };
    // The run held still while the rows on the server are counted, then stopped: what goes after
    // the stop can be counted exactly.
    std::optional<long long> rowsAtStop;
    const auto frozenSignal = [&](int number) {
        return [&, number](QProcess& process) {
            const auto pid = static_cast<pid_t>(process.processId());
            ::kill(pid, SIGSTOP);
            rowsAtStop = rows(loading());
            ::kill(pid, number);
            ::kill(pid, SIGCONT);
        };
    };
    // SIGINT once the rows are in and the old table is being replaced (its DROP waits for a lock
    // held here): the run ends whole, and says so.
    const auto signalDuringSwap = [&](QProcess& process) {
        const auto holder = connect();
        holder->beginTransaction();
        holder->execute("LOCK TABLE \"" + Table + "\" IN ACCESS EXCLUSIVE MODE");
        QElapsedTimer waiting;
        waiting.start();
        while (waiting.elapsed() < 60000 &&
               std::get<std::string>(scalar(
                   "SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM pg_stat_activity WHERE usename = "
                   "current_user AND wait_event_type = 'Lock'")) == "0")
            QThread::msleep(10);
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        holder->rollback();
    };

    struct Case {
        const char* what;
        std::function<void()> source;
        std::function<void(QProcess&)> interfere; // none: the run goes wrong by itself
        QStringList options;
        int exitCode;                  // -1: killed
        const char* told;              // in what the run printed
        bool loadingTableLeft;         // what a killed or cut-off run cannot remove
        long long rowsAfter = OldRows; // the server's table after the run
        // A statement of the run that fails on request: "refuse" or "cut" (the session ends).
        const char* failing = nullptr;
        const char* fault = nullptr;
        // The old table was dropped: the loading table holds the new rows, which the next run
        // puts in place before anything else.
        bool swapLeft = false;
        // The old table as the server spells it, when not as the Paradox table is named.
        const char* spelledOnServer = nullptr;
        int mostAfterStop = -1; // rows that may still go after a stop (the one or array in flight)
    };
    const char* kept = "SAFEOLD on the server was left as it was";
    const char* noAnswer = "No answer from the server within 5 seconds.";
    const char* refused =
        "SAFEOLD: not replaced: 1 row refused; the server's SAFEOLD was left as it was";
    const std::vector<Case> cases = {
        {"refused row", refusedRow, nullptr, {}, 1, refused, false},
        {"no .MB file",
         withoutMemoFile,
         nullptr,
         {},
         1,
         "SAFEOLD: not replaced: 3 values could not be read; the server's SAFEOLD was left as it "
         "was",
         false},
        {"incomplete copy accepted",
         refusedRow,
         nullptr,
         {"--accept-incomplete"},
         1,
         "SAFEOLD: 19 of 20 rows sent, 1 failed",
         false,
         19},
        {"RENAME refused after the DROP",
         sevenRows,
         nullptr,
         {},
         1,
         "SAFEOLD: the old table was dropped and the new one could not take its name: its rows "
         "are in the server's table DRAVENA_",
         true,
         OldRows,
         "%RENAME TO \"SAFEOLD\"%",
         "refuse",
         true},
        {"connection cut at the RENAME",
         sevenRows,
         nullptr,
         {},
         1,
         "the RENAME did not take effect, in its table DRAVENA_",
         true,
         OldRows,
         "%RENAME TO \"SAFEOLD\"%",
         "cut",
         true},
        {"connection cut at the DROP",
         sevenRows,
         nullptr,
         {},
         1,
         "the server's SAFEOLD may or may not have been dropped; the new rows are in the server's "
         "table DRAVENA_",
         true,
         OldRows,
         "%DROP TABLE \"SAFEOLD\"%",
         "cut"},
        {"letter-case twin on the server",
         sevenRows,
         nullptr,
         {"--verify"},
         0,
         "SAFEOLD: 7 of 7 rows sent, 0 failed",
         false,
         7,
         nullptr,
         nullptr,
         false,
         "safeold"},
        {"stop during the final flush",
         heldRows,
         stopDuringFlush,
         {},
         130,
         "interrupted",
         false,
         OldRows,
         "%CREATE TABLE \"DRAVENA_%",
         "hold"},
        {"damaged source", damagedTable, nullptr, {}, 1, kept, false},
        {"refused CREATE TABLE", refusedTable, nullptr, {}, 1, kept, false},
        {"lost connection", bigTable, terminate, {}, 1, "not known to have arrived", true},
        {"stopped session", bigTable, stopServerSession, {"--timeout", "5"}, 1, noAnswer, true},
        {"SIGINT", bigTable, signal(SIGINT), {}, 130, "interrupted", false},
        // One statement per row, with rows read ahead.
        {"SIGINT, batch 1", bigTable, signal(SIGINT), {"--batch", "1"}, 130, "interrupted", false},
        {"SIGTERM", bigTable, signal(SIGTERM), {"--batch", "100"}, 143, "interrupted", false},
        // A stop ends the rows read ahead after the one in flight, an array after the array.
        {"stop with rows read ahead",
         bigTable,
         frozenSignal(SIGINT),
         {"--batch", "1"},
         130,
         "interrupted",
         false,
         OldRows,
         nullptr,
         nullptr,
         false,
         nullptr,
         1},
        {"stop between arrays",
         bigTable,
         frozenSignal(SIGTERM),
         {"--batch", "100"},
         143,
         "interrupted",
         false,
         OldRows,
         nullptr,
         nullptr,
         false,
         nullptr,
         100},
        {"SIGINT during the swap",
         bigTable,
         signalDuringSwap,
         {},
         0,
         "SIGINT came after the last table's rows were in",
         false,
         NewRows},
        {"SIGKILL", bigTable, signal(SIGKILL), {}, -1, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dropIfExists(loading()); // what the case before left, so that its rows are not counted
        c.source();
        if (c.spelledOnServer != nullptr)
            executeAll({QStringLiteral("ALTER TABLE \"%1\" RENAME TO \"%2\"")
                            .arg(Table, QString::fromUtf8(c.spelledOnServer))});
        if (c.failing != nullptr)
            executeAll(
                {QStringLiteral("INSERT INTO %1 VALUES ('%2', '%3')")
                     .arg(Faults, QString::fromUtf8(c.failing), QString::fromUtf8(c.fault))});
        stopped.reset();
        rowsAtStop.reset();
        QProcess process;
        process.setProcessEnvironment(cliEnvironment(&db.password));
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena-cli"),
                      send(newFolder.path(), c.options));
        ASSERT_TRUE(process.waitForStarted(30000));
        if (c.interfere) {
            // Once rows arrive under the loading name, and before the last of them (with its
            // INSERTs held, once the table is there).
            const int arriving = c.fault != nullptr && QByteArray(c.fault) == "hold" ? 0 : 100;
            while (process.state() == QProcess::Running &&
                   (!exists(loading()) || rows(loading()) < arriving))
                QThread::msleep(10);
            ASSERT_EQ(process.state(), QProcess::Running) << "the load ended too soon";
            c.interfere(process);
        }
        const bool ended = process.waitForFinished(60000);
        if (stopped) {
            ::kill(static_cast<pid_t>(*stopped), SIGCONT);
            executeAll({QStringLiteral("SELECT pg_terminate_backend(%1)").arg(*stopped)});
        }
        executeAll({"DELETE FROM " + Faults});
        ASSERT_TRUE(ended) << "dravena-cli did not end within a minute";
        // What the run tells: its table lines on standard output, its errors on standard error.
        const QString errors =
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        if (c.exitCode < 0) {
            EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
        } else {
            EXPECT_EQ(process.exitCode(), c.exitCode) << errors.toStdString();
        }
        EXPECT_TRUE(errors.contains(QString::fromUtf8(c.told))) << errors.toStdString();
        // Refused rows count in the summary whether or not the copy took the table's place.
        static const QRegularExpression refusedRows(QStringLiteral("(\\d+ rows?) refused;"));
        if (const auto told = refusedRows.match(errors); told.hasMatch()) {
            EXPECT_TRUE(errors.contains(QStringLiteral(", %1 failed;").arg(told.captured(1))))
                << errors.toStdString();
        }

        if (c.mostAfterStop >= 0) {
            static const QRegularExpression ended(QStringLiteral("the load ended after (\\d+) of"));
            const QRegularExpressionMatch m = ended.match(errors);
            ASSERT_TRUE(m.hasMatch() && rowsAtStop) << errors.toStdString();
            EXPECT_LE(m.captured(1).toLongLong(), *rowsAtStop + c.mostAfterStop);
        }
        if (c.swapLeft) {
            // The rows are where the run said; the next run puts them in place first (and then
            // leaves the table, as asked, instead of sending its own three rows).
            EXPECT_FALSE(exists(Table));
            EXPECT_EQ(rows(loading()), 7);
            QFile::remove(newFile);
            dravena::testing::writeNumbers(newFile, 3);
            const dravena::testing::CliRun next = dravena::testing::runCli(
                QStringList{"send", "--folder", newFolder.path(), "--sid", db.sid, "--user",
                            db.user, "--overwrite", "no", Table},
                cliEnvironment(&db.password));
            EXPECT_EQ(next.exitCode, 0) << next.errors.toStdString();
            EXPECT_TRUE((next.output + next.errors)
                            .contains("SAFEOLD: put in place the complete copy an earlier run "
                                      "left in the server's table " +
                                      loading()))
                << next.errors.toStdString();
            EXPECT_EQ(rows(Table), 7);
            EXPECT_FALSE(exists(loading()));
            dropIfExists(loading()); // whatever a failure left, for the cases that follow
            dravena::testing::runCli(send(oldFolder.path()), cliEnvironment(&db.password));
        }
        if (c.spelledOnServer != nullptr) { // replaced under its own spelling
            EXPECT_EQ(rows(QString::fromUtf8(c.spelledOnServer)), c.rowsAfter);
            dropIfExists(QString::fromUtf8(c.spelledOnServer));
            dravena::testing::runCli(send(oldFolder.path()), cliEnvironment(&db.password));
            EXPECT_EQ(rows(Table), OldRows);
            continue;
        }
        EXPECT_EQ(rows(Table), c.rowsAfter);
        if (c.rowsAfter == OldRows) {
            EXPECT_EQ(sum(), OldSum);
        } else { // the old table again, for the cases that follow
            dravena::testing::runCli(send(oldFolder.path()), cliEnvironment(&db.password));
        }
        if (!c.loadingTableLeft) {
            EXPECT_FALSE(exists(loading()));
        }
        if (viewMade) {
            executeAll({"DROP VIEW \"" + loading() + "\""});
            viewMade = false;
        }
    }

    // What the killed and cut-off runs left goes before the next load, which replaces the
    // table whole.
    ASSERT_TRUE(exists(loading()));
    QFile::remove(newFile);
    dravena::testing::writeNumbers(newFile, 7);
    const dravena::testing::CliRun last =
        dravena::testing::runCli(send(newFolder.path()), cliEnvironment(&db.password));
    EXPECT_EQ(last.exitCode, 0) << last.errors.toStdString();
    EXPECT_EQ(rows(Table), 7);
    EXPECT_FALSE(exists(loading()));
}

} // namespace
