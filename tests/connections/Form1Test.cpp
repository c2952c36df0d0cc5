#include "connections/Form1.h"
#include "base/ApplicationTitle.h"
#include "base/Keyring.h"
#include "base/LocationTags.h"
#include "base/Ports.h"
#include "base/ProgramFiles.h"
#include "base/RuntimeError.h"
#include "support/FakeDataAccess.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPorts.h"
#include "support/TestConfigFolder.h"
#include "ui/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::ScopedDataAccess;
using dravena::testing::ScopedDialogs;
using Kind = dravena::testing::ScriptedDialogs::Kind;

namespace {

// Stands in for the tables window and counts what the connection window asks of it.
class CountingTablesWindow final : public TablesWindow {
public:
    explicit CountingTablesWindow(int& loads, int& shows) : loads_(loads), shows_(shows) {}
    void runLoadStep() override { ++loads_; }
    void showWindow() override { ++shows_; }

private:
    int& loads_;
    int& shows_;
};

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* key : {settingkeys::ParadoxFolder, settingkeys::Server, settingkeys::User,
                                settingkeys::Password, settingkeys::LastFolderDot})
            Settings::write(key, {});
        SetApplicationTitle();
        form = std::make_unique<Form1>(
            [this] { return std::make_unique<CountingTablesWindow>(loads, shows); });
    }

    QLineEdit* field(const char* name) { return form->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) { return form->findChild<QPushButton*>(name); }

    void saveEntries(const QString& folder) {
        Settings::write(settingkeys::ParadoxFolder, folder);
        Settings::write(settingkeys::Server, QStringLiteral("TQRB"));
        Settings::write(settingkeys::User, QStringLiteral("scott"));
        Settings::write(settingkeys::Password, QStringLiteral("ti;ger"));
    }

    QString folderWithTable() {
        QFile table(tables.filePath(QStringLiteral("Customer.DB")));
        EXPECT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("x");
        return tables.path();
    }

    static void refuseSignOn(const QString&) {
        throw RuntimeError(errnum::DataAccess,
                           QStringLiteral("ORA-01017: invalid username/password"));
    }

    ScopedDialogs dialogs;
    dravena::testing::ScopedPorts outside;
    ScopedDataAccess data;
    QTemporaryDir tables;
    int loads = 0;
    int shows = 0;
    std::unique_ptr<Form1> form;
};

TEST_F(Form1Test, FirstRunShowsEmptyEntriesWithoutMessageOrServerAttempt) {
    form->Form_Load();
    for (const char* name : {"Text1", "Text2", "Text3", "Text4"})
        EXPECT_TRUE(field(name)->text().isEmpty()) << name;
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(data->opened.isEmpty());
    EXPECT_FALSE(form->tablesWindowLoaded());
    EXPECT_EQ(form->windowTitle(), "Dravena Conversion Software");
    EXPECT_EQ(applicationTitle(), "Dravena Conversion");
}

TEST_F(Form1Test, WorkingSavedEntriesMoveStraightToTheTablesWindow) {
    saveEntries(folderWithTable());
    form->show();
    form->Form_Load();
    EXPECT_EQ(field("Text4")->text(), "ti;ger");
    ASSERT_EQ(data->opened.size(), 1);
    EXPECT_EQ(data->opened[0],
              "Driver={Microsoft ODBC for Oracle};Server=TQRB;Uid=scott;Pwd={ti;ger};");
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(form->isHidden());
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(Form1Test, FolderWithoutTablesIsNotFollowedByASignOnAttempt) {
    saveEntries(tables.path());
    form->Form_Load();
    EXPECT_TRUE(data->opened.isEmpty());
    EXPECT_FALSE(form->tablesWindowLoaded());
    form->PushButton2_Click();
    EXPECT_TRUE(data->opened.isEmpty());
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(Form1Test, RefusedSignOnKeepsTheConnectionWindowSilently) {
    saveEntries(folderWithTable());
    data->onOpen = refuseSignOn;
    form->Form_Load();
    EXPECT_EQ(field("Text2")->text(), "TQRB");
    EXPECT_FALSE(form->tablesWindowLoaded());

    form->PushButton2_Click();
    EXPECT_EQ(data->opened.size(), 2);
    EXPECT_FALSE(form->tablesWindowLoaded());
    EXPECT_EQ(form->mousePointer(), PointerDefault);
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(Form1Test, NextReadsTheListsAfreshEachTime) {
    field("Text1")->setText(folderWithTable());
    form->PushButton2_Click();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(form->isHidden());
    form->show(); // as "< Back" does
    form->PushButton2_Click();
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(form->mousePointer(), PointerDefault);
}

TEST_F(Form1Test, OracleTestAnswersWhileBusyThenRestoresThePointer) {
    std::vector<int> pointerDuringBox;
    dialogs->onBox = [&](const auto&) { pointerDuringBox.push_back(form->mousePointer()); };
    form->PushButton1_Click();
    data->onOpen = refuseSignOn;
    form->PushButton1_Click();

    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[0].text, "Connection successful.");
    EXPECT_EQ(dialogs->boxes[1].text, "Could not connect. Please check with your administrator.");
    EXPECT_EQ(dialogs->boxes[1].details, "ORA-01017: invalid username/password");
    for (const auto& box : dialogs->boxes) {
        EXPECT_EQ(box.kind, Kind::Message);
        EXPECT_EQ(box.title, "Dravena Conversion");
    }
    EXPECT_EQ(pointerDuringBox, (std::vector<int>{PointerBusy, PointerBusy}));
    EXPECT_EQ(form->mousePointer(), PointerDefault);
}

TEST_F(Form1Test, ClicksDuringAnOperationDoNotStartAnother) {
    field("Text1")->setText(folderWithTable());
    dialogs->onBox = [&](const auto&) { button("PushButton2")->click(); };
    button("PushButton1")->click(); // its box is open while "Next >" is clicked
    EXPECT_EQ(data->opened.size(), 1);
    EXPECT_FALSE(form->tablesWindowLoaded());
    dialogs->onBox = nullptr;
    button("PushButton2")->click();
    EXPECT_TRUE(form->tablesWindowLoaded());
}

TEST_F(Form1Test, OracleTestWithoutDataAccessReportsThenRefuses) {
    data->failCreation = true;
    form->PushButton1_Click();
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[0].kind, Kind::ErrorReport);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QString::fromLatin1(tags::Form1PushButton1Click) +
                                                "at line 100\r\r"));
    EXPECT_EQ(dialogs->boxes[1].text, "Could not connect. Please check with your administrator.");
}

