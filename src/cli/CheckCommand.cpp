// dravena-cli check: what sending the tables would meet, found in their files before any send.

#include "CheckSource.h"
#include "Options.h"
#include "RunFolder.h"
#include "ServerReadiness.h"
#include "TableSelection.h"
#include "base/Ports.h"
#include "schema/TableInspection.h"
#include "ui/SystemPorts.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace dravena::cli {

namespace {

// What the server adds to the findings of the run or of a table (--sid/--user): lines told
// beside those of the files, and whether they make it one that would lose or be refused.
struct ServerFindings {
    QStringList lines;
    bool losesOrRefuses = false;
};

// The server's findings of the whole run (its ODBC setup, the sign-on, the user's CREATE TABLE
// privilege, its longest name); none without --sid or --user.
ServerFindings serverFindingsOfRun(const std::optional<ServerReadiness>& readiness) {
    if (!readiness)
        return {};
    return {readiness->lines, readiness->refused};
}

// The server's findings of one table: the table it already has under the name send gives it.
ServerFindings serverFindingsOfTable(const std::optional<ServerReadiness>& readiness,
                                     const TableInspection& inspection) {
    if (!readiness)
        return {};
    return {readiness->tableLines.value(inspection.table), false};
}

QString verdictOf(const TableInspection& inspection, const ServerFindings& server) {
    if (!inspection.readable)
        return QStringLiteral("unreadable");
    if (inspection.losesOrRefuses() || server.losesOrRefuses)
        return QStringLiteral("would lose or refuse");
    if (!inspection.findings.empty() || !server.lines.isEmpty())
        return QStringLiteral("warnings");
    return QStringLiteral("ok");
}

QString codePageText(int codePage) {
    return codePage == 0 ? QStringLiteral("none") : QStringLiteral("CP%1").arg(codePage);
}

// "(row 3)", "(rows 1, 2, 3, 4, 5; 12 in all)"
QString rowsText(const InspectionFinding& finding) {
    if (finding.rows.empty())
        return {};
    QStringList rows;
    for (const std::int64_t row : finding.rows)
        rows.append(QString::number(row));
    QString text = (rows.size() == 1 ? QStringLiteral(" (row ") : QStringLiteral(" (rows ")) +
                   rows.join(QStringLiteral(", "));
    if (finding.count > static_cast<std::int64_t>(finding.rows.size()))
        text += QStringLiteral("; %1 in all").arg(finding.count);
    return text + u')';
}

// The table's line, then one line per mapping's columns and one per finding.
QStringList linesOf(const TableInspection& inspection, const QString& verdict,
                    const ServerFindings& server) {
    QString head = inspection.table + QStringLiteral(": ") + verdict;
    if (inspection.readable) {
        head += QStringLiteral("; level %1, code page %2")
                    .arg(inspection.level / 10.0, 0, 'f', 1)
                    .arg(codePageText(inspection.codePage));
        if (inspection.encoding.compare(codePageText(inspection.codePage), Qt::CaseInsensitive) !=
            0)
            head += QStringLiteral(" (read as %1)").arg(inspection.encoding);
        head += QStringLiteral(", %1").arg(counted(inspection.records, "record", "records"));
        if (inspection.headerRecords != inspection.records)
            head += QStringLiteral(" (the header counts %1)").arg(inspection.headerRecords);
        if (inspection.encrypted)
            head += QStringLiteral(", encrypted");
    }
    const auto findings = static_cast<qint64>(inspection.findings.size()) + server.lines.size();
    head += QStringLiteral(", %1").arg(counted(findings, "finding", "findings"));
    QStringList lines{head};
    if (!inspection.plainColumns.empty())
        lines.append(QStringLiteral("  plain columns: ") + columnsText(inspection.plainColumns));
    if (!inspection.fullColumns.empty())
        lines.append(QStringLiteral("  full columns: ") + columnsText(inspection.fullColumns));
    for (const InspectionFinding& finding : inspection.findings)
        lines.append(QStringLiteral("  %1%2: %3%4")
                         .arg(finding.loses ? QStringLiteral("! ") : QString(), finding.kind,
                              finding.text, rowsText(finding)));
    for (const QString& line : server.lines)
        lines.append(QStringLiteral("  server: ") + line);
    return lines;
}

QJsonArray columnsJson(const std::vector<InspectedColumn>& columns) {
    QJsonArray array;
    for (const InspectedColumn& column : columns)
        array.append(
            QJsonObject{{"field", column.field}, {"column", column.name}, {"type", column.type}});
    return array;
}

QJsonObject inspectionJson(const TableInspection& inspection, const QString& verdict,
                           const ServerFindings& server) {
    QJsonArray findings;
    for (const InspectionFinding& finding : inspection.findings) {
        QJsonArray rows;
        for (const std::int64_t row : finding.rows)
            rows.append(static_cast<qint64>(row));
        findings.append(QJsonObject{{"kind", finding.kind},
                                    {"text", finding.text},
                                    {"rows", rows},
                                    {"count", static_cast<qint64>(finding.count)},
                                    {"loses", finding.loses}});
    }
    return {{"table", inspection.table},
            {"server_table", inspection.server},
            {"verdict", verdict},
            {"readable", inspection.readable},
            {"level", inspection.level},
            {"code_page", codePageText(inspection.codePage)},
            {"read_as", inspection.encoding},
            {"encrypted", inspection.encrypted},
            {"header_records", static_cast<qint64>(inspection.headerRecords)},
            {"records", static_cast<qint64>(inspection.records)},
            {"plain_columns", columnsJson(inspection.plainColumns)},
            {"full_columns", columnsJson(inspection.fullColumns)},
            {"findings", findings},
            {"server_findings", QJsonArray::fromStringList(server.lines)}};
}

} // namespace

