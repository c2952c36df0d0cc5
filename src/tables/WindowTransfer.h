#pragma once

#include "transfer/TransferFrontEnd.h"

class QProgressBar;

namespace dravena {

class MainWindow;
class TableList;

// The tables window as the transfer sees it: the Paradox list gives the tables, the Oracle list is
// kept in step, the progress bar and the window's pointer follow the run, and questions and
// failure reports go through the dialogs.
class WindowTransfer final : public TransferFrontEnd {
public:
    // Sends rowsPerArray rows per round trip (1: one INSERT statement per row).
    WindowTransfer(MainWindow& window, const ConnectionEntries& entries, TableList& paradoxList,
                   TableList& oracleList, QProgressBar& progressBar,
                   int rowsPerArray = DefaultRowsPerArray);

    const ConnectionEntries& entries() const override { return entries_; }
    int currentTableIndex() const override;
    int tableCount() const override;
    bool isTableSelected(int index) const override;
    QString tableName(int index) const override;
    QString tableSource(int index) const override;
    bool isInServerList(const QString& name) const override;
    QString serverName(const QString& name) const override;
    void removeFromServerList(const QString& name) override;
    void addToServerList(const QString& name) override;
    int askOverwrite(const QString& name) override;
    void tellNoTableSelected() override;
    bool replaceWithIncomplete(const QString& name, std::int64_t rows) override;
    bool readHeldTable(const QString& name, const QString& finding) override;
    void notReplaced(const QString& name, const QString& text) override;
    void tellReplace(const QString& name, const QString& text) override { notReplaced(name, text); }
    void setPointer(int value) override;
    void setProgress(double percent) override;
    void resetProgress() override;
    void yield() override;
    int rowsPerArray() const override { return rowsPerArray_; }
    void reportFailure(const TransferFailure& failure) override;
    void reportReadingProblems(const QString& table, const QStringList& problems) override;
    void valuesNotRead(const QString&) override { valuesLost_ = true; }
    void tableStarting(const QString& name, std::int64_t rows) override;
    void rowSent(std::int64_t row, bool inserted) override;
    void tableFinished(const QString& name, TableOutcome outcome) override;
    bool stopRequested() override { return stopRequested_; }

    // Ends the run after the current row or array, as the user asked.
    void requestStop() { stopRequested_ = true; }

private:
    QString lostConnectionStory(const QString& table) const;

    MainWindow& window_;
    const ConnectionEntries& entries_;
    TableList& paradoxList_;
    TableList& oracleList_;
    QProgressBar& progressBar_;
    int rowsPerArray_;
    bool stopRequested_ = false;
    bool valuesLost_ = false; // the table's reading problems cost values

    // The table being sent: its rows, those that arrived, and the server's refusals of single
    // rows after the first (which got its own report).
    std::int64_t tableRows_ = 0;
    std::int64_t rowsArrived_ = 0;
    // The table whose load the lost connection ended: its whole story is in the failure's box.
    QString lostTable_;
    std::int64_t refusedRows_ = 0;
    QStringList laterRefusals_;
};

} // namespace dravena
