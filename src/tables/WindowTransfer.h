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
    WindowTransfer(MainWindow& window, const ConnectionEntries& entries, TableList& paradoxList,
                   TableList& oracleList, QProgressBar& progressBar);

    const ConnectionEntries& entries() const override { return entries_; }
    int currentTableIndex() const override;
    int tableCount() const override;
    bool isTableSelected(int index) const override;
    QString tableName(int index) const override;
    QString tableSource(int index) const override;
    bool isInServerList(const QString& name) const override;
    void removeFromServerList(const QString& name) override;
    void addToServerList(const QString& name) override;
    int askOverwrite(const QString& name) override;
    void tellNoTableSelected() override;
    void setPointer(int value) override;
    void setProgress(double percent) override;
    void resetProgress() override;
    void yield() override;
    void reportFailure(const TransferFailure& failure) override;
    void reportReadingProblems(const QString& table, const QStringList& problems) override;

private:
    MainWindow& window_;
    const ConnectionEntries& entries_;
    TableList& paradoxList_;
    TableList& oracleList_;
    QProgressBar& progressBar_;
};

} // namespace dravena