// Reads each named table whole and tells what sending it would lose, change or have refused;
// writes nothing but its run folder. Exit status 0 when nothing would, 1 when something would.
int runCheck(const ParsedOptions& options) {
    if (!applyCodePageOption(options))
        return 2;
    int refused = 0;
    const auto tables = tablesOfCommandLine(options, refused);
    if (!tables)
        return refused;
    const bool full = options.value("--schema") == QLatin1String("full");
    const bool json = options.has("--json");
    const bool quiet = options.has("--quiet") || json;
    const std::shared_ptr<Clock> clock = localClock();
    const std::int64_t start = clock->steadyMilliseconds();
    int signOnStatus = 0;
    const std::optional<ServerReadiness> readiness =
        serverReadinessOfCommandLine(options, *tables, signOnStatus);
    if (signOnStatus != 0)
        return signOnStatus;
    // Names as the server signed on to takes them, else as --name-bytes says.
    const NameLimit names = readiness && readiness->json["signed_on"].toBool()
                                ? readiness->names
                                : nameLimitOfCommandLine(options);
    const auto report =
        startRunReport(options, readiness ? readiness->json["sid"].toString() : "",
                       readiness ? readiness->json["user"].toString() : "", *tables);
    const ServerFindings run = serverFindingsOfRun(readiness);
    for (const QString& line : run.lines) {
        report->addMessage(line);
        if (!quiet)
            printLine(stdout, QStringLiteral("server: ") + line);
    }
    // The odbcinst.ini section as it goes into the file.
    for (const QString& line : readiness ? readiness->iniSection : QStringList{}) {
        report->addMessage(line);
        if (!quiet)
            printLine(stdout, line);
    }
    QMap<QString, int> verdicts;
    std::int64_t records = 0;
    QJsonArray tablesJson;
    for (const QString& table : *tables) {
        const std::int64_t tableStart = clock->steadyMilliseconds();
        const TableInspection inspection = inspectTableInUse(options.value("--folder"), table, full,
                                                             options.has("--refuse-locked"), names);
        const ServerFindings server = serverFindingsOfTable(readiness, inspection);
        const QString verdict = verdictOf(inspection, server);
        ++verdicts[verdict];
        records += inspection.records;
        const QStringList lines = linesOf(inspection, verdict, server);
        if (!quiet)
            for (const QString& line : lines)
                printLine(stdout, line);
        TableReport record;
        record.table = table;
        record.server = inspection.server;
        record.files = sourceFilesOf(options.value("--folder"), table);
        record.rowsRead = inspection.records;
        record.outcome = verdict;
        record.messages = lines;
        record.check = inspectionJson(inspection, verdict, server);
        tablesJson.append(record.check);
        record.milliseconds = clock->steadyMilliseconds() - tableStart;
        report->addTable(std::move(record));
        if (outputClosed())
            break;
    }
    const auto tableCount = static_cast<int>(tables->size());
    const int failed = verdicts.value(QStringLiteral("would lose or refuse")) +
                       verdicts.value(QStringLiteral("unreadable"));
    const int status = failed > 0 || run.losesOrRefuses || outputClosed() ? 1 : 0;
    const QString summary =
        QStringLiteral("dravena-cli check: %1: %2 ok, %3 with warnings, %4 would lose or refuse, "
                       "%5 unreadable; %6; %7s")
            .arg(counted(tableCount, "table", "tables"))
            .arg(verdicts.value(QStringLiteral("ok")))
            .arg(verdicts.value(QStringLiteral("warnings")))
            .arg(verdicts.value(QStringLiteral("would lose or refuse")))
            .arg(verdicts.value(QStringLiteral("unreadable")))
            .arg(counted(records, "record read", "records read"))
            .arg(QString::number(static_cast<double>(clock->steadyMilliseconds() - start) / 1000.0,
                                 'f', 1));
    if (json) {
        QJsonObject document{{"command", QStringLiteral("check")},
                             {"schema", full ? QStringLiteral("full") : QStringLiteral("plain")},
                             {"tables", tablesJson},
                             {"server_findings", QJsonArray::fromStringList(run.lines)},
                             {"summary", summary},
                             {"exit_status", status}};
        if (readiness)
            document.insert("server", readiness->json);
        writeOut(stdout, QJsonDocument(document).toJson(QJsonDocument::Indented));
    } else {
        printLine(stdout, summary);
    }
    return finishRunFolder(options, *report, summary, status, clock->steadyMilliseconds() - start,
                           json ? stderr : stdout);
}

} // namespace dravena::cli