TEST_F(Form1Test, ParadoxTestLooksForTableFilesOnly) {
    form->PushButton3_Click(); // empty field
    field("Text1")->setText(tables.path());
    form->PushButton3_Click(); // no table file
    field("Text1")->setText(folderWithTable() + "/");
    form->PushButton3_Click(); // trailing separator
    ASSERT_EQ(dialogs->boxes.size(), 3u);
    EXPECT_EQ(dialogs->boxes[0].text, "Could not connect.");
    EXPECT_EQ(dialogs->boxes[1].text, "Could not connect.");
    EXPECT_EQ(dialogs->boxes[2].text, "Connection successful.");
    EXPECT_TRUE(data->opened.isEmpty());
    EXPECT_EQ(form->mousePointer(), PointerDefault);
}

// A folder that is not there, or a file in its place, is simply no Paradox folder; a folder that
// cannot be looked at is reported. Neither is ever a passed check: no sign-on attempt, no tables
// window, no "Connection successful.".
TEST_F(Form1Test, ParadoxCheckOfAMissingOrUnreadableFolderNeverPasses) {
    const QString file = folderWithTable() + "/Customer.DB";
    const struct {
        QString folder;
        std::vector<int> reportedLines;
    } cases[] = {
        {tables.filePath(QStringLiteral("missing")), {}},
        {tables.filePath(QStringLiteral("missing/deeper")), {}},
        {file, {}},
        // A name too long to be looked at: a real failure, told by each trapped caller.
        {tables.filePath(QString(300, u'x')), {136, 102, 104}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.left(80).toStdString());
        dialogs->boxes.clear();
        saveEntries(c.folder);
        form->Form_Load();
        form->PushButton2_Click();
        form->PushButton3_Click();
        EXPECT_FALSE(form->tablesWindowLoaded());
        EXPECT_EQ(loads, 0);
        EXPECT_TRUE(data->opened.isEmpty());
        std::vector<int> lines;
        for (const auto& report : dialogs->reports())
            lines.push_back(
                report.text.section(QStringLiteral("at line "), 1).section(u'\r', 0, 0).toInt());
        EXPECT_EQ(lines, c.reportedLines);
        ASSERT_FALSE(dialogs->boxes.empty());
        EXPECT_EQ(dialogs->boxes.back().text, "Could not connect.");
        EXPECT_EQ(form->mousePointer(), PointerDefault);
    }
}

// The entries are stored as they change; the password only when typing ends (leaving the
// field, Test Connection, Next), so that no half-typed password is ever kept.
TEST_F(Form1Test, EntriesAreStoredAsTheyChangeThePasswordWhenTypingEnds) {
    for (const QString& typed : {QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("abc")})
        field("Text2")->setText(typed);
    EXPECT_EQ(Settings::read(settingkeys::Server), "abc");
    field("Text4")->setText(QStringLiteral("p\"w;ä"));
    EXPECT_EQ(Settings::read(settingkeys::Password), "");
    emit field("Text4")->editingFinished();
    EXPECT_EQ(Settings::read(settingkeys::Password), "p\"w;ä");
    field("Text4")->setText(QStringLiteral("tiger"));
    form->PushButton1_Click();
    EXPECT_EQ(Settings::read(settingkeys::Password), "tiger");
    field("Text4")->clear();
    form->PushButton2_Click();
    EXPECT_EQ(Settings::read(settingkeys::Password, QStringLiteral("absent")), "");
    EXPECT_EQ(field("Text4")->echoMode(), QLineEdit::Password);
}

