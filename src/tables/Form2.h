#pragma once

#include "dataaccess/ConnectionEntries.h"
#include "transfer/TransferFrontEnd.h"
#include "ui/MainWindow.h"

class QGroupBox;
class QProgressBar;
class QPushButton;

namespace dravena {

class Form1;
class TableList;

// The tables window: the Oracle tables and the Paradox tables side by side, with the operations
// on them.
class WindowTransfer;

class Form2 final : public MainWindow, public TablesWindow {
public:
    explicit Form2(Form1& connectionWindow);

    // TablesWindow
    void runLoadStep() override { Form_Load(); }
    void showWindow() override { show(); }

    // Handlers
    void Form_Load();
    void PushButton1_Click();  // drop the selected Oracle tables
    void PushButton2_Click();  // "< Back"
    void PushButton4_Click();  // send the selected Paradox tables to Oracle
    void PushButton5_Click();  // delete the selected Paradox tables
    void PushButton6_Click();  // rename the selected Oracle table
    void PushButton7_Click();  // rename the selected Paradox table
    void PushButton8_Click();  // select all Paradox tables
    void PushButton9_Click();  // deselect all Paradox tables
    void PushButton10_Click(); // select all Oracle tables
    void PushButton11_Click(); // deselect all Oracle tables
    void PushButton12_Click(); // "Help"
    // "Send Table/s To Paradox" (PushButton3) does nothing when clicked.

    // Pointer handlers: the arrow over the window, its frames and the Paradox list, the hand over
    // the push buttons that act. None for the Oracle list, the progress bar and PushButton3.
    void Form_MouseMove() { pointerMoved(PointerDefault); }
    void Frame1_MouseMove() { pointerMoved(PointerDefault); }
    void Frame2_MouseMove() { pointerMoved(PointerDefault); }
    void List2_MouseMove() { pointerMoved(PointerDefault); }
    void PushButton1_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton2_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton4_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton5_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton6_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton7_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton8_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton9_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton10_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton11_MouseMove() { pointerMoved(PointerCustom); }
    void PushButton12_MouseMove() { pointerMoved(PointerCustom); }

    TableList& oracleList() { return *List1; }
    TableList& paradoxList() { return *List2; }
    // Rows the send button sends per round trip; 1 sends one INSERT statement per row (for
    // comparing the two in benchmarks).
    void setRowsPerArray(int rows) { rowsPerArray_ = rows; }

protected:
    // While tables are being sent, closing the window or pressing Escape asks "Stop sending?"
    // first; Yes stops the run after the current row or array (and then closes the window when
    // that was asked).
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool askStopSending();
    void buildLayout();
    void connectHandlers();
    void connectPointerHandlers();
    QString tableFolder(const TableList& list, int index) const;

    Form1& form1_;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    TableList* List1 = nullptr;
    TableList* List2 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton5 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton7 = nullptr;
    QPushButton* PushButton8 = nullptr;
    QPushButton* PushButton9 = nullptr;
    QPushButton* PushButton10 = nullptr;
    QPushButton* PushButton11 = nullptr;
    QPushButton* PushButton12 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    int rowsPerArray_ = DefaultRowsPerArray;
    WindowTransfer* sending_ = nullptr; // the run of PushButton4_Click under way
    bool closeWhenStopped_ = false;
};

} // namespace dravena
