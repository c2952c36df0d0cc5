#include "Form1.h"

#include "ConnectionChecks.h"
#include "SidHelp.h"
#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/LocationTags.h"
#include "base/ObjectRef.h"
#include "base/Ports.h"
#include "base/Product.h"
#include "base/ProgramFiles.h"
#include "base/Trap.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/FileHelpers.h"
#include "fsutil/FolderPicker.h"
#include "fsutil/SampleCopy.h"
#include "ui/GotFocus.h"
#include "ui/HomePage.h"
#include "ui/PointerMove.h"
#include "ui/ProgramImages.h"
#include "ui/Settings.h"
#include "ui/Skin.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace dravena {

namespace {

void plainMessage(const char* text) {
    dialogs().message(QString::fromLatin1(text), applicationTitle());
}

// Selects the field's whole text, so that typing replaces it. A click that brought the focus
// places the text cursor only after the focus has arrived: the selection is made once more when
// the click has been handled.
void selectWholeText(QLineEdit& field) {
    field.selectAll();
    QTimer::singleShot(0, &field, [&field] {
        if (field.hasFocus())
            field.selectAll();
    });
}

} // namespace

Form1::Form1(TablesWindowFactory makeTablesWindow)
    : makeTablesWindow_(std::move(makeTablesWindow)) {
    buildLayout();
    connectHandlers();
    centreOnScreen();
}

Form1::~Form1() = default;

QString Form1::paradoxFolder() const {
    return Text1->text();
}
QString Form1::oracleSid() const {
    return Text2->text();
}
QString Form1::oracleUser() const {
    return Text3->text();
}
QString Form1::oraclePassword() const {
    return Text4->text();
}