// A keyring that keeps its entries in memory, or answers nothing (as none running, or locked).
class FakeKeyring final : public Keyring {
public:
    Answer read(const QString& key) override { return answer(entries.value(key)); }
    Answer write(const QString& key, const QString& password) override {
        if (!failure.isEmpty())
            return answer({});
        ++writes;
        entries[key] = password;
        return answer({});
    }
    Answer remove(const QString& key) override {
        if (failure.isEmpty())
            entries.remove(key);
        return answer({});
    }
    Answer answer(const QString& password) const {
        return failure.isEmpty() ? Answer{true, password, {}} : Answer{false, {}, failure};
    }
    QMap<QString, QString> entries;
    QString failure;
    int writes = 0;
};

TEST_F(Form1Test, ThePasswordMovesIntoTheKeyringOrStaysInTheFileWithTheReasonShown) {
    const auto keyring = std::make_shared<FakeKeyring>();
    ports().keyring = keyring;
    const QString folder = folderWithTable();
    for (const bool answering : {true, false}) {
        SCOPED_TRACE(answering ? "a keyring answers" : "no keyring answers");
        keyring->entries.clear();
        keyring->failure = answering ? QString() : QStringLiteral("the keyring is locked");
        saveEntries(folder);
        auto window = std::make_unique<Form1>(
            [this] { return std::make_unique<CountingTablesWindow>(loads, shows); });
        window->Form_Load();
        QLineEdit* password = window->findChild<QLineEdit*>("Text4");
        EXPECT_EQ(password->text(), "ti;ger");
        EXPECT_EQ(data->opened.last(),
                  "Driver={Microsoft ODBC for Oracle};Server=TQRB;Uid=scott;Pwd={ti;ger};");
        // Typed anew and left: the keyring holds it under the SID and user, the file nothing.
        password->setText(QStringLiteral("tiger2"));
        emit password->editingFinished();
        window->PushButton1_Click(); // nothing new to store
        const auto* notice = window->findChild<QLabel*>("KeyringNotice");
        if (answering) {
            EXPECT_EQ(keyring->entries, (QMap<QString, QString>{{"scott@TQRB", "tiger2"}}));
            EXPECT_EQ(keyring->writes, 2);
            EXPECT_TRUE(Settings::read(settingkeys::Password).isNull());
            EXPECT_TRUE(notice->isHidden());
        } else {
            EXPECT_EQ(Settings::read(settingkeys::Password), "tiger2");
            EXPECT_FALSE(notice->isHidden());
            EXPECT_TRUE(notice->text().contains("the keyring is locked"))
                << notice->text().toStdString();
        }
    }
    // The next start finds the password in the keyring.
    keyring->failure.clear();
    keyring->entries = {{"scott@TQRB", "from keyring"}};
    Settings::remove(settingkeys::Password);
    form->Form_Load();
    EXPECT_EQ(field("Text4")->text(), "from keyring");
    ports().keyring.reset();
}

// Trouble with the settings store costs at most the remembering: typing goes on, the entry takes
// every key, and the trouble is told once.
TEST_F(Form1Test, TypingGoesOnWhateverTheStateOfTheSettingsStore) {
    const struct {
        const char* what;
        QByteArray velmora; // written at the store's folder, or into the store file below it
        bool asFile;
        const char* told;
    } cases[] = {
        {"its folder taken by a file", "x", true, "cannot be saved"},
        {"a file that cannot be parsed", "[Dravena%20Conversion%20Software]\nUser=u\n[broken\n",
         false, "written anew"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dravena::testing::TestConfigFolder store;
        const QString at = store.path() + (c.asFile ? "/Velmora" : "/Velmora/Velmora.ini");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(at).path()));
        QFile file(at);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.velmora);
        file.close();
        auto window = std::make_unique<Form1>(
            [this] { return std::make_unique<CountingTablesWindow>(loads, shows); });
        window->show();
        dialogs->boxes.clear();
        QLineEdit* sid = window->findChild<QLineEdit*>("Text2");
        QTest::keyClicks(sid, QStringLiteral("abc"));
        EXPECT_EQ(sid->text(), "abc");
        ASSERT_EQ(dialogs->boxes.size(), 1u);
        EXPECT_EQ(dialogs->boxes[0].kind, Kind::Message);
        EXPECT_TRUE(dialogs->boxes[0].text.contains(QLatin1String(c.told)))
            << dialogs->boxes[0].text.toStdString();
    }
}

