#include "CliTransfer.h"

#include "CheckReport.h"
#include "Options.h"
#include "base/Dialogs.h"
#include "base/Ports.h"
#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/TableFiles.h"
#include "schema/ObjectNames.h"
#include "schema/SchemaObjects.h"
#include "transfer/TransferLines.h"

#include <QRegularExpression>

#include <csignal>

namespace dravena::cli {

namespace {

// The statement or action a step label stands for, for the failure lines.
QString whatFailed(int line) {
    using namespace transferline;
    switch (line) {
    case OpenParadox:
        return QStringLiteral("opening the Paradox folder");
    case OpenServer:
        return QStringLiteral("signing on to the server");
    case DropTable:
        return QStringLiteral("DROP TABLE");
    case MarkComplete:
        return QStringLiteral("COMMENT ON TABLE");
    case FinishSwap:
        return QStringLiteral("putting in place an earlier run's complete copy");
    case OpenSource:
    case ReadLayout:
        return QStringLiteral("reading the table");
    case CreateTable:
        return QStringLiteral("CREATE TABLE");
    case ReadValue:
    case NextRow:
        return QStringLiteral("reading the row");
    case Insert:
        return QStringLiteral("INSERT");
    case RenameTable:
        return QStringLiteral("ALTER TABLE ... RENAME");
    case CarryValue:
        return QStringLiteral("carrying a value");
    case CarryObject:
    case ForeignKeys:
        return QStringLiteral("carrying the schema");
    default:
        return QStringLiteral("step %1").arg(line);
    }
}

QString seconds(std::int64_t milliseconds) {
    return QString::number(static_cast<double>(milliseconds) / 1000.0, 'f', 1) + u's';
}

volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void catchStopSignal(int signal) {
    caughtSignal = signal;
}

} // namespace

CliTransfer::CliTransfer(Settings settings, std::FILE* out, bool terminal,
                         std::shared_ptr<Clock> clock)
    : settings_(std::move(settings)), out_(out), clock_(clock), bar_(out, terminal, clock),
      runStart_(clock_->steadyMilliseconds()) {}

void CliTransfer::shareRun(SharedRun& shared, int job) {
    shared_ = &shared;
    job_ = job;
}

bool CliTransfer::deferForeignKeys(const std::vector<ForeignKeyPlan>& keys) {
    if (shared_ == nullptr)
        return false;
    const std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->foreignKeys.insert(shared_->foreignKeys.end(), keys.begin(), keys.end());
    return true;
}

void CliTransfer::carryForeignKeys(const std::vector<ForeignKeyPlan>& keys,
                                   const std::function<bool(const QString&)>& masterPresent) {
    try {
        const auto server = dataAccess().createConnection();
        server->setCursorLocation(ServerSideCursor);
        server->open(oracleConnectionString(oracleSid(), oracleUser(), oraclePassword()));
        schemaReported({}, createForeignKeys(*server, keys, masterPresent), {});
    } catch (const RuntimeError& error) {
        reportFailure({error.description(), transferline::ForeignKeys, {}, -1});
    }
}

void CliTransfer::addCounts(const CliTransfer& other) {
    tablesWhole_ += other.tablesWhole_;
    tablesSkipped_ += other.tablesSkipped_;
    rowsSent_ += other.rowsSent_;
    rowsFailed_ += other.rowsFailed_;
    runFailed_ = runFailed_ || other.runFailed_;
    keysMissing_ = keysMissing_ || other.keysMissing_;
    stopped_ = stopped_ || other.stopped_;
    reached_ += other.reached_;
}

bool CliTransfer::isTableSelected(int index) const {
    return shared_ == nullptr || shared_->claims.claim(settings_.tables.size() - 1 - index, job_);
}

const QString& CliTransfer::listedTable(int index) const {
    // The run walks from the last entry to the first: the tables go in command-line order.
    return settings_.tables[settings_.tables.size() - 1 - index];
}

QString CliTransfer::tableSource(int index) const {
    const QString& table = listedTable(index);
    reached_.append(table); // asked for once for each table the run takes up
    // The files as they are before the table is read: what a resume compares them with.
    if (settings_.report != nullptr)
        files_ = sourceFilesOf(settings_.folder, table);
    return table;
}

QString CliTransfer::tableName(int index) const {
    // A table of a sub-folder, named "sub/NAME", is NAME on the server.
    return splitTablePath(listedTable(index)).entry;
}

bool CliTransfer::isInServerList(const QString& name) const {
    return settings_.serverTables.contains(serverName(name));
}

QString CliTransfer::serverName(const QString& name) const {
    const QString wanted = name.toLower();
    for (const QString& table : settings_.serverTables)
        if (table == name)
            return table;
    for (const QString& table : settings_.serverTables)
        if (table.toLower() == wanted)
            return table;
    return name;
}

void CliTransfer::removeFromServerList(const QString& name) {
    settings_.serverTables.removeOne(name);
}

void CliTransfer::addToServerList(const QString& name) {
    settings_.serverTables.append(name);
}

int CliTransfer::askOverwrite(const QString& name) {
    if (settings_.overwrite)
        return *settings_.overwrite ? AnswerYes : AnswerNo;
    tell(QStringLiteral("dravena-cli send: %1: the server already has this table; give "
                        "--overwrite yes to replace it or --overwrite no to leave it")
             .arg(name));
    runFailed_ = true;
    return AnswerNo;
}

bool CliTransfer::readHeldTable(const QString& name, const QString& finding) {
    if (!settings_.refuseLocked) {
        tell(QStringLiteral("dravena-cli send: %1: warning: %2").arg(name, finding), true);
        return true;
    }
    tell(QStringLiteral("dravena-cli send: %1: not read (--refuse-locked): %2").arg(name, finding));
    tableWhole_ = false;
    return false;
}

void CliTransfer::notReplaced(const QString&, const QString& text) {
    print(text);
}

void CliTransfer::tellNoTableSelected() {
    tell(QStringLiteral("dravena-cli send: no table to send"));
    runFailed_ = true;
}

void CliTransfer::reportFailure(const TransferFailure& failure) {
    QString where = failure.table.isEmpty() ? QString() : failure.table + QStringLiteral(": ");
    if (failure.row >= 0)
        where += QStringLiteral("row %1: ").arg(failure.row + 1);
    // The statement in flight when the connection went may have arrived or not.
    const QString outcome = failure.connectionLost && failure.row >= 0
                                ? QStringLiteral("not known to have arrived")
                                : QStringLiteral("failed");
    const QString line = QStringLiteral("dravena-cli send: %1%2 %3: %4")
                             .arg(where, whatFailed(failure.line), outcome, failure.description);
    if (failure.row >= 0 && !failure.connectionLost)
        record_.refused.push_back({failure.row + 1, failure.description});
    if (failure.row >= 0 && settings_.refusalsShown >= 0 &&
        static_cast<std::int64_t>(record_.refused.size()) > settings_.refusalsShown) {
        ++refusalsHidden_; // the report keeps it
        record_.messages.append(line);
    } else {
        tell(line, false, !failure.table.isEmpty());
    }
    if (failure.table.isEmpty())
        runFailed_ = true;
    else
        tableWhole_ = false;
}

void CliTransfer::reportReadingProblems(const QString& table, const QStringList& problems) {
    for (const QString& problem : problems)
        tell(QStringLiteral("dravena-cli send: %1: warning: %2").arg(table, problem), true);
}

void CliTransfer::reportNameCuts(const QString& table, const QStringList& cuts) {
    reportReadingProblems(table, cuts);
}

void CliTransfer::valuesNotRead(const QString&) {
    tableWhole_ = false;
    record_.valuesNotRead = true;
}

std::optional<TablePlan> CliTransfer::tablePlan(const QString& name, const QString& source,
                                                const NameLimit& limit) {
    if (!settings_.fullSchema)
        return std::nullopt;
    return planTableInFolder(name, settings_.folder, source, limit);
}

// One line per object: "T: carried primary key ..." or "T: not carried index ...: why".
void CliTransfer::schemaReported(const QString& table, const std::vector<ObjectOutcome>& outcomes,
                                 const QStringList& warnings) {
    for (const QString& warning : warnings)
        tell(QStringLiteral("dravena-cli send: %1: warning: %2").arg(table, warning), true);
    for (const ObjectOutcome& outcome : outcomes) {
        QString line = outcome.table + (outcome.created ? QStringLiteral(": carried ")
                                                        : QStringLiteral(": not carried "));
        line += outcome.description;
        if (!outcome.reason.isEmpty())
            line += QStringLiteral(": ") + outcome.reason;
        if (!table.isEmpty())
            record_.schema.push_back({outcome.description, outcome.created, outcome.reason});
        else if (settings_.report != nullptr)
            settings_.report->addMessage(line);
        print(line);
        if (outcome.created)
            continue;
        if (table.isEmpty())
            keysMissing_ = true;
        else
            tableWhole_ = false;
    }
}

void CliTransfer::tableStarting(const QString& name, std::int64_t rows) {
    table_ = name;
    tableRows_ = rows;
    done_ = 0;
    failed_ = 0;
    tableStart_ = clock_->steadyMilliseconds();
    record_.server = name;
    record_.rowsRead = rows;
    if (settings_.runRows < 0) {
        bar_.start(name, rows);
    } else {
        // The whole run: tables done of all, rows done of all rows, rate and time left.
        if (tablesBefore_ == 0)
            bar_.start(name, settings_.runRows);
        bar_.relabel(QStringLiteral("%1/%2 %3").arg(tablesBefore_ + 1).arg(tableCount()).arg(name));
    }
    drawBar(true);
}

void CliTransfer::rowSent(std::int64_t, bool inserted) {
    ++done_;
    if (!inserted)
        ++failed_;
    drawBar(false);
}

void CliTransfer::tableFinished(const QString& name, TableOutcome outcome) {
    clearBar();
    const QString source = sourceOfFinished(name);
    const bool asked = outcome == TableOutcome::Skipped;
    if (asked && settings_.overwrite && !*settings_.overwrite) {
        ++tablesSkipped_;
        print(QStringLiteral("%1: left as it is on the server").arg(name));
    } else if (outcome == TableOutcome::Sent) {
        bool whole = tableWhole_ && failed_ == 0 && done_ == tableRows_;
        rowsSent_ += done_ - failed_;
        rowsFailed_ += failed_;
        print(QStringLiteral("%1: %2 of %3 sent, %4 failed, %5%6")
                  .arg(name)
                  .arg(done_ - failed_)
                  .arg(counted(tableRows_, "row", "rows"))
                  .arg(failed_)
                  .arg(seconds(tableMilliseconds()),
                       whole ? QString() : QStringLiteral(" (not complete)")));
        if (settings_.verify && !verified(serverName(name), source))
            whole = false;
        if (whole)
            ++tablesWhole_;
    } else if (outcome == TableOutcome::NotReplaced) {
        rowsFailed_ += failed_; // refused: none of the copy's rows stays on the server
    } else if (!asked && outcome != TableOutcome::Unsettled) {
        const QString loaded = tableStart_ < 0
                                   ? QString()
                                   : QStringLiteral(" (the load ended after %1 of %2 rows)")
                                         .arg(done_)
                                         .arg(tableRows_);
        const QString left = isInServerList(name)
                                 ? QStringLiteral("%1 on the server was left as it was").arg(name)
                                 : QStringLiteral("no table %1 was left on the server").arg(name);
        print(QStringLiteral("%1: not sent%2; %3").arg(name, loaded, left));
    }
    recordFinished(name, source, outcome);
    rowsBefore_ += tableRows_;
    ++tablesBefore_;
    table_.clear();
    tableRows_ = done_ = failed_ = 0;
    tableWhole_ = true;
    tableStart_ = -1;
}

void CliTransfer::recordFinished(const QString& name, const QString& source, TableOutcome outcome) {
    if (refusalsHidden_ > 0)
        tell(QStringLiteral("dravena-cli send: %1: ... and %2 more (see the report)")
                 .arg(name)
                 .arg(refusalsHidden_));
    record_.table = source;
    record_.server = name;
    record_.rowsSent = done_ - failed_;
    record_.rowsRefused = failed_;
    record_.milliseconds = tableMilliseconds();
    const bool verifiedWhole = record_.verify.isEmpty() ||
                               record_.verify["result"].toString() == QLatin1String("identical");
    if (outcome == TableOutcome::Sent)
        record_.outcome = tableWhole_ && failed_ == 0 && done_ == tableRows_ && verifiedWhole
                              ? QStringLiteral("whole")
                              : QStringLiteral("not complete");
    else if (outcome == TableOutcome::Skipped && settings_.overwrite && !*settings_.overwrite)
        record_.outcome = QStringLiteral("left as it was");
    else
        record_.outcome = QStringLiteral("not sent");
    if (settings_.report != nullptr) {
        record_.files = std::move(files_);
        settings_.report->addTable(std::move(record_));
    }
    record_ = {};
    files_.clear();
    refusalsHidden_ = 0;
}

QString CliTransfer::sourceOfFinished(const QString& name) {
    // Tables of one server name go in command-line order, on one job: the n-th of them to
    // finish is the n-th so named.
    int seen = finishedByName_[name]++;
    for (const QString& table : settings_.tables) {
        QString entry;
        try {
            entry = splitTablePath(table).entry;
        } catch (const RuntimeError&) {
            continue; // names no table: it never reaches the server
        }
        if (fittedName(entry, settings_.names) == name && seen-- == 0)
            return table;
    }
    return name;
}

// A signal, or an output nobody reads any more: the run ends after the current row or array.
bool CliTransfer::stopRequested() {
    if (caughtSignal != 0 || outputClosed())
        stopped_ = true;
    return stopped_;
}

void CliTransfer::tableReadAgain(const QString& table, const QString& note) {
    tellNote(table, note);
    // The rows refused and the values not read were those of the read before; what the table's
    // lines and the run folder tell is the last read's.
    tableWhole_ = true;
    record_.refused.clear();
    record_.valuesNotRead = false;
    refusalsHidden_ = 0;
}

void CliTransfer::tellNote(const QString& table, const QString& note) {
    print(QStringLiteral("dravena-cli send: %1: %2").arg(table_.isEmpty() ? table : table_, note));
}

int CliTransfer::stopSignal() {
    return caughtSignal;
}

void CliTransfer::stopOnSignals() {
    struct sigaction action {};
    action.sa_handler = catchStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // a call that waits on the server goes on waiting
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::int64_t CliTransfer::tableMilliseconds() const {
    return tableStart_ < 0 ? 0 : clock_->steadyMilliseconds() - tableStart_;
}

QString CliTransfer::summary() const {
    QStringList notReached;
    QStringList reached = reached_;
    for (const QString& table : settings_.tables)
        if (!reached.removeOne(table))
            notReached.append(table);
    return QStringLiteral("dravena-cli send: %1%2: %3 whole, %4, %5 with failures; %6, %7; %8%9")
        .arg(stopped_ ? QStringLiteral("interrupted; ") : QString(),
             counted(settings_.tables.size(), "table", "tables"))
        .arg(tablesWhole_)
        .arg(counted(tablesSkipped_, "left as it was", "left as they were"))
        .arg(settings_.tables.size() - tablesWhole_ - tablesSkipped_ - notReached.size())
        .arg(counted(rowsSent_, "row sent", "rows sent"),
             counted(rowsFailed_, "row failed", "rows failed"),
             seconds(clock_->steadyMilliseconds() - runStart_),
             notReached.isEmpty()
                 ? QString()
                 : QStringLiteral("; not reached: ") + notReached.join(QStringLiteral(", ")));
}

bool CliTransfer::allWhole() const {
    return !runFailed_ && !keysMissing_ && tablesWhole_ + tablesSkipped_ == settings_.tables.size();
}

void CliTransfer::print(const QString& line) {
    if (!settings_.quiet)
        writeLine(settings_.results != nullptr ? settings_.results : out_, line);
}

void CliTransfer::tell(const QString& line, bool warning, bool aboutTable) {
    if (aboutTable)
        record_.messages.append(line);
    else if (settings_.report != nullptr)
        settings_.report->addMessage(line);
    // One line each, whatever the server's message holds, so that each can be found by grep.
    if (!warning || !settings_.quiet)
        writeLine(out_, QString(line).replace(QRegularExpression(QStringLiteral("\\s*\n\\s*")),
                                              QStringLiteral(" ")));
}

void CliTransfer::writeLine(std::FILE* stream, const QString& line) {
    std::unique_lock<std::mutex> guard;
    if (shared_ != nullptr)
        guard = std::unique_lock<std::mutex>(shared_->lock);
    clearBar();
    printLine(stream, line);
}

bool CliTransfer::verified(const QString& name, const QString& source) {
    std::int64_t expected = -1;
    const TableCheck check =
        // Before the run's foreign keys: those are told as they are added.
        TableChecker(*this, settings_.names, settings_.fullSchema, false)
            .check(source, name, [&](std::int64_t done, std::int64_t total) {
                if (total != expected)
                    bar_.start(name + QStringLiteral(" (verify)"), expected = total);
                bar_.show(done);
            });
    // The report in one piece, so that the lines of other jobs do not come between its lines.
    const QStringList lines = checkReport(name, check);
    record_.verify = verifyRecord(check, lines);
    print(lines.join(u'\n'));
    return check.identical();
}

void CliTransfer::drawBar(bool force) {
    bar_.show(settings_.runRows < 0 ? done_ : rowsBefore_ + done_, force);
}

void CliTransfer::clearBar() {
    bar_.clear();
}

} // namespace dravena::cli
