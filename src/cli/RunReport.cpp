#include "RunReport.h"

#include "RejectFile.h"
#include "base/RuntimeError.h"
#include "compare/TableCheck.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>

namespace dravena::cli {

namespace {

QString digestOf(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

QJsonObject fileJson(const SourceFile& file) {
    return {{"path", file.path},
            {"size", static_cast<qint64>(file.size)},
            {"modified", file.modified},
            {"sha256", file.sha256}};
}

QJsonObject tableJson(const TableReport& table) {
    QJsonArray files;
    for (const SourceFile& file : table.files)
        files.append(fileJson(file));
    QJsonArray schema;
    for (const SchemaRecord& object : table.schema)
        schema.append(QJsonObject{
            {"object", object.object}, {"carried", object.carried}, {"reason", object.reason}});
    QJsonArray refused;
    for (const RefusedRow& row : table.refused)
        refused.append(
            QJsonObject{{"row", static_cast<qint64>(row.row)}, {"message", row.message}});
    QJsonObject json{{"table", table.table},
                     {"server_table", table.server},
                     {"source_files", files},
                     {"rows_read", static_cast<qint64>(table.rowsRead)},
                     {"rows_sent", static_cast<qint64>(table.rowsSent)},
                     {"rows_refused", static_cast<qint64>(table.rowsRefused)},
                     {"values_not_read", table.valuesNotRead},
                     {"outcome", table.outcome},
                     {"schema_objects", schema},
                     {"seconds", static_cast<double>(table.milliseconds) / 1000.0},
                     {"refused_rows", refused},
                     {"messages", QJsonArray::fromStringList(table.messages)}};
    if (!table.verify.isEmpty())
        json.insert("verify", table.verify);
    if (!table.check.isEmpty())
        json.insert("check", table.check);
    return json;
}

TableReport tableOfJson(const QJsonObject& json) {
    TableReport table;
    table.table = json["table"].toString();
    table.server = json["server_table"].toString();
    for (const QJsonValue& file : json["source_files"].toArray())
        table.files.push_back({file["path"].toString(),
                               static_cast<std::int64_t>(file["size"].toDouble()),
                               file["modified"].toString(), file["sha256"].toString()});
    table.rowsRead = static_cast<std::int64_t>(json["rows_read"].toDouble());
    table.rowsSent = static_cast<std::int64_t>(json["rows_sent"].toDouble());
    table.rowsRefused = static_cast<std::int64_t>(json["rows_refused"].toDouble());
    table.valuesNotRead = json["values_not_read"].toBool();
    table.outcome = json["outcome"].toString();
    return table;
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// Sorts the table of tables by the column clicked, numbers as numbers; a second click reverses.
const char* const sortScript = R"(
function sortBy(th) {
  var table = th.closest('table'), body = table.tBodies[0];
  var column = Array.prototype.indexOf.call(th.parentNode.children, th);
  var down = th.getAttribute('data-order') !== 'up';
  th.setAttribute('data-order', down ? 'up' : 'down');
  var rows = Array.prototype.slice.call(body.rows);
  rows.sort(function (a, b) {
    var x = a.cells[column].textContent, y = b.cells[column].textContent;
    var nx = parseFloat(x), ny = parseFloat(y);
    var order = (!isNaN(nx) && !isNaN(ny)) ? nx - ny : x.localeCompare(y);
    return down ? order : -order;
  });
  rows.forEach(function (row) { body.appendChild(row); });
}
)";

const char* const style = R"(
body { font-family: sans-serif; margin: 1.5em; color: #222; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }
th { background: #eee; cursor: pointer; }
td.number { text-align: right; }
.whole, .identical { color: #060; } .bad { color: #a00; font-weight: bold; }
code { white-space: pre-wrap; }
)";

bool goodOutcome(const QString& outcome) {
    return outcome == QLatin1String("whole") || outcome == QLatin1String("identical") ||
           outcome == QLatin1String("left as it was") ||
           outcome == QLatin1String("unchanged, not sent") || outcome == QLatin1String("ok") ||
           outcome == QLatin1String("warnings");
}

} // namespace

std::vector<SourceFile> sourceFilesOf(const QString& folder, const QString& table) {
    std::vector<SourceFile> files;
    try {
        const TablePlace place = splitTablePath(table);
        const QString tableFolder =
            place.subFolder.isEmpty() ? folder : pathInFolder(folder, place.subFolder);
        for (const QString& path : tableFamilyFiles(tableFolder, place.entry)) {
            const QFileInfo info(path);
            files.push_back({QDir(folder).relativeFilePath(path), info.size(),
                             info.lastModified().toUTC().toString(Qt::ISODateWithMs),
                             digestOf(path)});
        }
    } catch (const RuntimeError&) {
        // A table whose files cannot be listed has none to record; its send tells why.
    }
    return files;
}

QJsonObject verifyRecord(const TableCheck& check, const QStringList& lines) {
    QString result = QStringLiteral("identical");
    if (!check.failure.isEmpty())
        result = QStringLiteral("not compared");
    else if (!check.identical())
        result = QStringLiteral("differs");
    return {{"result", result},
            {"paradox_rows", static_cast<qint64>(check.rows.paradoxRows)},
            {"server_rows", static_cast<qint64>(check.rows.serverRows)},
            {"only_in_paradox", static_cast<qint64>(check.rows.onlyInParadox)},
            {"only_on_server", static_cast<qint64>(check.rows.onlyOnServer)},
            {"values_not_read", check.valuesLost},
            {"failure", check.failure},
            {"schema_objects", QJsonArray::fromStringList(check.objectDifferences)},
            {"lines", QJsonArray::fromStringList(lines)}};
}

RunReport::RunReport(QString command, QJsonObject settings)
    : command_(std::move(command)), settings_(std::move(settings)),
      started_(QDateTime::currentDateTimeUtc()) {}

void RunReport::addTable(TableReport table) {
    const std::lock_guard<std::mutex> guard(lock_);
    tables_.push_back(std::move(table));
}

void RunReport::addMessage(const QString& message) {
    const std::lock_guard<std::mutex> guard(lock_);
    messages_.append(message);
}

void RunReport::finish(const QString& summary, int exitStatus, std::int64_t milliseconds) {
    const std::lock_guard<std::mutex> guard(lock_);
    summary_ = summary;
    exitStatus_ = exitStatus;
    milliseconds_ = milliseconds;
}

std::vector<TableReport> RunReport::tables() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return tables_;
}

QJsonObject RunReport::json() const {
    QJsonArray tables;
    for (const TableReport& table : tables_)
        tables.append(tableJson(table));
    return {{"format", "dravena-cli run report"},
            {"version", RunReportVersion},
            {"program_version", QStringLiteral(DRAVENA_VERSION)},
            {"command", command_},
            {"started", started_.toString(Qt::ISODateWithMs)},
            {"seconds", static_cast<double>(milliseconds_) / 1000.0},
            {"settings", settings_},
            {"tables", tables},
            {"messages", QJsonArray::fromStringList(messages_)},
            {"summary", summary_},
            {"exit_status", exitStatus_}};
}

QString RunReport::html() const {
    QString page;
    page +=
        QStringLiteral("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
                       "lang=\"en\">\n<head>\n<meta charset=\"utf-8\" />\n<title>dravena-cli ") +
        escaped(command_) + QStringLiteral(", ") + started_.toString(Qt::ISODate) +
        QStringLiteral("</title>\n<style>") + QLatin1String(style) +
        QStringLiteral("</style>\n<script>\n//<![CDATA[") + QLatin1String(sortScript) +
        QStringLiteral("//]]>\n</script>\n</head>\n<body>\n");
    page += QStringLiteral("<h1>dravena-cli %1</h1>\n<p>Started %2 UTC, %3 s, exit status "
                           "%4.</p>\n<p id=\"summary\"><strong>%5</strong></p>\n")
                .arg(escaped(command_), started_.toString(Qt::ISODate))
                .arg(static_cast<double>(milliseconds_) / 1000.0, 0, 'f', 1)
                .arg(exitStatus_)
                .arg(escaped(summary_));
    page += QStringLiteral("<h2>Tables</h2>\n<p>Click a heading to sort.</p>\n"
                           "<table id=\"tables\"><thead><tr>");
    // check sends nothing: its tables show their records and findings instead of rows sent.
    const bool check = command_ == QLatin1String("check");
    const QStringList headings =
        check ? QStringList{"Table", "Verdict", "Records", "Findings", "Seconds"}
              : QStringList{"Table",        "Outcome", "Rows read", "Rows sent",
                            "Rows refused", "Verify",  "Seconds"};
    for (const QString& heading : headings)
        page += QStringLiteral("<th onclick=\"sortBy(this)\">%1</th>").arg(heading);
    page += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const TableReport& table : tables_) {
        QString row =
            QStringLiteral("<tr><td>%1</td><td class=\"%2\">%3</td>")
                .arg(escaped(table.table),
                     goodOutcome(table.outcome) ? QStringLiteral("whole") : QStringLiteral("bad"),
                     escaped(table.outcome));
        const auto number = [&](qint64 value) {
            row += QStringLiteral("<td class=\"number\">%1</td>").arg(value);
        };
        number(table.rowsRead);
        if (check) {
            number(table.check["findings"].toArray().size() +
                   table.check["server_findings"].toArray().size());
        } else {
            number(table.rowsSent);
            number(table.rowsRefused);
            row += QStringLiteral("<td>%1</td>").arg(escaped(table.verify["result"].toString()));
        }
        page += row + QStringLiteral("<td class=\"number\">%1</td></tr>\n")
                          .arg(static_cast<double>(table.milliseconds) / 1000.0, 0, 'f', 1);
    }
    page += QStringLiteral("</tbody></table>\n");
    for (const TableReport& table : tables_) {
        if (table.refused.empty() && table.messages.isEmpty() && table.schema.empty())
            continue;
        page += QStringLiteral("<h2>%1</h2>\n").arg(escaped(table.table));
        if (!table.refused.empty()) {
            page += QStringLiteral("<p>Refused rows (kept in rejects/%1.csv):</p>\n<table><thead>"
                                   "<tr><th onclick=\"sortBy(this)\">Row</th><th "
                                   "onclick=\"sortBy(this)\">Message</th></tr></thead><tbody>\n")
                        .arg(escaped(QString(table.table).replace(u'/', u'_')));
            for (const RefusedRow& row : table.refused)
                page += QStringLiteral("<tr><td class=\"number\">%1</td><td><code>%2</code></td>"
                                       "</tr>\n")
                            .arg(row.row)
                            .arg(escaped(row.message));
            page += QStringLiteral("</tbody></table>\n");
        }
        if (!table.schema.empty()) {
            page += QStringLiteral("<p>Schema objects:</p>\n<ul>\n");
            for (const SchemaRecord& object : table.schema)
                page += QStringLiteral("<li>%1 %2%3</li>\n")
                            .arg(object.carried ? QStringLiteral("carried")
                                                : QStringLiteral("<span class=\"bad\">not "
                                                                 "carried</span>"),
                                 escaped(object.object),
                                 object.reason.isEmpty()
                                     ? QString()
                                     : QStringLiteral(": ") + escaped(object.reason));
            page += QStringLiteral("</ul>\n");
        }
        if (!table.messages.isEmpty()) {
            page += QStringLiteral("<p>Messages:</p>\n<ul>\n");
            for (const QString& message : table.messages)
                page += QStringLiteral("<li><code>%1</code></li>\n").arg(escaped(message));
            page += QStringLiteral("</ul>\n");
        }
    }
    page += QStringLiteral("<h2>Settings</h2>\n<table id=\"settings\"><tbody>\n");
    for (auto it = settings_.begin(); it != settings_.end(); ++it)
        page += QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n")
                    .arg(escaped(it.key()),
                         escaped(it->isArray() ? it->toVariant().toStringList().join(", ")
                                               : it->toVariant().toString()));
    page += QStringLiteral("</tbody></table>\n");
    if (!messages_.isEmpty()) {
        page += QStringLiteral("<h2>Messages of the run</h2>\n<ul>\n");
        for (const QString& message : messages_)
            page += QStringLiteral("<li><code>%1</code></li>\n").arg(escaped(message));
        page += QStringLiteral("</ul>\n");
    }
    page += QStringLiteral("</body>\n</html>\n");
    return page;
}

QString RunReport::write(const QString& folder, const QString& paradoxFolder) const {
    const std::lock_guard<std::mutex> guard(lock_);
    if (!QDir().mkpath(folder))
        return QStringLiteral("%1: the run folder cannot be made").arg(folder);
    const auto save = [](const QString& path, const QByteArray& bytes) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return QStringLiteral("%1: %2").arg(path, file.errorString());
        return QString();
    };
    QString failure = save(QDir(folder).filePath("report.json"),
                           QJsonDocument(json()).toJson(QJsonDocument::Indented));
    if (failure.isEmpty())
        failure = save(QDir(folder).filePath("report.html"), html().toUtf8());
    for (const TableReport& table : tables_) {
        if (table.refused.empty() || !failure.isEmpty())
            continue;
        const QString rejects = QDir(folder).filePath("rejects");
        QDir().mkpath(rejects);
        const QString path =
            QDir(rejects).filePath(QString(table.table).replace(u'/', u'_') + ".csv");
        const QString why = writeRejectFile(path, paradoxFolder, table.table, table.refused);
        if (!why.isEmpty())
            failure = QStringLiteral("%1: %2").arg(path, why);
    }
    return failure;
}

QString RunReport::defaultFolder(const QDateTime& startUtc) {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    const QString base = state + QStringLiteral("/dravena/runs/") +
                         startUtc.toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString folder = base;
    for (int n = 2; QFileInfo::exists(folder); ++n)
        folder = base + QStringLiteral("-%1").arg(n);
    return folder;
}

std::optional<std::vector<TableReport>> RunReport::readTables(const QString& folder,
                                                              QString& error) {
    QFile file(QDir(folder).filePath("report.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        return std::nullopt;
    }
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    if (json["format"].toString() != QLatin1String("dravena-cli run report") ||
        json["version"].toInt() != RunReportVersion) {
        error = QStringLiteral("%1: not a run report of version %2")
                    .arg(file.fileName())
                    .arg(RunReportVersion);
        return std::nullopt;
    }
    std::vector<TableReport> tables;
    for (const QJsonValue& table : json["tables"].toArray())
        tables.push_back(tableOfJson(table.toObject()));
    return tables;
}

} // namespace dravena::cli
