#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace dravena {
struct TableCheck;
}

namespace dravena::cli {

// The version of report.json's layout; it grows when a field changes its meaning or goes away
// (fields only added keep it).
inline constexpr int RunReportVersion = 1;

// One file of a table's family as it was when the run began.
struct SourceFile {
    QString path; // below the Paradox folder ("sub/ORDERS.DB")
    std::int64_t size = 0;
    QString modified; // UTC, ISO 8601 with milliseconds
    QString sha256;   // hexadecimal
    friend bool operator==(const SourceFile&, const SourceFile&) = default;
};

// A row the server refused.
struct RefusedRow {
    std::int64_t row = 0; // 1-based, in the Paradox table's order
    QString message;
};

// A schema object of --schema full and what became of it.
struct SchemaRecord {
    QString object;
    bool carried = false;
    QString reason;
};

// What became of one table in a run.
struct TableReport {
    QString table;  // as chosen ("sub/NAME")
    QString server; // the server's table name
    std::vector<SourceFile> files;
    std::int64_t rowsRead = 0; // rows the Paradox table holds
    std::int64_t rowsSent = 0;
    std::int64_t rowsRefused = 0;
    bool valuesNotRead = false;
    // "whole", "not complete", "not sent", "left as it was", "unchanged, not sent"; for verify
    // "identical", "differs", "not compared"
    QString outcome;
    std::vector<SchemaRecord> schema;
    QJsonObject verify; // empty when the table was not verified
    QJsonObject check;  // what check found; empty for the other commands
    std::int64_t milliseconds = 0;
    std::vector<RefusedRow> refused;
    QStringList messages; // every message told about the table, in full
};

// The files of the table's family below the Paradox folder, with size, time and digest.
std::vector<SourceFile> sourceFilesOf(const QString& folder, const QString& table);

// What verify found for a table, as report.json keeps it.
QJsonObject verifyRecord(const TableCheck& check, const QStringList& lines);

// The run folder of one send, verify or check: report.json, report.html and rejects/TABLE.csv.
// Tables are added as they end, by any job.
class RunReport {
public:
    RunReport(QString command, QJsonObject settings);

    void addTable(TableReport table);
    // A message about the run rather than one table.
    void addMessage(const QString& message);
    // Marks the end of the run: its summary and exit status.
    void finish(const QString& summary, int exitStatus, std::int64_t milliseconds);

    std::vector<TableReport> tables() const;

    // Writes the run folder; the refused rows are read again from the Paradox folder. The
    // failure, when a file cannot be written; empty when all went.
    QString write(const QString& folder, const QString& paradoxFolder) const;

    // The default folder of a run that starts now: $XDG_STATE_HOME/dravena/runs/<UTC start>
    // (~/.local/state when XDG_STATE_HOME is unset), made unique.
    static QString defaultFolder(const QDateTime& startUtc);

    const QDateTime& started() const { return started_; }

    // Reads a run folder's report.json; nothing when it cannot be read (told in `error`).
    static std::optional<std::vector<TableReport>> readTables(const QString& folder,
                                                              QString& error);

private:
    QJsonObject json() const;
    QString html() const;

    QString command_;
    QJsonObject settings_;
    QDateTime started_;
    mutable std::mutex lock_;
    std::vector<TableReport> tables_;
    QStringList messages_;
    QString summary_;
    int exitStatus_ = -1;
    std::int64_t milliseconds_ = 0;
};

} // namespace dravena::cli
