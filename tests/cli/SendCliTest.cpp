// dravena-cli send against the test server: answers, reports, summary and exit status.

#include "ArrivedTable.h"
#include "CliRun.h"
#include "TestDatabase.h"
#include "TransferTables.h"

#include "paradoxwriter/TableWriter.h"
#include "schema/Statements.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using dravena::testing::CliRun;
using dravena::testing::runCli;

namespace {

class SendCli : public dravena::testing::ServerTest {
protected:
    SendCli() { ownTables = tables; }

    QStringList send(const QStringList& more) const {
        return QStringList{"send", "--folder", folder.path(), "--sid", db.sid, "--user", db.user} +
               more;
    }
    CliRun run(const QStringList& more) const {
        return runCli(send(more), dravena::testing::cliEnvironment(&db.password));
    }
    QStringList failureLines(const QString& errors) const {
        QStringList found;
        for (const QString& line : errors.split(u'\n'))
            if (line.contains(QStringLiteral(" failed: ")))
                found.append(line);
        return found;
    }

    QTemporaryDir folder;
    const QStringList tables{"CLIKINDS", "CLINUMS", "CLIODD", "CLIBIG", "CLICP"};
};

// What paradox-tables lists, send takes: a table of a sub-folder arrives from where it lies under
// its own name; a name that leaves the folder is refused; a name in small letters is the listed
// one, whose table it replaces instead of making a second.
TEST_F(SendCli, SendsATableByTheNameParadoxTablesGives) {
    QDir(folder.path()).mkpath("sub/deeper");
    dravena::testing::writeNumbers(folder.filePath("CliNums.db"), 5);
    dravena::testing::writeNumbers(folder.filePath("sub/deeper/CliNums.db"), 7);
    const CliRun listed =
        runCli({"paradox-tables", "--folder=" + folder.path()}, dravena::testing::cliEnvironment());
    ASSERT_EQ(listed.lines, (QStringList{"CLINUMS", "sub/deeper/CLINUMS"}));
    // A name that leaves the folder names no table: nothing is sent.
    const CliRun outside = run({"--", listed.lines[1], "../CLINUMS"});
    EXPECT_EQ(outside.exitCode, 2);
    EXPECT_TRUE(outside.errors.contains("dravena-cli send: ../CLINUMS: no such table"))
        << outside.errors.toStdString();
    EXPECT_EQ(std::get<std::string>(scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM "
                                           "user_tables WHERE table_name = 'CLINUMS'")),
              "0");
    const CliRun sent = run({"--", listed.lines[1]});
    EXPECT_EQ(sent.exitCode, 0);
    EXPECT_TRUE(sent.output.contains("CLINUMS: 7 of 7 rows sent")) << sent.errors.toStdString();
    dravena::testing::expectArrivedWhole(db, folder.filePath("sub/deeper"), "CLINUMS", "CLINUMS");

    const CliRun small = run({"--overwrite", "yes", "clinums"});
    EXPECT_EQ(small.exitCode, 0) << small.errors.toStdString();
    EXPECT_TRUE(small.output.contains("CLINUMS: 5 of 5 rows sent")) << small.errors.toStdString();
    EXPECT_EQ(std::get<std::string>(scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM user_tables "
                                           "WHERE LOWER(table_name) = 'clinums'")),
              "1");
    dravena::testing::expectArrivedWhole(db, folder.path(), "CLINUMS", "CLINUMS");
}

