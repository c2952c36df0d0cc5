// dravena-cli send's run folder against the test server: report.json as the server holds the
// tables, the refused row kept aside, the page a parser reads, and a resume that sends only what
// changed.

#include "CliRun.h"
#include "TestDatabase.h"
#include "TransferTables.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using dravena::testing::CliRun;
using dravena::testing::runCli;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject reportOf(const QString& folder) {
    return QJsonDocument::fromJson(contents(QDir(folder).filePath("report.json"))).object();
}

// The record of each table in a report, by table.
std::map<QString, QJsonObject> tablesOf(const QJsonObject& report) {
    std::map<QString, QJsonObject> tables;
    for (const QJsonValue& table : report["tables"].toArray())
        tables[table["table"].toString()] = table.toObject();
    return tables;
}

// The rows of the body of the page's table of tables; fails the test when the page is not well
// formed.
int tableRowsOfPage(const QString& path) {
    QXmlStreamReader page(contents(path));
    int rows = 0;
    bool inTables = false;
    bool inBody = false;
    while (!page.atEnd()) {
        page.readNext();
        if (page.isStartElement() && page.name() == QLatin1String("table"))
            inTables = page.attributes().value("id") == QLatin1String("tables");
        else if (page.isStartElement() || page.isEndElement()) {
            if (page.name() == QLatin1String("tbody"))
                inBody = page.isStartElement();
            else if (inTables && inBody && page.isStartElement() &&
                     page.name() == QLatin1String("tr"))
                ++rows;
            else if (page.isEndElement() && page.name() == QLatin1String("table"))
                inTables = false;
        }
    }
    EXPECT_FALSE(page.hasError()) << page.errorString().toStdString() << " at line "
                                  << page.lineNumber();
    return rows;
}

class RunFolderCli : public dravena::testing::ServerTest {
protected:
    RunFolderCli() { ownTables = tables; }

    // send with the server and user from the environment, not the command line.
    CliRun send(const QStringList& more) const {
        QProcessEnvironment environment = dravena::testing::cliEnvironment(&db.password);
        environment.insert("DRAVENA_SID", db.sid);
        environment.insert("DRAVENA_USER", db.user);
        return runCli(QStringList{"send", "--folder", folder.path()} + more, environment);
    }
    std::int64_t serverRows(const QString& table) const {
        return std::stoll(std::get<std::string>(
            scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM \"" + table + "\"")));
    }
    // What a run told of each table, "unchanged, not sent" or the rows sent, without the time.
    static std::string tableLines(const CliRun& run) {
        QStringList lines = run.lines.filter(QRegularExpression("^RUN[A-Z]+: "));
        lines.replaceInStrings(QRegularExpression(", \\d+\\.\\ds$"), QString());
        lines.sort();
        return lines.join(u'\n').toStdString();
    }

    QTemporaryDir folder;
    QTemporaryDir runs;
    const QStringList tables{"RUNKINDS", "RUNNUMS", "RUNODD"};
};

