#include "Form2.h"

#include "TableList.h"
#include "TableListing.h"
#include "WindowTransfer.h"
#include "app/LocationTags.h"
#include "app/Product.h"
#include "app/ProgramFiles.h"
#include "app/Skin.h"
#include "app/Trap.h"
#include "connections/Form1.h"
#include "fsutil/FileHelpers.h"
#include "transfer/TransferRun.h"

#include <QPushButton>

namespace dravena {

namespace {

void setAllSelected(const char* tag, TableList& list, bool selected) {
    Trap trap(tag);
    trap.line(100);
    for (int i = 0; i < list.entryCount(); ++i)
        trap.step(102, [&] { list.setEntrySelected(i, selected); });
}

} // namespace

Form2::Form2(Form1& connectionWindow) : form1_(connectionWindow) {
    buildLayout();
    connectHandlers();
    centreOnScreen();
}

void Form2::connectHandlers() {
    connect(PushButton2, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton2_Click(); }); });
    connect(PushButton4, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton4_Click(); }); });
    connect(PushButton8, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton8_Click(); }); });
    connect(PushButton9, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton9_Click(); }); });
    connect(PushButton10, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton10_Click(); }); });
    connect(PushButton11, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton11_Click(); }); });
}

void Form2::Form_Load() {
    Trap trap(tags::Form2FormLoad);
    trap.step(100, [&] { SetFormColors(*this); });
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
    WindowTransfer frontEnd(*this, form1_, *List2, *List1, *ProgressBar1);
    SendTablesToOracle(frontEnd);
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
