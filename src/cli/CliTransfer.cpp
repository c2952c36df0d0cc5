#include "CliTransfer.h"

#include "Options.h"
#include "TableClaims.h"
#include "app/Dialogs.h"
#include "app/Ports.h"

#include <cmath>

namespace dravena::cli {

namespace {

// The statement or action a step label stands for, for the failure lines.
QString whatFailed(int line) {
    switch (line) {
    case 114:
        return QStringLiteral("opening the Paradox folder");
    case 118:
        return QStringLiteral("signing on to the server");
    case 136:
        return QStringLiteral("DROP TABLE");
    case 140:
    case 142:
        return QStringLiteral("reading the table");
    case 202:
        return QStringLiteral("CREATE TABLE");
    case 224:
    case 246:
        return QStringLiteral("reading the row");
    case 244:
        return QStringLiteral("INSERT");
    default:
        return QStringLiteral("step %1").arg(line);
    }
}

QString seconds(std::int64_t milliseconds) {
    return QString::number(static_cast<double>(milliseconds) / 1000.0, 'f', 1) + u's';
}

QString clockTime(double totalSeconds) {
    const auto s = static_cast<long long>(std::ceil(totalSeconds));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

constexpr std::int64_t RedrawMilliseconds = 100;
constexpr int BarWidth = 30;

} // namespace

CliTransfer::CliTransfer(Settings settings, std::FILE* out, bool terminal,
                         std::shared_ptr<Clock> clock)
    : settings_(std::move(settings)), out_(out), terminal_(terminal), clock_(std::move(clock)),
      runStart_(clock_->steadyMilliseconds()) {}

void CliTransfer::shareRun(TableClaims& claims, int job, std::mutex& output) {
    claims_ = &claims;
    job_ = job;
    outputLock_ = &output;
}

void CliTransfer::addCounts(const CliTransfer& other) {
    tablesWhole_ += other.tablesWhole_;
    tablesSkipped_ += other.tablesSkipped_;
    rowsSent_ += other.rowsSent_;
    rowsFailed_ += other.rowsFailed_;
    runFailed_ = runFailed_ || other.runFailed_;
}

bool CliTransfer::isTableSelected(int index) const {
    return claims_ == nullptr || claims_->claim(settings_.tables.size() - 1 - index, job_);
}

QString CliTransfer::tableName(int index) const {
    // The run walks from the last entry to the first: the tables go in command-line order.
    return settings_.tables[settings_.tables.size() - 1 - index];
}

bool CliTransfer::isInServerList(const QString& name) const {
    const QString wanted = name.toLower();
    for (const QString& table : settings_.serverTables)
        if (table.toLower() == wanted)
            return true;
    return false;
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
    print(QStringLiteral("dravena-cli send: %1: the server already has this table; give "
                         "--overwrite yes to replace it or --overwrite no to leave it")
              .arg(name));
    runFailed_ = true;
    return AnswerNo;
}

void CliTransfer::tellNoTableSelected() {
    print(QStringLiteral("dravena-cli send: no table to send"));
    runFailed_ = true;
}

void CliTransfer::reportFailure(const TransferFailure& failure) {
    QString where = failure.table.isEmpty() ? QString() : failure.table + QStringLiteral(": ");
    if (failure.row >= 0)
        where += QStringLiteral("row %1: ").arg(failure.row + 1);
    print(QStringLiteral("dravena-cli send: %1%2 failed: %3")
              .arg(where, whatFailed(failure.line), failure.description));
    if (failure.table.isEmpty())
        runFailed_ = true;
    else
        tableWhole_ = false;
}

void CliTransfer::reportReadingProblems(const QString& table, const QStringList& problems) {
    for (const QString& problem : problems)
        print(QStringLiteral("dravena-cli send: %1: warning: %2").arg(table, problem));
    tableWhole_ = false;
}

void CliTransfer::tableStarting(const QString& name, std::int64_t rows) {
    table_ = name;
    tableRows_ = rows;
    done_ = 0;
    failed_ = 0;
    lastDrawn_ = -1;
    tableStart_ = clock_->steadyMilliseconds();
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
    const bool asked = outcome == TableOutcome::Skipped;
    if (asked && settings_.overwrite && !*settings_.overwrite) {
        ++tablesSkipped_;
        print(QStringLiteral("%1: left as it is on the server").arg(name));
    } else if (outcome == TableOutcome::Sent) {
        const bool whole = tableWhole_ && failed_ == 0 && done_ == tableRows_;
        rowsSent_ += done_ - failed_;
        rowsFailed_ += failed_;
        if (whole)
            ++tablesWhole_;
        print(QStringLiteral("%1: %2 of %3 sent, %4 failed, %5%6")
                  .arg(name)
                  .arg(done_ - failed_)
                  .arg(counted(tableRows_, "row", "rows"))
                  .arg(failed_)
                  .arg(seconds(tableMilliseconds()),
                       whole ? QString() : QStringLiteral(" (not complete)")));
    } else if (!asked) {
        print(QStringLiteral("%1: not sent").arg(name));
    }
    table_.clear();
    tableRows_ = done_ = failed_ = 0;
    tableWhole_ = true;
    tableStart_ = -1;
}

std::int64_t CliTransfer::tableMilliseconds() const {
    return tableStart_ < 0 ? 0 : clock_->steadyMilliseconds() - tableStart_;
}

QString CliTransfer::summary() const {
    return QStringLiteral("dravena-cli send: %1: %2 whole, %3, %4 with failures; %5, %6; %7")
        .arg(counted(settings_.tables.size(), "table", "tables"))
        .arg(tablesWhole_)
        .arg(counted(tablesSkipped_, "left as it was", "left as they were"))
        .arg(settings_.tables.size() - tablesWhole_ - tablesSkipped_)
        .arg(counted(rowsSent_, "row sent", "rows sent"),
             counted(rowsFailed_, "row failed", "rows failed"),
             seconds(clock_->steadyMilliseconds() - runStart_));
}

bool CliTransfer::allWhole() const {
    return !runFailed_ && tablesWhole_ + tablesSkipped_ == settings_.tables.size();
}

void CliTransfer::print(const QString& line) {
    std::unique_lock<std::mutex> guard;
    if (outputLock_ != nullptr)
        guard = std::unique_lock<std::mutex>(*outputLock_);
    clearBar();
    printLine(out_, line);
    std::fflush(out_);
}

void CliTransfer::drawBar(bool force) {
    if (!terminal_)
        return;
    const std::int64_t now = tableMilliseconds();
    if (!force && lastDrawn_ >= 0 && now - lastDrawn_ < RedrawMilliseconds && done_ != tableRows_)
        return;
    lastDrawn_ = now;
    const double fraction =
        tableRows_ > 0 ? static_cast<double>(done_) / static_cast<double>(tableRows_) : 1.0;
    const auto filled = static_cast<int>(fraction * BarWidth);
    const double rate =
        now > 0 ? static_cast<double>(done_) * 1000.0 / static_cast<double>(now) : 0;
    const QString left = rate > 0 ? clockTime(static_cast<double>(tableRows_ - done_) / rate)
                                  : QStringLiteral("-:--");
    const QString line = QStringLiteral("\r\x1b[K%1 [%2%3] %4/%5 rows  %6 rows/s  %7 left")
                             .arg(table_, QString(filled, u'#'), QString(BarWidth - filled, u'.'))
                             .arg(done_)
                             .arg(tableRows_)
                             .arg(static_cast<long long>(rate))
                             .arg(left);
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out_);
    std::fflush(out_);
    barShown_ = true;
}

void CliTransfer::clearBar() {
    if (!barShown_)
        return;
    std::fputs("\r\x1b[K", out_);
    barShown_ = false;
}

} // namespace dravena::cli
