// dravena-cli verify and send --verify against the test server: every sample table identical
// after send; a value changed, a row gone or added, a column of another type found and named.

#include "CliRun.h"
#include "TestDatabase.h"
#include "TransferTables.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <optional>

using dravena::testing::CliRun;
using dravena::testing::runCli;

namespace {

class VerifyCli : public dravena::testing::ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        dravena::testing::writeKinds(folder.filePath("VfyKinds.db"));
        dravena::testing::writeNumbers(folder.filePath("VfyNums.db"), 5);
        dravena::testing::writeNumbers(folder.filePath("VfyOdd.db"), 4, {{2, 1e130}});
        for (const char* table : {"VFYKINDS", "VFYNUMS", "VFYODD", "VFYMEMO"})
            dropIfExists(table);
    }
    void TearDown() override {
        if (!IsSkipped())
            for (const char* table : {"VFYKINDS", "VFYNUMS", "VFYODD", "VFYMEMO"})
                dropIfExists(table);
    }

    CliRun run(const char* command, const QString& samples, const QStringList& more) const {
        return runCli(
            QStringList{command, "--folder", samples, "--sid", db.sid, "--user", db.user} + more,
            dravena::testing::cliEnvironment(&db.password));
    }
    CliRun send(const QStringList& more) const {
        return run("send", folder.path(), QStringList{"--overwrite", "yes"} + more);
    }
    CliRun verify(const QStringList& more) const { return run("verify", folder.path(), more); }

    // The summary: the line before the run folder's path, which ends the output.
    static QString summaryOf(const CliRun& run) { return run.lines.value(run.lines.size() - 2); }

    // The report's lines that start with the text.
    static QStringList linesStarting(const QStringList& lines, const QString& start) {
        QStringList found;
        for (const QString& line : lines)
            if (line.startsWith(start))
                found.append(line);
        return found;
    }

    QTemporaryDir folder;
};