TEST_F(SendCli, SendsTheTablesAndAnswersForExistingOnesFromItsOption) {
    dravena::testing::writeKinds(folder.filePath("CliKinds.db"));
    dravena::testing::writeNumbers(folder.filePath("CliNums.db"), 5);
    const CliRun first = run({"CLIKINDS", "CLINUMS"});
    EXPECT_EQ(first.exitCode, 0) << first.errors.toStdString();
    EXPECT_TRUE(first.output.contains("CLIKINDS: 3 of 3 rows sent, 0 failed"));
    EXPECT_TRUE(first.output.contains("2 tables: 2 whole, 0 left as they were, 0 with failures; "
                                      "8 rows sent, 0 rows failed"))
        << first.errors.toStdString();
    dravena::testing::expectArrivedWhole(db, folder.path(), "CLIKINDS", "CLIKINDS");
    dravena::testing::expectArrivedWhole(db, folder.path(), "CLINUMS", "CLINUMS");

    // The tables exist now: without an answer that is an error, "no" leaves them, "yes"
    // replaces them.
    const CliRun unanswered = run({"CLINUMS"});
    EXPECT_EQ(unanswered.exitCode, 1);
    EXPECT_TRUE(unanswered.errors.contains("CLINUMS: the server already has this table"));
    const CliRun no = run({"--overwrite", "no", "CLINUMS"});
    EXPECT_EQ(no.exitCode, 0) << no.errors.toStdString();
    EXPECT_TRUE(no.output.contains("CLINUMS: left as it is on the server"));
    const CliRun yes = run({"--overwrite=yes", "CLINUMS", "CLINUMS"});
    EXPECT_EQ(yes.exitCode, 0) << yes.errors.toStdString();
    EXPECT_EQ(dravena::testing::expectArrivedWhole(db, folder.path(), "CLINUMS", "CLINUMS"), 5);
}

TEST_F(SendCli, TellsEveryFailureWithTableAndRowAndExitsNonZero) {
    dravena::testing::writeNumbers(folder.filePath("CliOdd.db"), 4, {{2, 1e130}});
    const CliRun odd = run({"CLIODD"});
    EXPECT_EQ(odd.exitCode, 1);
    const QStringList failures = failureLines(odd.errors);
    ASSERT_EQ(failures.size(), 1) << odd.errors.toStdString();
    EXPECT_TRUE(failures[0].startsWith("dravena-cli send: CLIODD: row 3: INSERT failed: "))
        << failures[0].toStdString();
    EXPECT_TRUE(odd.output.contains("1 table: 0 whole, 0 left as they were, 1 with failures; "
                                    "3 rows sent, 1 row failed"))
        << odd.output.toStdString();

    const QString wrong = db.password + "-wrong";
    const CliRun refused = runCli(send({"CLIODD"}), dravena::testing::cliEnvironment(&wrong));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.errors.count(u'\n'), 1) << refused.errors.toStdString();
    EXPECT_TRUE(refused.errors.contains("password authentication failed"));

    for (const QStringList& usage :
         {QStringList{"send", "--folder", "x"}, send({"--overwrite", "maybe", "CLIODD"}), send({})})
        EXPECT_EQ(runCli(usage, dravena::testing::cliEnvironment(&db.password)).exitCode, 2);
}

// Names longer than the server takes (30 bytes; the Cyrillic field names of of.db are up to 41)
// are cut with a hash, each told with its Paradox name; the table arrives whole under them and
// sql writes the same names.
TEST_F(SendCli, NamesLongerThanTheServerTakesAreCutAndTold) {
    const QString extdata = QStringLiteral(DRAVENA_PARADOX_SAMPLES "/extdata");
    const QString longName = QString::fromUtf8("ОСНОВНЫЕ_СРЕДСТВА_УЧЁТ"); // 43 bytes
    ASSERT_TRUE(QFile::copy(extdata + "/of.db", folder.filePath(longName + ".db")));
    struct Case {
        QString folder;
        QString table;
        QString serverTable;
        QStringList cut; // Paradox names told as cut
    };
    const QStringList columns{"Инвентарный номер", "Группа для переоценки", "Дата приобретения",
                              "Служебные отметки", "Отметка о списании",    "Наименование КОМ"};
    const QString cutTable = QString::fromUtf8("ОСНОВНЫЕ_СРЕ_b554a0");
    const std::vector<Case> cases{
        {extdata, "OF", "OF", columns},
        {folder.path(), longName, cutTable, QStringList{longName} + columns}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.toStdString());
        dropIfExists(c.serverTable);
        const CliRun sent = runCli(
            QStringList{"send", "--folder", c.folder, "--sid", db.sid, "--user", db.user, c.table},
            dravena::testing::cliEnvironment(&db.password));
        EXPECT_EQ(sent.exitCode, 0) << sent.errors.toStdString();
        const CliRun sql =
            runCli({"sql", "--folder", c.folder, c.table}, dravena::testing::cliEnvironment());
        const QStringList creates = sql.lines.filter(QRegularExpression("^CREATE TABLE "));
        for (const CliRun* run : {&sent, &sql}) {
            static const QRegularExpression cutLine(QStringLiteral(
                "warning: (?:table|column) \"([^\"]+)\" is \"([^\"]+)\" on the server"));
            QStringList told;
            for (auto it = cutLine.globalMatch(run->errors); it.hasNext();) {
                const auto match = it.next();
                told.append(match.captured(1));
                EXPECT_LE(match.captured(2).toUtf8().size(), 30);
                EXPECT_TRUE(creates.value(0).contains("\"" + match.captured(2) + "\""))
                    << "sql names it alike: " << match.captured(2).toStdString();
            }
            EXPECT_EQ(told, c.cut) << run->errors.toStdString();
        }
        EXPECT_EQ(dravena::testing::expectArrivedWhole(db, c.folder, c.table, c.serverTable), 2197);
        dropIfExists(c.serverTable);
    }
}