TEST_F(RunFolderCli, KeepsTheRunAndTheRefusedRowsAndResumesWhatDidNotArrive) {
    dravena::testing::writeKinds(folder.filePath("RunKinds.db"));
    dravena::testing::writeNumbers(folder.filePath("RunNums.db"), 5);
    dravena::testing::writeNumbers(folder.filePath("RunOdd.db"), 4, {{2, 1e130}});
    const QString first = runs.filePath("first");
    const CliRun sent = send({"--all", "--report", first});
    EXPECT_EQ(sent.exitCode, 1);
    // Results on standard output, the folder last; the one refused row on standard error.
    EXPECT_EQ(sent.lines.value(sent.lines.size() - 1), first);
    EXPECT_TRUE(sent.lines.value(sent.lines.size() - 2)
                    .startsWith("dravena-cli send: 3 tables: 2 whole, 0 left as they were, 1 with "
                                "failures; 11 rows sent, 1 row failed"))
        << sent.output.toStdString();
    const QStringList errors = sent.errors.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 1) << sent.errors.toStdString();
    EXPECT_TRUE(errors[0].startsWith("dravena-cli send: RUNODD: row 3: INSERT failed: "));

    // report.json as the server holds the tables; the password nowhere.
    const QJsonObject report = reportOf(first);
    EXPECT_EQ(report["version"].toInt(), 1);
    EXPECT_EQ(report["exit_status"].toInt(), 1);
    EXPECT_EQ(report["settings"]["--user"].toString(), db.user);
    EXPECT_FALSE(contents(first + "/report.json").contains(db.password.toUtf8()));
    auto recorded = tablesOf(report);
    ASSERT_EQ(recorded.size(), 3u);
    for (const auto& [name, table] : recorded) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(table["rows_sent"].toInteger(), serverRows(name));
        const QJsonObject file = table["source_files"][0].toObject();
        const QByteArray bytes = contents(folder.filePath(file["path"].toString()));
        EXPECT_EQ(file["size"].toInteger(), bytes.size());
        EXPECT_EQ(file["sha256"].toString(),
                  QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
    EXPECT_EQ(recorded["RUNKINDS"]["outcome"].toString(), "whole");
    EXPECT_EQ(recorded["RUNKINDS"]["source_files"].toArray().size(), 2); // .DB and .MB
    EXPECT_EQ(recorded["RUNODD"]["outcome"].toString(), "not complete");
    EXPECT_EQ(recorded["RUNODD"]["rows_read"].toInteger(), 4);
    EXPECT_EQ(recorded["RUNODD"]["rows_refused"].toInteger(), 1);
    const QJsonObject refused = recorded["RUNODD"]["refused_rows"][0].toObject();
    EXPECT_EQ(refused["row"].toInteger(), 3);

    // Exactly the refused row, with the server's message and its value.
    QString message = refused["message"].toString();
    ASSERT_FALSE(message.isEmpty());
    message.replace(u'"', QStringLiteral("\"\""));
    EXPECT_EQ(QString::fromUtf8(contents(first + "/rejects/RUNODD.csv")),
              "\"source row\",\"message\",\"N\"\r\n\"3\",\"" + message + "\",\"1e+130\"\r\n");
    EXPECT_FALSE(QFile::exists(first + "/rejects/RUNNUMS.csv"));
    EXPECT_EQ(tableRowsOfPage(first + "/report.html"), 3);

    // The refused value mended: only that table goes again.
    ASSERT_TRUE(QFile::remove(folder.filePath("RunOdd.db")));
    dravena::testing::writeNumbers(folder.filePath("RunOdd.db"), 4);
    const QString second = runs.filePath("second");
    const CliRun resumed =
        send({"--resume", first, "--overwrite", "yes", "--report", second, "--quiet"});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.errors.toStdString();
    // --quiet: the summary and the folder only.
    ASSERT_EQ(resumed.lines.size(), 2) << resumed.output.toStdString();
    EXPECT_TRUE(resumed.lines[0].startsWith("dravena-cli send: 1 table: 1 whole"));
    EXPECT_TRUE(resumed.lines[0].endsWith("; 2 tables unchanged, not sent"));
    EXPECT_EQ(serverRows("RUNODD"), 4);
    recorded = tablesOf(reportOf(second));
    EXPECT_EQ(recorded["RUNODD"]["outcome"].toString(), "whole");
    EXPECT_EQ(recorded["RUNNUMS"]["outcome"].toString(), "unchanged, not sent");

    // A server table that lost rows since, and a table whose file changed, go again.
    executeAll({"DELETE FROM \"RUNNUMS\" WHERE \"N\" < 1"});
    for (const QString& file : QDir(folder.path()).entryList({"RunKinds.*"}))
        ASSERT_TRUE(QFile::remove(folder.filePath(file)));
    dravena::testing::writeNumbers(folder.filePath("RunKinds.db"), 6);
    const CliRun third = send({"--resume", runs.filePath("second"), "--overwrite", "yes",
                               "--report", runs.filePath("third")});
    EXPECT_EQ(third.exitCode, 0) << third.errors.toStdString();
    EXPECT_EQ(tableLines(third), "RUNKINDS: 6 of 6 rows sent, 0 failed\n"
                                 "RUNNUMS: 5 of 5 rows sent, 0 failed\n"
                                 "RUNODD: unchanged, not sent");

    // verify leaves its own run folder, with what it found of each table.
    QProcessEnvironment environment = dravena::testing::cliEnvironment(&db.password);
    environment.insert("DRAVENA_SID", db.sid);
    environment.insert("DRAVENA_USER", db.user);
    const CliRun checked = runCli({"verify", "--folder", folder.path(), "RUN*"}, environment);
    EXPECT_EQ(checked.exitCode, 0) << checked.output.toStdString();
    const QString verified = checked.lines.value(checked.lines.size() - 1);
    EXPECT_TRUE(verified.contains("/dravena/runs/")) << verified.toStdString();
    for (const auto& [name, table] : tablesOf(reportOf(verified)))
        EXPECT_EQ(table["verify"]["result"].toString(), "identical") << name.toStdString();
    EXPECT_EQ(tableRowsOfPage(verified + "/report.html"), 3);
}

} // namespace