TEST_F(Form1Test, FolderButtonsFillTheFolderEntry) {
    Settings::write(settingkeys::LastFolderDot, QStringLiteral("/srv/data"));
    field("Text1")->setText(QStringLiteral("/old"));
    form->PushButton5_Click(); // cancelled
    EXPECT_EQ(field("Text1")->text(), "/old");
    dialogs->textAnswers.push_back(QStringLiteral("/new/folder"));
    form->PushButton5_Click();
    EXPECT_EQ(field("Text1")->text(), "/new/folder");
    EXPECT_EQ(Settings::read(settingkeys::ParadoxFolder), "/new/folder");
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[0].text, "Please select folder:");
    EXPECT_EQ(dialogs->boxes[0].detail, "/srv/data");

    form->PushButton6_Click();
    EXPECT_EQ(field("Text1")->text(), programFolder() + "/Samples");
}

TEST_F(Form1Test, SidHelpShowsTwoBoxes) {
    form->PushButton4_Click();
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    const QString& help = dialogs->boxes[0].text;
    EXPECT_TRUE(
        help.startsWith("This software works with Oracle 9i or higher.\r\rThe SID is used"));
    EXPECT_TRUE(
        help.contains("looks like:\r\n\r\nTQRB =\r\n (DESCRIPTION =\r\n   (ADDRESS_LIST =\r\n"));
    EXPECT_TRUE(help.endsWith("   )\r\n )\r\n\r\nTherefore, my SID would be TQRB"));
    EXPECT_EQ(dialogs->boxes[1].text,
              "This software does not support the CLOB and NLOB data type in Oracle.");
    EXPECT_EQ(dialogs->boxes[1].title, "Dravena Conversion");
}

TEST_F(Form1Test, ClosingTheWindowEndsTheProcess) {
    form->show();
    form->close();
    EXPECT_EQ(outside.processExit->codes, std::vector<int>{0});
}

TEST_F(Form1Test, StartUpOpensTheHomePageOnlyOnTheLuckyDraw) {
    outside.random->numbers = {0.06}; // draws 7
    form->Form_Load();
    EXPECT_EQ(outside.launcher->opened.size(), 1);
    outside.random->numbers = {0.07};
    form->Form_Load();
    EXPECT_EQ(outside.launcher->opened.size(), 1);
}

// Entering a field by a click or by the keyboard selects its whole text, so typing replaces it.
TEST_F(Form1Test, EnteringAFieldSelectsItsWholeText) {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Each click moves the focus (the folder field has it at first).
    const char* names[] = {"Text2", "Text3", "Text4", "Text1"};
    for (const char* name : names)
        field(name)->setText(QStringLiteral("entry of ") + QLatin1String(name));
    for (const char* name : names) {
        QLineEdit* entry = field(name);
        QTest::mouseClick(entry, Qt::LeftButton, {}, QPoint(entry->width() / 2, 4));
        QCoreApplication::processEvents();
        EXPECT_TRUE(entry->hasFocus()) << name;
        EXPECT_EQ(entry->selectionStart(), 0) << name;
        EXPECT_EQ(entry->selectionLength(), entry->text().size()) << name;
    }
    QTest::keyClick(field("Text1"), Qt::Key_Tab); // the password field follows the folder
    QCoreApplication::processEvents();
    EXPECT_TRUE(field("Text4")->hasFocus());
    EXPECT_EQ(field("Text4")->selectedText(), "entry of Text4");
}

TEST_F(Form1Test, LayoutFollowsTheDesign) {
    EXPECT_EQ(form->size(), QSize(536, 317));
    EXPECT_EQ(button("PushButton2")->text(), "Next >");
    EXPECT_EQ(button("PushButton2")->geometry(), QRect(8, 282, 520, 26));
    EXPECT_EQ(field("Text1")->parentWidget()->objectName(), "Frame1");
    EXPECT_EQ(field("Text2")->parentWidget()->objectName(), "Frame2");
    // Keyboard order: folder, password, user name, SID, then the buttons.
    EXPECT_EQ(field("Text1")->nextInFocusChain(), field("Text4"));
    EXPECT_EQ(field("Text4")->nextInFocusChain(), field("Text3"));
    EXPECT_EQ(field("Text3")->nextInFocusChain(), field("Text2"));
    EXPECT_EQ(field("Text2")->nextInFocusChain(), button("PushButton5"));
    // Frames and labels are white until a skin gives them the button face.
    for (const char* name : {"Frame1", "Frame2", "Label2", "Label5", "Label7", "Label9"}) {
        const auto* control = form->findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_TRUE(control->autoFillBackground()) << name;
        EXPECT_EQ(control->palette().color(QPalette::Window), QColor(Qt::white)) << name;
    }
}

} // namespace