void Form1::connectHandlers() {
    connect(PushButton1, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton1_Click(); }); });
    connect(PushButton2, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton2_Click(); }); });
    connect(PushButton3, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton3_Click(); }); });
    connect(PushButton4, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton4_Click(); }); });
    connect(PushButton5, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton5_Click(); }); });
    connect(PushButton6, &QPushButton::clicked, this,
            [this] { runOperation([this] { PushButton6_Click(); }); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
    for (QLineEdit* entry : {Text2, Text3, Text4})
        connect(entry, &QLineEdit::editingFinished, this, [this] { storePassword(); });
    connectGotFocus(*Text1, [this] { Text1_GotFocus(); });
    connectGotFocus(*Text2, [this] { Text2_GotFocus(); });
    connectGotFocus(*Text3, [this] { Text3_GotFocus(); });
    connectGotFocus(*Text4, [this] { Text4_GotFocus(); });

    const std::pair<QWidget*, void (Form1::*)()> pointerHandlers[] = {
        {this, &Form1::Form_MouseMove},
        {Frame1, &Form1::Frame1_MouseMove},
        {Frame2, &Form1::Frame2_MouseMove},
        {Text1, &Form1::Text1_MouseMove},
        {Text2, &Form1::Text2_MouseMove},
        {Text3, &Form1::Text3_MouseMove},
        {Text4, &Form1::Text4_MouseMove},
        {PushButton1, &Form1::PushButton1_MouseMove},
        {PushButton2, &Form1::PushButton2_MouseMove},
        {PushButton3, &Form1::PushButton3_MouseMove},
        {PushButton4, &Form1::PushButton4_MouseMove},
        {PushButton5, &Form1::PushButton5_MouseMove},
        {PushButton6, &Form1::PushButton6_MouseMove},
    };
    // The handler is copied into the lambda (clang 14 cannot capture a structured binding).
    for (const auto& [control, handler] : pointerHandlers)
        connectPointerMove(*control, [this, handler = handler] { (this->*handler)(); });
}

TablesWindow& Form1::loadedTablesWindow() {
    if (!tables_) {
        tables_ = makeTablesWindow_();
        tables_->runLoadStep();
    }
    return *tables_;
}

void Form1::reloadTablesWindow() {
    if (!tables_)
        loadedTablesWindow();
    else
        tables_->runLoadStep();
}

void Form1::Form_Load() {
    Trap trap(tags::Form1FormLoad);
    trap.step(100, [&] { ApplySkin(*this); });
    trap.step(104, [&] { setWindowTitle(QString::fromLatin1(ProductName)); });
    trap.step(104, [&] { setWindowIcon(applicationIcon()); });
    trap.step(104, [] { SetApplicationTitle(); });
    trap.step(106, [&] { VisitHomePage(); });
    if (trap.test(124, [&] { return FileExists(pointerFilePath()); }))
        trap.step(126, [&] { setCustomPointer(loadPointerFile(pointerFilePath())); });
    trap.step(128, [&] { Text1->setText(Settings::read(settingkeys::ParadoxFolder)); });
    trap.step(130, [&] { Text2->setText(Settings::read(settingkeys::Server)); });
    trap.step(132, [&] { Text3->setText(Settings::read(settingkeys::User)); });
    trap.step(134, [&] { Text4->setText(passwords_.load(Text2->text(), Text3->text())); });
    trap.step(134, [&] { tellWherePasswordIsKept(); });
    if (trap.check(136, [&] { return CheckParadoxFolder(*this); })) {
        if (trap.check(138, [&] { return CheckOracleConnection(*this); })) {
            trap.step(140, [&] { loadedTablesWindow().showWindow(); });
            trap.step(142, [&] { hide(); });
        }
    }
}

void Form1::PushButton1_Click() {
    storePassword();
    Trap trap(tags::Form1PushButton1Click);
    ObjectRef<Connection> connection;
    trap.step(100, [&] { connection = dataAccess().createConnection(); });
    // From here a failure does not produce the report: it leads to the refusal below.
    bool failed = false;
    QString reason;
    try {
        trap.line(102);
        setMousePointer(PointerBusy);
        trap.line(104);
        connection->open(oracleConnectionString(oracleSid(), oracleUser(), oraclePassword()));
        trap.line(106);
        plainMessage("Connection successful.");
        trap.line(108);
        setMousePointer(PointerDefault);
    } catch (...) {
        failed = true;
        reason = describeCurrentException();
    }
    if (failed) {
        trap.step(112, [&] {
            dialogs().messageWithDetails(
                QStringLiteral("Could not connect. Please check with your administrator."),
                applicationTitle(), reason);
        });
        trap.step(114, [&] { setMousePointer(PointerDefault); });
    }
}

void Form1::PushButton2_Click() {
    storePassword();
    Trap trap(tags::Form1PushButton2Click);
    trap.step(100, [&] { setMousePointer(PointerBusy); });
    if (trap.check(102, [&] { return CheckParadoxFolder(*this); })) {
        if (trap.check(104, [&] { return CheckOracleConnection(*this); })) {
            trap.step(106, [&] { reloadTablesWindow(); });
            trap.step(108, [&] { loadedTablesWindow().showWindow(); });
            trap.step(110, [&] { hide(); });
        }
    }
    trap.step(112, [&] { setMousePointer(PointerDefault); });
}

void Form1::PushButton3_Click() {
    Trap trap(tags::Form1PushButton3Click);
    ObjectRef<Connection> connection;
    trap.step(100, [&] { connection = dataAccess().createConnection(); });
    trap.step(102, [&] { setMousePointer(PointerBusy); });
    if (trap.check(104, [&] { return CheckParadoxFolder(*this); }))
        trap.step(106, [] { plainMessage("Connection successful."); });
    else
        trap.step(108, [] { plainMessage("Could not connect."); });
    trap.step(110, [&] { setMousePointer(PointerDefault); });
}

void Form1::PushButton4_Click() {
    Trap trap(tags::Form1PushButton4Click);
    QString introduction;
    QString separator;
    QStringList lines;
    QString example;
    QString conclusion;
    trap.step(100, [&] { introduction = sidHelpIntroduction(); });
    trap.step(102, [&] { separator = QStringLiteral("\r\n\r\n"); });
    for (int i = 0; i < SidHelpExampleLines; ++i)
        trap.step(104 + 2 * i, [&] { lines.append(sidHelpExampleLine(i)); });
    trap.step(122, [&] { example = lines.join(QStringLiteral("\r\n")); });
    trap.step(124, [&] { conclusion = sidHelpConclusion(); });
    trap.step(126, [&] {
        dialogs().message(introduction + separator + example + separator + conclusion,
                          applicationTitle());
    });
    trap.step(128, [&] { dialogs().message(unsupportedTypesText(), applicationTitle()); });
}

void Form1::PushButton5_Click() {
    Trap trap(tags::Form1PushButton5Click);
    QString start;
    QString folder;
    trap.step(100, [&] { start = Settings::read(settingkeys::LastFolderDot); });
    trap.step(100,
              [&] { folder = BrowseForFolder(QStringLiteral("Please select folder:"), start); });
    if (trap.test(102, [&] { return folder.isEmpty(); }))
        return;
    trap.step(104, [&] { Text1->setText(folder); });
}

void Form1::PushButton6_Click() {
    Trap trap(tags::Form1PushButton6Click);
    // An installed copy's samples are copied for the user first: the installation is never
    // written to.
    trap.step(100, [&] { Text1->setText(sampleFolderForUser()); });
}

void Form1::Text1_Change() {
    entryStore_.write(settingkeys::ParadoxFolder, Text1->text());
}
void Form1::Text2_Change() {
    entryStore_.write(settingkeys::Server, Text2->text());
}
void Form1::Text3_Change() {
    entryStore_.write(settingkeys::User, Text3->text());
}
void Form1::storePassword() {
    passwords_.store(Text2->text(), Text3->text(), Text4->text());
    tellWherePasswordIsKept();
}

void Form1::tellWherePasswordIsKept() {
    if (passwords_.fileReason().isEmpty() || !KeyringNotice->isHidden())
        return;
    KeyringNotice->setText(passwords_.fileReason());
    setFixedHeight(KeyringNotice->geometry().bottom() + 8);
    KeyringNotice->show();
}

void Form1::Text1_GotFocus() {
    selectWholeText(*Text1);
}
void Form1::Text2_GotFocus() {
    selectWholeText(*Text2);
}
void Form1::Text3_GotFocus() {
    selectWholeText(*Text3);
}
void Form1::Text4_GotFocus() {
    selectWholeText(*Text4);
}

} // namespace dravena