// A table whose header names CP1252 while its text is CP866 (0x81, "Б", has no character in
// CP1252): read as the header says, a value is not carried exactly, so send counts the table not
// whole and verify names the field; with --code-page for the run or the table it arrives as
// written and verifies identical.
TEST_F(SendCli, ACodePageChosenReadsTextWrittenInAnother) {
    {
        dravena::paradox::WriterOptions options;
        options.codePage = 866;
        dravena::paradox::TableWriter writer(folder.filePath("CliCp.db").toStdString(),
                                             {{"Id", dravena::paradox::FieldType::Short, 2},
                                              {"Word", dravena::paradox::FieldType::Alpha, 10}},
                                             options);
        writer.append({std::int64_t{1}, std::string("Бор")});
        writer.append({std::int64_t{2}, std::string("Bor")});
        writer.finish();
    }
    QFile header(folder.filePath("CliCp.db"));
    ASSERT_TRUE(header.open(QIODevice::ReadWrite) && header.seek(0x6A));
    header.write(QByteArray("\xE4\x04", 2)); // CP1252
    header.close();
    const auto verify = [&](const QStringList& more) {
        return runCli(
            QStringList{"verify", "--folder", folder.path(), "--sid", db.sid, "--user", db.user} +
                more + QStringList{"CLICP"},
            dravena::testing::cliEnvironment(&db.password));
    };
    const QString named = "field \"Word\": a byte has no character in CP1252";
    const CliRun header1252 = run({"CLICP"});
    EXPECT_EQ(header1252.exitCode, 1) << header1252.errors.toStdString();
    EXPECT_TRUE(header1252.errors.contains(named)) << header1252.errors.toStdString();
    const CliRun differs = verify({});
    EXPECT_EQ(differs.exitCode, 1);
    EXPECT_TRUE(differs.lines.join(u'\n').contains(named))
        << differs.lines.join(u'\n').toStdString();
    for (const char* chosen : {"CP866", "CliCp=cp866"}) {
        SCOPED_TRACE(chosen);
        const CliRun sent = run({"--overwrite", "yes", "--code-page", chosen, "CLICP"});
        EXPECT_EQ(sent.exitCode, 0) << sent.errors.toStdString();
        EXPECT_EQ(std::get<std::string>(scalar("SELECT \"Word\" FROM \"CLICP\" WHERE \"Id\" = 1")),
                  "Бор");
        const CliRun same = verify({"--code-page", chosen});
        EXPECT_EQ(same.exitCode, 0) << same.lines.join(u'\n').toStdString();
    }
}

