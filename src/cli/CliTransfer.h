#pragma once

#include "RunReport.h"
#include "TableClaims.h"
#include "TerminalBar.h"
#include "dataaccess/ConnectionEntries.h"
#include "transfer/TransferFrontEnd.h"

#include <QHash>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace dravena {
class Clock;
}

namespace dravena::cli {

// dravena-cli send as the transfer sees it: the tables named on the command line, sent in that
// order; the server's table list read before the run; the overwrite answer from an option. It
// tells every failure on standard error with the table and the row, shows each table's progress
// (a bar on a terminal, else one line per table) and counts what arrived.
class CliTransfer final : public TransferFrontEnd, private ConnectionEntries {
public:
    struct Settings {
        QString folder;
        QString sid;
        QString user;
        QString password;
        std::optional<bool> overwrite;          // nothing: an existing table is an error
        int rowsPerArray = DefaultRowsPerArray; // --batch
        bool fullSchema = false;                // --schema full
        bool verify = false;                    // --verify: each table checked after it arrived
        bool acceptIncomplete = false;          // --accept-incomplete: such a copy replaces too
        bool refuseLocked = false; // --refuse-locked: a table held for writing is not sent
        QStringList tables;
        QStringList serverTables;
        NameLimit names;              // the server's longest name
        RunReport* report = nullptr;  // the run folder's record of each table; none when null
        std::FILE* results = nullptr; // the line of each table: standard output; null: `out`
        bool quiet = false;           // --quiet: only errors (and the summary) are shown
        int refusalsShown = -1;       // refused rows told per table (-1: all), the rest counted
        std::int64_t runRows = -1;    // the rows of every table: one bar for the run; -1: a bar
                                      // per table
    };

    // Times the run and each table on the clock; a terminal gets a progress bar.
    CliTransfer(Settings settings, std::FILE* out, bool terminal, std::shared_ptr<Clock> clock);

    // Makes this one of several jobs of one send, each on its own connection: it sends only the
    // tables it claims, and its lines go out one whole line at a time under the shared lock.
    struct SharedRun;
    void shareRun(SharedRun& shared, int job);
    // Creates the foreign keys the jobs left for the end of the run (--schema full), on a
    // connection of its own, and tells what became of them.
    void carryForeignKeys(const std::vector<ForeignKeyPlan>& keys,
                          const std::function<bool(const QString&)>& masterPresent);
    // Adds the counts of another job of the same send, for the summary.
    void addCounts(const CliTransfer& other);

    // The summary line, and whether every table arrived whole (or was left as asked).
    QString summary() const;
    bool allWhole() const;
    // Whether the run saw a stop (a signal, a closed output) before its end.
    bool stopped() const { return stopped_; }

    const ConnectionEntries& entries() const override { return *this; }
    int currentTableIndex() const override { return settings_.tables.isEmpty() ? -1 : 0; }
    int tableCount() const override { return static_cast<int>(settings_.tables.size()); }
    bool isTableSelected(int index) const override;
    QString tableName(int index) const override;
    QString tableSource(int index) const override;
    bool isInServerList(const QString& name) const override;
    QString serverName(const QString& name) const override;
    bool deferForeignKeys(const std::vector<ForeignKeyPlan>& keys) override;
    void removeFromServerList(const QString& name) override;
    void addToServerList(const QString& name) override;
    int askOverwrite(const QString& name) override;
    void tellNoTableSelected() override;
    bool replaceWithIncomplete(const QString&, std::int64_t) override {
        return settings_.acceptIncomplete;
    }
    bool readHeldTable(const QString& name, const QString& finding) override;
    void notReplaced(const QString& name, const QString& text) override;
    void tellReplace(const QString& name, const QString& text) override { notReplaced(name, text); }
    void setPointer(int) override {}
    void setProgress(double) override {}
    void resetProgress() override {}
    void yield() override {}
    int rowsPerArray() const override { return settings_.rowsPerArray; }
    std::optional<TablePlan> tablePlan(const QString& name, const QString& source,
                                       const NameLimit& limit) override;
    void schemaReported(const QString& table, const std::vector<ObjectOutcome>& outcomes,
                        const QStringList& warnings) override;
    void reportFailure(const TransferFailure& failure) override;
    void reportReadingProblems(const QString& table, const QStringList& problems) override;
    void reportNameCuts(const QString& table, const QStringList& cuts) override;
    void valuesNotRead(const QString& table) override;
    void tellNote(const QString& table, const QString& note) override;
    void tableReadAgain(const QString& table, const QString& note) override;
    void tableStarting(const QString& name, std::int64_t rows) override;
    void rowSent(std::int64_t row, bool inserted) override;
    void tableFinished(const QString& name, TableOutcome outcome) override;
    bool stopRequested() override;

