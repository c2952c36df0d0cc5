#include "WindowTransfer.h"

#include "TableList.h"
#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/LocationTags.h"
#include "base/Ports.h"
#include "fsutil/TableFiles.h"
#include "schema/Statements.h"
#include "transfer/TransferLines.h"
#include "ui/MainWindow.h"

#include <QProgressBar>

#include <cmath>

namespace dravena {

WindowTransfer::WindowTransfer(MainWindow& window, const ConnectionEntries& entries,
                               TableList& paradoxList, TableList& oracleList,
                               QProgressBar& progressBar, int rowsPerArray)
    : window_(window), entries_(entries), paradoxList_(paradoxList), oracleList_(oracleList),
      progressBar_(progressBar), rowsPerArray_(rowsPerArray) {}

int WindowTransfer::currentTableIndex() const {
    return paradoxList_.currentIndex();
}

int WindowTransfer::tableCount() const {
    return paradoxList_.entryCount();
}

bool WindowTransfer::isTableSelected(int index) const {
    return paradoxList_.isEntrySelected(index);
}

QString WindowTransfer::tableName(int index) const {
    return paradoxList_.entry(index);
}

QString WindowTransfer::tableSource(int index) const {
    return tablePath(paradoxList_.entrySubFolder(index), paradoxList_.entry(index));
}

bool WindowTransfer::isInServerList(const QString& name) const {
    return IsInList(oracleList_, name);
}

QString WindowTransfer::serverName(const QString& name) const {
    for (int i = 0; i < oracleList_.entryCount(); ++i)
        if (oracleList_.entry(i) == name)
            return name;
    for (int i = 0; i < oracleList_.entryCount(); ++i)
        if (oracleList_.entry(i).toLower() == name.toLower())
            return oracleList_.entry(i);
    return name;
}

void WindowTransfer::removeFromServerList(const QString& name) {
    RemoveFromList(oracleList_, name);
}

void WindowTransfer::addToServerList(const QString& name) {
    oracleList_.addEntry(name);
}

int WindowTransfer::askOverwrite(const QString& name) {
    return dialogs().question(QStringLiteral("Would you like to overwrite ") + name + u'?',
                              QStringLiteral("Overwrite?"));
}

// Asked once the rows are in; No (the default) leaves the server's table as it was.
bool WindowTransfer::replaceWithIncomplete(const QString& name, std::int64_t rows) {
    return dialogs().question(QStringLiteral("%1 rows of %2 did not arrive whole. Replace the "
                                             "server's %2 with the incomplete copy?")
                                  .arg(rows)
                                  .arg(name),
                              applicationTitle(), AnswerNo) == AnswerYes;
}

// The table is read all the same: a copy it changed under is never kept (the run reads it again).
bool WindowTransfer::readHeldTable(const QString& name, const QString& finding) {
    dialogs().message(QStringLiteral("%1: %2.").arg(name, finding), applicationTitle());
    return true;
}

void WindowTransfer::notReplaced(const QString&, const QString& text) {
    dialogs().message(text + u'.', applicationTitle());
}

void WindowTransfer::tellNoTableSelected() {
    dialogs().message(QStringLiteral("Please select a table to send."), applicationTitle());
}

void WindowTransfer::setPointer(int value) {
    window_.setMousePointer(value);
}

void WindowTransfer::setProgress(double percent) {
    // The bar holds whole numbers; the value is rounded as an integer property takes it.
    progressBar_.setValue(static_cast<int>(std::nearbyint(percent)));
}

void WindowTransfer::resetProgress() {
    progressBar_.setValue(0);
    progressBar_.setFormat(QStringLiteral("Progress Bar"));
}

void WindowTransfer::yield() {
    yieldToEventLoop();
}

namespace {

// How many of a table's further refused rows its closing box quotes.
constexpr int QuotedRefusals = 3;

} // namespace

// What a lost connection did to the table being sent, told at once in the failure's box.
QString WindowTransfer::lostConnectionStory(const QString& table) const {
    const QString server = isInServerList(table)
                               ? QStringLiteral("%1 on the server was left as it was").arg(table)
                               : QStringLiteral("%1 was not created on the server").arg(table);
    const QString copy = rowsArrived_ > 0
                             ? QStringLiteral("The rows that arrived are in the partial copy %1")
                             : QStringLiteral("A partial copy %1 may have been begun");
    return QStringLiteral("\r\n\r\nThe connection was lost while sending %1: %2 of %3 rows had "
                          "arrived (what was in flight is not known to have arrived). %4. %5, "
                          "which the next send of %1 removes.")
        .arg(table)
        .arg(rowsArrived_)
        .arg(tableRows_)
        .arg(server, copy.arg(loadingTableName(table)));
}

// The first row of a table the server refuses is reported at once, with the table and the row;
// the table's further refusals are counted and told in one box when the table ends.
void WindowTransfer::reportFailure(const TransferFailure& failure) {
    QString description = failure.description;
    if (failure.connectionLost && !failure.table.isEmpty()) {
        description += lostConnectionStory(failure.table);
        lostTable_ = failure.table;
    } else if (failure.line == transferline::Insert && failure.row >= 0) {
        const QString refusal = QStringLiteral("%1, row %2: %3")
                                    .arg(failure.table)
                                    .arg(failure.row + 1)
                                    .arg(failure.description);
        if (++refusedRows_ > 1) {
            if (laterRefusals_.size() < QuotedRefusals)
                laterRefusals_.append(refusal);
            return;
        }
        description = refusal;
    }
    ReportApplicationError(description, QString::fromUtf8(tags::Form2PushButton4Click),
                           failure.line);
}

void WindowTransfer::tableStarting(const QString&, std::int64_t rows) {
    tableRows_ = rows;
    rowsArrived_ = 0;
    refusedRows_ = 0;
    laterRefusals_.clear();
}

void WindowTransfer::rowSent(std::int64_t, bool inserted) {
    if (inserted)
        ++rowsArrived_;
}

void WindowTransfer::tableFinished(const QString& name, TableOutcome outcome) {
    if (refusedRows_ > 1)
        dialogs().message(QStringLiteral("The server refused %1 more rows of %2. The first of "
                                         "them:\n%3")
                              .arg(refusedRows_ - 1)
                              .arg(name, laterRefusals_.join(u'\n')),
                          applicationTitle());
    if (outcome == TableOutcome::NotCreated && isInServerList(name) && name != lostTable_)
        dialogs().message(name + QStringLiteral(" on the server was left as it was."),
                          applicationTitle());
    tableRows_ = rowsArrived_ = refusedRows_ = 0;
    laterRefusals_.clear();
    lostTable_.clear();
}

void WindowTransfer::reportReadingProblems(const QString& table, const QStringList& problems) {
    const QString what = valuesLost_ ? QStringLiteral("Not every value of %1 could be read: %2")
                                     : QStringLiteral("Reading %1: %2");
    valuesLost_ = false;
    ReportApplicationError(what.arg(table, problems.join(QStringLiteral("; "))),
                           QString::fromUtf8(tags::Form2PushButton4Click),
                           transferline::ReadingProblems);
}

} // namespace dravena