// The tables of every sample folder through arrays of parameters of several sizes (7 divides no
// table's row count), each value equal to the Paradox reading.
TEST_F(SendCli, ArraysOfRowsArriveAsWholeAsSingleRows) {
    dravena::testing::writeKinds(folder.filePath("CliKinds.db"));
    const QStringList folders = {folder.path(), QStringLiteral(DRAVENA_PARADOX_SAMPLES "/extdata"),
                                 QStringLiteral(DRAVENA_PARADOX_SAMPLES "/fields"),
                                 QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples")};
    for (const char* batch : {"1", "7", "1000"}) {
        for (const QString& samples : folders) {
            const QStringList names = dravena::testing::tableNamesIn(samples);
            ASSERT_FALSE(names.isEmpty()) << samples.toStdString();
            const CliRun sent =
                runCli(QStringList{"send", "--folder", samples, "--sid", db.sid, "--user", db.user,
                                   "--overwrite", "yes", "--batch", batch} +
                           names,
                       dravena::testing::cliEnvironment(&db.password));
            EXPECT_TRUE(failureLines(sent.errors).isEmpty()) << sent.errors.toStdString();
            for (const QString& name : names) {
                SCOPED_TRACE(std::string("--batch ") + batch);
                dravena::testing::expectArrivedWhole(db, samples, name, name);
                dropIfExists(name);
            }
        }
    }
}

// A row the server refuses in the middle of an array, or of a block read ahead of one statement
// per row, is told once with its own number and message; the rows around it arrive.
TEST_F(SendCli, ARefusedRowInAnArrayIsToldAndItsNeighboursArrive) {
    dravena::testing::writeNumbers(folder.filePath("CliOdd.db"), 2500, {{1500, 1e130}});
    for (const char* batch : {"7", "1"}) {
        SCOPED_TRACE(std::string("--batch ") + batch);
        dropIfExists("CLIODD"); // a new table takes its name with the rows that arrived
        const CliRun odd = run({"--batch", batch, "--overwrite", "yes", "CLIODD"});
        EXPECT_EQ(odd.exitCode, 1);
        const QStringList failures = failureLines(odd.errors);
        ASSERT_EQ(failures.size(), 1) << odd.errors.toStdString();
        EXPECT_TRUE(failures[0].startsWith("dravena-cli send: CLIODD: row 1501: INSERT failed: "))
            << failures[0].toStdString();
        EXPECT_TRUE(odd.output.contains("2499 rows sent, 1 row failed"))
            << odd.output.toStdString();
        // 0.5 + 1.5 + ... + 2499.5 without 1500.5
        EXPECT_EQ(
            std::get<std::string>(scalar("SELECT CAST(SUM(\"N\") AS VARCHAR(20)) FROM \"CLIODD\"")),
            "3123499.5");
    }
}

// The server ends the session in the middle of a table: one report, a non-zero exit, no hang.
TEST_F(SendCli, ALostSessionIsToldOnceAndEndsTheRun) {
    dravena::testing::writeNumbers(folder.filePath("CliBig.db"), 20000);
    dravena::testing::writeNumbers(folder.filePath("CliNums.db"), 5);
    QProcess process;
    process.setProcessEnvironment(dravena::testing::cliEnvironment(&db.password));
    process.start(QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena-cli"),
                  send({"CLIBIG", "CLINUMS"}));
    ASSERT_TRUE(process.waitForStarted(30000));
    const auto admin = connect();
    QElapsedTimer waited;
    waited.start();
    bool terminated = false;
    const QString loading = dravena::loadingTableName("CLIBIG");
    const auto rowsSoFar = [&]() -> long long {
        if (std::get<std::string>(scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM pg_class "
                                         "WHERE relname = '" +
                                         loading + "'")) == "0")
            return 0;
        return std::stoll(std::get<std::string>(
            scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM \"" + loading + "\"")));
    };
    while (!terminated && waited.elapsed() < 60000 && process.state() == QProcess::Running) {
        if (rowsSoFar() > 100) {
            admin->execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename "
                           "= current_user AND pid <> pg_backend_pid()");
            terminated = true;
        }
        QThread::msleep(10);
    }
    ASSERT_TRUE(process.waitForFinished(60000)) << "dravena-cli did not end";
    ASSERT_TRUE(terminated);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(process.exitCode(), 1);
    // The row in flight may have arrived or not; the half-loaded table never took its name, and
    // the table after it was never reached.
    EXPECT_TRUE(failureLines(errors).isEmpty()) << errors.toStdString();
    EXPECT_EQ(errors.count(" not known to have arrived: "), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QRegularExpression(
        "^dravena-cli send: CLIBIG: row \\d+: INSERT not known to have arrived: ",
        QRegularExpression::MultilineOption)))
        << errors.toStdString();
    EXPECT_TRUE(output.contains("CLIBIG: not sent (the load ended after "));
    EXPECT_TRUE(output.contains("; no table CLIBIG was left on the server"));
    EXPECT_TRUE(
        output.contains(QRegularExpression("2 tables: 0 whole, .*; not reached: CLINUMS\n")))
        << output.toStdString();
    EXPECT_EQ(std::get<std::string>(scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM pg_class "
                                           "WHERE relname = 'CLIBIG'")),
              "0");
    dropIfExists(loading);
}

} // namespace