    // The signal that stopped the run (SIGINT, SIGTERM), 0 when none did.
    static int stopSignal();
    // From now on SIGINT and SIGTERM stop the run after the current row or array.
    static void stopOnSignals();

private:
    QString paradoxFolder() const override { return settings_.folder; }
    QString oracleSid() const override { return settings_.sid; }
    QString oracleUser() const override { return settings_.user; }
    QString oraclePassword() const override { return settings_.password; }

    // A result (the line of a table) on the results stream, unless quiet.
    void print(const QString& line);
    // A warning or error on `out`, kept in the record of the table it is about; a warning is
    // shown unless quiet.
    void tell(const QString& line, bool warning = false, bool aboutTable = true);
    // Hands what became of the table to the run folder's record and starts a new record.
    void recordFinished(const QString& name, const QString& source, TableOutcome outcome);
    void writeLine(std::FILE* stream, const QString& line);
    // The table of the run's index as named on the command line, without recording it reached.
    const QString& listedTable(int index) const;
    // The table as named on the command line ("sub/NAME") of the table the run finished.
    QString sourceOfFinished(const QString& name);
    // Checks the table that arrived (named on the command line as source) and tells what the
    // check found; true when identical.
    bool verified(const QString& name, const QString& source);
    void drawBar(bool force);
    void clearBar();
    std::int64_t tableMilliseconds() const;

    Settings settings_;
    std::FILE* out_;
    std::shared_ptr<Clock> clock_;
    TerminalBar bar_;
    std::int64_t runStart_;
    SharedRun* shared_ = nullptr; // with several jobs: what they share
    int job_ = 0;

    // The table being sent.
    QString table_;
    std::int64_t tableRows_ = 0;
    std::int64_t done_ = 0;
    std::int64_t failed_ = 0;
    bool tableWhole_ = true;
    QHash<QString, int> finishedByName_;    // tables done with, by server name
    std::int64_t tableStart_ = -1;          // none while no table is being sent
    TableReport record_;                    // what the run folder keeps of the table
    mutable std::vector<SourceFile> files_; // the table's files as its load began
    std::int64_t refusalsHidden_ = 0;       // refused rows of the table not shown, only counted
    std::int64_t rowsBefore_ = 0;           // rows of the tables done with, for the run's bar
    int tablesBefore_ = 0;

    // The run.
    int tablesWhole_ = 0;
    int tablesSkipped_ = 0;
    std::int64_t rowsSent_ = 0;
    std::int64_t rowsFailed_ = 0;
    bool runFailed_ = false;
    bool stopped_ = false;
    mutable QStringList reached_; // the tables (as named) the run took up, in order
    bool keysMissing_ = false;    // a foreign key of the run was not created
};

// What the jobs of one send share: the tables they take, standard error (one whole line at a
// time) and the foreign keys that wait until every table of the run is in.
struct CliTransfer::SharedRun {
    explicit SharedRun(const QStringList& tables) : claims(tables) {}
    TableClaims claims;
    std::mutex lock;
    std::vector<ForeignKeyPlan> foreignKeys;
};

} // namespace dravena::cli
