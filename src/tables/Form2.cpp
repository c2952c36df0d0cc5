#include "Form2.h"

#include "TableList.h"
#include "TableListing.h"
#include "WindowTransfer.h"
#include "base/LocationTags.h"
#include "base/Product.h"
#include "base/ProgramFiles.h"
#include "base/Trap.h"
#include "connections/Form1.h"
#include "fsutil/FileHelpers.h"
#include "transfer/TransferRun.h"
#include "ui/PointerMove.h"
#include "ui/ProgramImages.h"
#include "ui/Skin.h"

#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/Ports.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

namespace dravena {

namespace {

void setAllSelected(const char* tag, TableList& list, bool selected) {
    Trap trap(tag);
    trap.line(100);
    for (int i = 0; i < list.entryCount(); ++i)
        trap.step(102, [&] { list.setEntrySelected(i, selected); });
    // Selecting all makes the first entry current when none is, so that the operations that
    // start from the current entry take the selection.
    if (selected && trap.test(106, [&] { return list.currentIndex() == -1; }))
        trap.step(106, [&] {
            if (list.entryCount() > 0)
                list.setCurrentIndex(0);
        });
}

} // namespace

Form2::Form2(Form1& connectionWindow) : form1_(connectionWindow) {
    buildLayout();
    connectHandlers();
    centreOnScreen();
}

void Form2::connectHandlers() {
    const std::pair<QPushButton*, void (Form2::*)()> clickHandlers[] = {
        {PushButton1, &Form2::PushButton1_Click},   {PushButton2, &Form2::PushButton2_Click},
        {PushButton4, &Form2::PushButton4_Click},   {PushButton5, &Form2::PushButton5_Click},
        {PushButton6, &Form2::PushButton6_Click},   {PushButton7, &Form2::PushButton7_Click},
        {PushButton8, &Form2::PushButton8_Click},   {PushButton9, &Form2::PushButton9_Click},
        {PushButton10, &Form2::PushButton10_Click}, {PushButton11, &Form2::PushButton11_Click},
        {PushButton12, &Form2::PushButton12_Click},
    };
    // The handler is copied into the lambda (clang 14 cannot capture a structured binding).
    for (const auto& [button, handler] : clickHandlers)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] {
            runOperation([this, handler] { (this->*handler)(); });
        });
    connectPointerHandlers();
}

void Form2::connectPointerHandlers() {
    const std::pair<QWidget*, void (Form2::*)()> pointerHandlers[] = {
        {this, &Form2::Form_MouseMove},
        {Frame1, &Form2::Frame1_MouseMove},
        {Frame2, &Form2::Frame2_MouseMove},
        {List2, &Form2::List2_MouseMove},
        {PushButton1, &Form2::PushButton1_MouseMove},
        {PushButton2, &Form2::PushButton2_MouseMove},
        {PushButton4, &Form2::PushButton4_MouseMove},
        {PushButton5, &Form2::PushButton5_MouseMove},
        {PushButton6, &Form2::PushButton6_MouseMove},
        {PushButton7, &Form2::PushButton7_MouseMove},
        {PushButton8, &Form2::PushButton8_MouseMove},
        {PushButton9, &Form2::PushButton9_MouseMove},
        {PushButton10, &Form2::PushButton10_MouseMove},
        {PushButton11, &Form2::PushButton11_MouseMove},
        {PushButton12, &Form2::PushButton12_MouseMove},
    };
    // The handler is copied into the lambda (clang 14 cannot capture a structured binding).
    for (const auto& [control, handler] : pointerHandlers)
        connectPointerMove(*control, [this, handler = handler] { (this->*handler)(); });
}

void Form2::Form_Load() {
    Trap trap(tags::Form2FormLoad);
    trap.step(100, [&] { SetFormColors(*this); });
    // With the skin beside the program the tables window looks like the connection window.
    trap.step(100, [&] { applySkinStyleSheet(*this); });
    trap.step(102, [&] { setWindowIcon(applicationIcon()); });
    if (trap.test(106, [] { return FileExists(pointerFilePath()); }))
        trap.step(108, [&] { setCustomPointer(loadPointerFile(pointerFilePath())); });
    trap.step(110, [&] { setWindowTitle(QString::fromLatin1(ProductName)); });
    trap.step(112, [&] { List1->clear(); });
    trap.step(114, [&] { List2->clear(); });
    trap.step(116, [&] { ListOracleTables(*List1, form1_); });
    trap.step(118, [&] { ListParadoxTables(*List2, form1_); });
    trap.step(120, [&] { setOuterHeight(PushButton2->geometry().bottom() + 1 + twips(580)); });
}

void Form2::PushButton2_Click() {
    Trap trap(tags::Form2PushButton2Click);
    trap.step(100, [&] { form1_.show(); });
    trap.step(102, [&] { hide(); });
}

void Form2::PushButton4_Click() {
    WindowTransfer frontEnd(*this, form1_, *List2, *List1, *ProgressBar1, rowsPerArray_);
    sending_ = &frontEnd;
    SendTablesToOracle(frontEnd);
    sending_ = nullptr;
    if (closeWhenStopped_)
        close();
}

bool Form2::askStopSending() {
    if (dialogs().question(QStringLiteral("Stop sending?"), applicationTitle()) != AnswerYes)
        return false;
    if (sending_) // the run may have ended while the question was open
        sending_->requestStop();
    return true;
}

void Form2::closeEvent(QCloseEvent* event) {
    if (!sending_) {
        MainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    if (!closeWhenStopped_ && askStopSending())
        closeWhenStopped_ = true;
}

void Form2::keyPressEvent(QKeyEvent* event) {
    if (sending_ && event->key() == Qt::Key_Escape)
        askStopSending();
    else
        MainWindow::keyPressEvent(event);
}

void Form2::PushButton8_Click() {
    setAllSelected(tags::Form2PushButton8Click, *List2, true);
}
void Form2::PushButton9_Click() {
    setAllSelected(tags::Form2PushButton9Click, *List2, false);
}
void Form2::PushButton10_Click() {
    setAllSelected(tags::Form2PushButton10Click, *List1, true);
}
void Form2::PushButton11_Click() {
    setAllSelected(tags::Form2PushButton11Click, *List1, false);
}

} // namespace dravena
