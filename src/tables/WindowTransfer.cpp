#include "WindowTransfer.h"

#include "TableList.h"
#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorReport.h"
#include "app/LocationTags.h"
#include "app/MainWindow.h"
#include "app/Ports.h"
#include "fsutil/TableFiles.h"
#include "transfer/TransferLines.h"

#include <QProgressBar>

#include <cmath>

namespace dravena {

WindowTransfer::WindowTransfer(MainWindow& window, const ConnectionEntries& entries,
                               TableList& paradoxList, TableList& oracleList,
                               QProgressBar& progressBar)
    : window_(window), entries_(entries), paradoxList_(paradoxList), oracleList_(oracleList),
      progressBar_(progressBar) {}

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

void WindowTransfer::reportFailure(const TransferFailure& failure) {
    ReportApplicationError(failure.description, QString::fromUtf8(tags::Form2PushButton4Click),
                           failure.line);
}

void WindowTransfer::reportReadingProblems(const QString& table, const QStringList& problems) {
    ReportApplicationError(QStringLiteral("Not every value of %1 could be read: %2")
                               .arg(table, problems.join(QStringLiteral("; "))),
                           QString::fromUtf8(tags::Form2PushButton4Click),
                           transferline::ReadingProblems);
}

} // namespace dravena