namespace {

// The Paradox folder's files with their sizes and times: what a send must leave as it was.
QStringList folderState(const QString& path) {
    QStringList state;
    for (const QFileInfo& file : QDir(path).entryInfoList(QDir::Files | QDir::Hidden))
        state << QStringLiteral("%1 %2 %3")
                     .arg(file.fileName())
                     .arg(file.size())
                     .arg(file.lastModified().toMSecsSinceEpoch());
    return state;
}

// A table another program holds: sent with a warning that names the user and the lock, in the
// run's report too; with --refuse-locked not read, the server's table kept and exit 1; an empty
// lock file left behind says nothing. The faults it catches: lock files not looked at (a table
// being written sent without a word), --refuse-locked ignored or replacing the server's table,
// a refusal counted whole (exit 0), and anything written into the Paradox folder.
TEST_F(SendCli, ATableAnotherProgramHoldsIsWarnedAboutOrRefused) {
    dravena::testing::writeNumbers(folder.filePath("CliNums.db"), 5);
    ASSERT_EQ(run({"CLINUMS"}).exitCode, 0);
    QFile::remove(folder.filePath("CliNums.db"));
    dravena::testing::writeNumbers(folder.filePath("CliNums.db"), 6);
    QFile net(folder.filePath("PDOXUSRS.NET"));
    ASSERT_TRUE(net.open(QIODevice::WriteOnly));
    net.write(QByteArray("\x01\x00\x00\x00", 4) + "ALICE" + QByteArray(12, '\0'));
    net.close();
    const struct Case {
        QByteArray lockFile;
        QStringList more;
        int exitCode;
        const char* rows; // on the server afterwards
        const char* told; // on standard error and in the report
    } cases[] = {
        {QByteArray("\x01\x00\x02\x00\x9a\x00", 6),
         {"--refuse-locked"},
         1,
         "5",
         "CLINUMS: not read (--refuse-locked): may be held for writing by another program: user "
         "ALICE"},
        {QByteArray("\x01\x00\x02\x00\x9a\x00", 6),
         {},
         0,
         "6",
         "CLINUMS: warning: may be held for writing by another program: user ALICE"},
        {QByteArray(), {"--refuse-locked"}, 0, "6", ""},
    };
    QTemporaryDir runs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        QFile lock(folder.filePath("CLINUMS.LCK"));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(c.lockFile);
        lock.close();
        const QStringList before = folderState(folder.path());
        const QString report = runs.filePath(QString::number(c.exitCode) + c.rows);
        const CliRun sent = run(QStringList{"--overwrite", "yes", "--report", report} + c.more +
                                QStringList{"CLINUMS"});
        EXPECT_EQ(sent.exitCode, c.exitCode) << sent.errors.toStdString();
        EXPECT_EQ(sent.errors.contains("may be held for writing"), *c.told != '\0')
            << sent.errors.toStdString();
        EXPECT_TRUE(sent.errors.contains(c.told)) << sent.errors.toStdString();
        QFile json(report + "/report.json");
        ASSERT_TRUE(json.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(json.readAll()).contains(c.told));
        EXPECT_EQ(
            std::get<std::string>(scalar("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM \"CLINUMS\"")),
            c.rows);
        EXPECT_EQ(folderState(folder.path()), before);
    }
}

} // namespace