// In both mappings, over three jobs, the first table named twice (both stay on one job, so the
// second replaces the first whole): each table's line comes once and whole, and what cannot
// arrive is found: a row the server refuses (1e130 in a FLOAT), a row with a date before the
// year 1 that a DATE column cannot hold (send refuses it).
TEST_F(VerifyCli, EverySampleTableVerifiesIdenticalAfterSend) {
    const QStringList folders = {folder.path(), QStringLiteral(DRAVENA_PARADOX_SAMPLES "/extdata"),
                                 QStringLiteral(DRAVENA_PARADOX_SAMPLES "/fields"),
                                 QStringLiteral(DRAVENA_PARADOX_SAMPLES "/joins"),
                                 QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples")};
    static const QRegularExpression tableLine(
        QStringLiteral("^(\\S+): \\d+ of \\d+ rows? sent, \\d+ failed, \\d+\\.\\ds( \\(not "
                       "complete\\))?$"));
    for (const char* schema : {"plain", "full"}) {
        const QString notWhole = schema == QLatin1String("plain") ? "VFYODD" : "TYPSAMMLUNG";
        for (const QString& samples : folders) {
            SCOPED_TRACE((QLatin1String(schema) + u' ' + samples).toStdString());
            const QStringList names = dravena::testing::tableNamesIn(samples);
            ASSERT_GE(names.size(), 3);
            const CliRun sent = run("send", samples,
                                    QStringList{"--schema", schema, "--overwrite", "yes", "--batch",
                                                "1000", "--jobs", "3", "--verify"} +
                                        names + QStringList{names.front()});
            QStringList reported;
            for (const QString& line : sent.output.split(u'\n'))
                if (const auto match = tableLine.match(line); match.hasMatch())
                    reported.append(match.captured(1));
            QStringList expected = names + QStringList{names.front()};
            expected.sort();
            reported.sort();
            EXPECT_EQ(reported.join(u' ').toStdString(), expected.join(u' ').toStdString())
                << sent.errors.toStdString();
            EXPECT_TRUE(sent.output.contains(
                QStringLiteral("\ndravena-cli send: %1 tables: ").arg(expected.size())))
                << sent.errors.toStdString();
            const CliRun checked = run("verify", samples, QStringList{"--schema", schema} + names);
            for (const QString& name : names) {
                const bool whole = name != notWhole;
                EXPECT_EQ(sent.output.contains("\n" + name + ": identical, "), whole)
                    << name.toStdString() << "\n"
                    << sent.errors.toStdString();
                EXPECT_EQ(linesStarting(checked.lines, name + ": identical, ").size(),
                          whole ? 1 : 0)
                    << checked.lines.join("\n").toStdString();
                if (!whole) {
                    EXPECT_EQ(linesStarting(checked.lines, name + ": differs: ")
                                  .value(0)
                                  .section("; ", 1),
                              "1 only in the Paradox table, 0 only on the server");
                }
            }
            EXPECT_EQ(checked.exitCode, names.contains(notWhole) ? 1 : 0)
                << checked.errors.toStdString();
            const qsizetype identical = names.size() - (names.contains(notWhole) ? 1 : 0);
            EXPECT_TRUE(summaryOf(checked).startsWith(
                QStringLiteral("dravena-cli verify: %1 tables: %2 identical, ")
                    .arg(names.size())
                    .arg(identical)))
                << summaryOf(checked).toStdString();
            // The foreign keys of a full run would keep the next run from dropping the tables.
            for (const QString& name : names)
                executeAll({QStringLiteral("DROP TABLE IF EXISTS \"%1\" CASCADE").arg(name)});
        }
    }
}

// One value of the first row changed on the server, for each kind of field: verify names the
// row and the field (the long memo and the picture read in full: their last character and byte,
// told with where the two sides part and both lengths).
TEST_F(VerifyCli, AChangedValueOfEachKindIsNamedWithItsRowAndField) {
    struct Change {
        const char* schema;
        const char* field;
        const char* value;
        const char* parting = nullptr; // how a long value's report ends, on the Paradox side
    };
    const Change changes[] = {
        {"plain", "Id", "7"},
        {"plain", "Name", "'O''Brien x'"},
        {"plain", "Notes", "left(\"Notes\", -1) || 'X'",
         "(they part at character 5000; Paradox 5000, server 5000)"},
        {"plain", "Picture", "set_byte(\"Picture\", 2999, 2)",
         "(they part at byte 3000; Paradox 3000, server 3000)"},
        {"plain", "Amount", "13.123458"},
        {"plain", "Whole", "-41"},
        {"plain", "Ratio", "0.10000000000000002"},
        {"plain", "Price", "'13.0020'"},
        {"plain", "Count", "-32766"},
        {"plain", "Big", "2147483646"},
        {"plain", "Flag", "'False'"},
        {"plain", "Day", "'2024-02-28'"},
        {"plain", "At", "'23:59:59.998'"},
        {"plain", "Stamp", "'1999-12-31 23:59:59.501'"},
        {"plain", "Code", "'2700FF02'"},
        // The carried schema's typed columns.
        {"full", "Id", "7"},
        {"full", "Name", "'O''Brien x'"},
        {"full", "Notes", "left(\"Notes\", -1) || 'X'",
         "(they part at character 5000; Paradox 5000, server 5000)"},
        {"full", "Picture", "set_byte(\"Picture\", 2999, 2)",
         "(they part at byte 3000; Paradox 3000, server 3000)"},
        {"full", "Amount", "13.123458"},
        {"full", "Ratio", "0.10000000000000002"},
        {"full", "Price", "13.0021"},
        {"full", "Flag", "0"},
        {"full", "Day", "DATE '2024-02-28'"},
        {"full", "At", "INTERVAL '23:59:59.998'"},
        {"full", "Stamp", "TIMESTAMP '1999-12-31 23:59:59.501'"},
        {"full", "Code", "set_byte(\"Code\", 3, 2)"},
    };
    for (const auto& [schema, field, value, parting] : changes) {
        SCOPED_TRACE(
            QStringLiteral("%1 %2").arg(QLatin1String(schema), QLatin1String(field)).toStdString());
        ASSERT_EQ(send({"--schema", schema, "VFYKINDS"}).exitCode, 0);
        executeAll({QStringLiteral("UPDATE \"VFYKINDS\" SET \"%1\" = %2 WHERE \"Id\" = 1")
                        .arg(QLatin1String(field), QLatin1String(value))});
        const CliRun checked = verify({"--schema", schema, "VFYKINDS"});
        EXPECT_EQ(checked.exitCode, 1) << checked.errors.toStdString();
        const QString report = checked.lines.join("\n");
        EXPECT_EQ(linesStarting(checked.lines,
                                "VFYKINDS: differs: 3 rows in the Paradox table, 3 on "
                                "the server; 1 only in the Paradox table, 1 only on "
                                "the server")
                      .size(),
                  1)
            << report.toStdString();
        const QStringList paradoxSide =
            linesStarting(checked.lines,
                          QStringLiteral("  row 1 only in the Paradox table; the most alike server "
                                         "row differs in \"%1\": Paradox ")
                              .arg(QLatin1String(field)));
        const QStringList serverSide = linesStarting(
            checked.lines,
            QStringLiteral("  a row only on the server; it differs from Paradox row 1 in \"%1\": "
                           "server ")
                .arg(QLatin1String(field)));
        ASSERT_EQ(paradoxSide.size(), 1) << report.toStdString();
        ASSERT_EQ(serverSide.size(), 1) << report.toStdString();
        // That field only.
        EXPECT_FALSE(paradoxSide[0].contains("; \"")) << paradoxSide[0].toStdString();
        if (parting != nullptr) {
            EXPECT_TRUE(paradoxSide[0].endsWith(QLatin1String(parting)))
                << paradoxSide[0].toStdString();
        }
        EXPECT_TRUE(summaryOf(checked).startsWith(
            "dravena-cli verify: 1 table: 0 identical, 1 differs, 0 not compared; 3 Paradox rows"));
    }
}

// What happened to the table on the server after it arrived: rows gone, added, twinned or
// blanked are counted on their side; a column of another type (its values still reading the
// same) or one the server added is told.
TEST_F(VerifyCli, ChangesOnTheServerAreCountedAndToldOnTheirSide) {
    const QString sameRows = "VFYNUMS: differs: 5 rows in the Paradox table, 5 on the server; 0 "
                             "only in the Paradox table, 0 only on the server";
    const QString oneMore = "VFYNUMS: differs: 5 rows in the Paradox table, 6 on the server; 0 "
                            "only in the Paradox table, 1 only on the server";
    const QString kindsSame = "VFYKINDS: differs: 3 rows in the Paradox table, 3 on the server; 0 "
                              "only in the Paradox table, 0 only on the server";
    struct Case {
        QStringList statements;
        QStringList told;              // lines of the report, in their order
        const char* table = "VFYNUMS"; // sent and verified
        const char* schema = "plain";
    };
    const Case cases[] = {
        {{"DELETE FROM \"VFYNUMS\" WHERE \"N\" = 2.5"},
         {"VFYNUMS: differs: 5 rows in the Paradox table, 4 on the server; 1 only in the Paradox "
          "table, 0 only on the server",
          "  row 3 only in the Paradox table: \"N\" 2.5"}},
        {{"INSERT INTO \"VFYNUMS\" VALUES('9.5')"},
         {oneMore, "  a row only on the server: \"N\" 9.5"}},
        // The server keeps no order, but it must keep every row: a twin is one row too many.
        {{"INSERT INTO \"VFYNUMS\" VALUES('1.5')"},
         {oneMore, "  a row only on the server: \"N\" 1.5"}},
        {{"UPDATE \"VFYNUMS\" SET \"N\" = NULL WHERE \"N\" = 0.5"},
         {"VFYNUMS: differs: 5 rows in the Paradox table, 5 on the server; 1 only in the Paradox "
          "table, 1 only on the server",
          "  a row only on the server: \"N\" NULL"}},
        {{"ALTER TABLE \"VFYNUMS\" ALTER COLUMN \"N\" TYPE NVARCHAR2(2000) USING CAST(\"N\" AS "
          "TEXT)",
          "ALTER TABLE \"VFYNUMS\" ADD COLUMN \"Extra\" INT"},
         {sameRows, "  column \"N\": send creates FLOAT, the server's is NVARCHAR2(2000)",
          "  column \"Extra\" (INTEGER) is only on the server"}},
        // Types compared exactly as send creates them: length, precision and scale, DATE.
        {{"ALTER TABLE \"VFYNUMS\" ALTER COLUMN \"N\" TYPE NUMERIC(32,6)"},
         {sameRows, "  column \"N\": send creates FLOAT, the server's is NUMBER(32,6)"}},
        {{"ALTER TABLE \"VFYKINDS\" ALTER COLUMN \"Name\" TYPE NVARCHAR2(60)",
          "ALTER TABLE \"VFYKINDS\" ALTER COLUMN \"Amount\" TYPE NUMERIC(12,6)",
          "ALTER TABLE \"VFYKINDS\" ALTER COLUMN \"Day\" TYPE TIMESTAMP(3)"},
         {kindsSame, "  column \"Name\": send creates NVARCHAR2(40), the server's is NVARCHAR2(60)",
          "  column \"Amount\": send creates NUMERIC(32,6), the server's is NUMBER(12,6)",
          "  column \"Day\": send creates DATE, the server's is TIMESTAMP(3)"},
         "VFYKINDS",
         "full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statements.join("; ").toStdString());
        ASSERT_EQ(send({"--schema", c.schema, c.table}).exitCode, 0);
        for (const QString& statement : c.statements)
            executeAll({statement});
        const CliRun checked = verify({"--schema", c.schema, c.table});
        EXPECT_EQ(checked.exitCode, 1);
        qsizetype after = -1; // each told line, in the report's order
        for (const QString& line : c.told) {
            const qsizetype at = checked.lines.indexOf(line, after + 1);
            EXPECT_GT(at, after) << line.toStdString() << "\n"
                                 << checked.lines.join("\n").toStdString();
            after = std::max(at, after);
        }
    }
}

// A table of a sub-folder is read where it lies, in both mappings, and checked against the
// server's table of its own name.
TEST_F(VerifyCli, ATableOfASubFolderIsCheckedWhereItLies) {
    QDir(folder.path()).mkpath("sub");
    dravena::testing::writeNumbers(folder.filePath("sub/VfyNums.db"), 7);
    for (const char* schema : {"plain", "full"}) {
        SCOPED_TRACE(schema);
        const CliRun sent = send({"--schema", schema, "--verify", "sub/VFYNUMS"});
        EXPECT_EQ(sent.exitCode, 0) << sent.errors.toStdString();
        EXPECT_TRUE(sent.output.contains("\nVFYNUMS: identical, 7 rows on each side\n"))
            << sent.errors.toStdString();
        const CliRun checked = verify({"--schema", schema, "sub/VFYNUMS", "VFYNUMS"});
        EXPECT_EQ(checked.exitCode, 1);
        EXPECT_EQ(checked.lines.value(0), "sub/VFYNUMS: identical, 7 rows on each side");
        EXPECT_EQ(checked.lines.value(1), "VFYNUMS: differs: 5 rows in the Paradox table, 7 on the "
                                          "server; 0 only in the Paradox table, 2 only on the "
                                          "server");
    }
    // Over several jobs each table is checked against its own Paradox table: the two of one
    // name in their order on one job, the other beside them.
    const CliRun jobs = send({"--jobs", "2", "--verify", "sub/VFYNUMS", "VFYKINDS", "VFYNUMS"});
    EXPECT_EQ(jobs.exitCode, 0) << jobs.errors.toStdString();
    for (const char* line : {"\nVFYNUMS: identical, 7 rows on each side\n",
                             "\nVFYKINDS: identical, 3 rows on each side\n",
                             "\nVFYNUMS: identical, 5 rows on each side\n"})
        EXPECT_TRUE(jobs.output.contains(QLatin1String(line))) << jobs.output.toStdString();
}

// Each way a verify cannot go on ends it within a minute, with what happened and exit status 1:
// a server that does not answer within --timeout (a locked table; a server session stopped while
// it returns large NCLOB values), a report nobody reads any more (after its first line).
TEST_F(VerifyCli, AVerifyThatCannotGoOnEndsWithinAMinuteAndSaysWhy) {
    ASSERT_EQ(send({"VFYNUMS"}).exitCode, 0);
    const auto holder = connect();
    const auto lock = [&] {
        holder->beginTransaction();
        holder->execute("LOCK TABLE \"VFYNUMS\" IN ACCESS EXCLUSIVE MODE");
    };
    const auto largeNclobs = [&] {
        // 40 values of a million characters each, the rows coming 50 ms apart.
        dropIfExists("VFYNUMS");
        executeAll(
            {"CREATE TABLE \"VFYNUMS\" (\"N\" NCLOB)",
             "INSERT INTO \"VFYNUMS\" SELECT repeat('x', 1000000) FROM generate_series(1, 40)",
             "ALTER TABLE \"VFYNUMS\" ENABLE ROW LEVEL SECURITY",
             "ALTER TABLE \"VFYNUMS\" FORCE ROW LEVEL SECURITY",
             "CREATE POLICY slowly ON \"VFYNUMS\" USING (pg_sleep(0.05) IS NOT NULL)"});
    };
    std::optional<pid_t> stopped;
    const auto stopWhileReturning = [&](QProcess& process) {
        const auto watcher = connect();
        QElapsedTimer looking;
        looking.start();
        while (!stopped && looking.elapsed() < 30000 && process.state() == QProcess::Running) {
            dravena::Recordset found;
            // The driver reads the rows through a cursor: its statement or one of its fetches.
            found.open("SELECT CAST(pid AS VARCHAR(20)) FROM pg_stat_activity WHERE state = "
                       "'active' AND pid <> pg_backend_pid() AND usename = current_user AND "
                       "(query LIKE '%FROM \"VFYNUMS\"%' OR query ILIKE 'fetch%')",
                       *watcher);
            if (!found.atEnd())
                stopped = static_cast<pid_t>(std::stol(std::get<std::string>(found.fieldValue(0))));
        }
        ASSERT_TRUE(stopped) << "the server's rows were never asked for";
        QThread::msleep(500); // some of the values have gone
        ::kill(*stopped, SIGSTOP);
    };
    // More report than a pipe holds: the run cannot have written it all before its reader went.
    QStringList manyTables;
    for (int i = 0; i < 2000; ++i)
        manyTables << "VFYNUMS";
    const QString noAnswer = "VFYNUMS: not compared: reading the server's table failed: No "
                             "answer from the server within %1 seconds.";
    struct Case {
        const char* what;
        std::function<void()> before;
        QStringList arguments;
        std::function<void(QProcess&)> during;
        QString firstLine;          // none: no line needs reading
        bool firstLineOnly = false; // its report goes through "| head -1"
    };
    const Case cases[] = {
        {"locked table", lock, {"--timeout", "2", "VFYNUMS"}, nullptr, noAnswer.arg(2)},
        {"output closed after its first line", nullptr, manyTables, nullptr, "VFYNUMS: identical",
         true},
        {"session stopped mid-NCLOB",
         largeNclobs,
         {"--timeout", "5", "VFYNUMS"},
         stopWhileReturning,
         noAnswer.arg(5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.before)
            c.before();
        QProcess process;
        process.setProcessEnvironment(dravena::testing::cliEnvironment(&db.password));
        const QStringList command = QStringList{DRAVENA_BINARY_DIR "/bin/dravena-cli",
                                                "verify",
                                                "--folder",
                                                folder.path(),
                                                "--sid",
                                                db.sid,
                                                "--user",
                                                db.user} +
                                    c.arguments;
        if (c.firstLineOnly) // the exit status is dravena-cli's
            process.start("bash",
                          QStringList{"-c", "\"$0\" \"$@\" | head -1; exit ${PIPESTATUS[0]}"} +
                              command);
        else
            process.start(command.front(), command.mid(1));
        ASSERT_TRUE(process.waitForStarted(30000));
        if (c.during)
            c.during(process);
        const bool ended = process.waitForFinished(60000);
        if (stopped) {
            ::kill(*stopped, SIGCONT);
            executeAll({QStringLiteral("SELECT pg_terminate_backend(%1)").arg(*stopped)});
        }
        if (holder->isOpen() && c.before)
            holder->rollback();
        if (!ended)
            process.kill();
        ASSERT_TRUE(ended) << "dravena-cli verify did not end within a minute";
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 1) << errors.toStdString();
        if (!c.firstLine.isEmpty()) {
            EXPECT_TRUE(QString::fromUtf8(process.readLine()).startsWith(c.firstLine))
                << errors.toStdString();
        }
    }
}

// send --verify tells a difference with its rows and counts it as a failure; a table whose memo
// file is gone is not identical, though its unread values are NULL on both sides; verify takes a
// table named in other letter case, as the server lists it, and tells one the server lacks.
TEST_F(VerifyCli, SendVerifiesAndVerifyTellsTablesTheServerLacks) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(DRAVENA_PARADOX_SAMPLES "/fields/memo.db"),
                            folder.filePath("VfyMemo.db")));
    const QString memoLost = "VFYMEMO: not every value of VFYMEMO could be read; the values read "
                             "are identical, 2 rows on each side";
    const CliRun sent = send({"--verify", "VFYNUMS", "VFYODD", "VFYMEMO"});
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_TRUE(sent.output.contains("\nVFYNUMS: identical, 5 rows on each side\n"));
    EXPECT_TRUE(sent.output.contains("\nVFYODD: differs: 4 rows in the Paradox table, 3 on the "
                                     "server; 1 only in the Paradox table, 0 only on the server\n"
                                     "  row 3 only in the Paradox table: \"N\" 1e+130\n"))
        << sent.errors.toStdString();
    EXPECT_TRUE(sent.output.contains(u'\n' + memoLost + u'\n')) << sent.errors.toStdString();
    EXPECT_TRUE(sent.output.contains("3 tables: 1 whole")) << sent.errors.toStdString();
    const CliRun checked = verify({"--schema=plain", "vfynums", "VFYKINDS", "VFYMEMO"});
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.lines.mid(0, 3),
              (QStringList{"VFYNUMS: identical, 5 rows on each side",
                           "VFYKINDS: not compared: the server has no such table", memoLost}));
    EXPECT_TRUE(summaryOf(checked).startsWith(
        "dravena-cli verify: 3 tables: 1 identical, 1 differs, 1 not compared; 7 Paradox rows"))
        << checked.lines.join("\n").toStdString();
}

} // namespace
