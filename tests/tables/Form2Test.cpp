#include "tables/Form2.h"
#include "base/ApplicationTitle.h"
#include "base/LocationTags.h"
#include "base/RuntimeError.h"
#include "connections/Form1.h"
#include "support/FakeDataAccess.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPorts.h"
#include "tables/TableList.h"
#include "tables/TableListing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::ScopedDataAccess;
using dravena::testing::ScopedDialogs;

namespace {

class Entries final : public ConnectionEntries {
public:
    QString folder;
    QString paradoxFolder() const override { return folder; }
    QString oracleSid() const override { return {}; }
    QString oracleUser() const override { return {}; }
    QString oraclePassword() const override { return {}; }
};

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
}

QStringList entriesOf(const TableList& list) {
    QStringList names;
    for (int i = 0; i < list.entryCount(); ++i)
        names.push_back(list.entry(i));
    return names;
}

TEST(TableListTest, KeepsEntriesSortedWithoutRegardToCase) {
    TableList list;
    for (const char* name : {"orders", "Customer", "PARTS", "address"})
        list.addEntry(QString::fromLatin1(name));
    EXPECT_EQ(entriesOf(list), (QStringList{"address", "Customer", "orders", "PARTS"}));
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST(TableListTest, SettingTheCurrentEntryLeavesTheSelectionAlone) {
    TableList list;
    for (const char* name : {"A", "B", "C"})
        list.addEntry(QString::fromLatin1(name));
    list.setEntrySelected(2, true);
    list.setCurrentIndex(0);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_FALSE(list.isEntrySelected(0));
    EXPECT_TRUE(list.isEntrySelected(2));
}

TEST(ParadoxListingTest, ListsTableFilesOfTheFolderAndItsSubFolders) {
    QTemporaryDir root;
    touch(root.filePath("Orders.db"));
    touch(root.filePath("a.db.db"));
    touch(root.filePath("~temp.db"));
    touch(root.filePath("notes.txt"));
    touch(root.filePath("sub/orders.DB"));
    touch(root.filePath(".hidden/secret.db"));
    Entries entries;
    entries.folder = root.path();
    TableList list;
    ListParadoxTables(list, entries);
    EXPECT_EQ(entriesOf(list), (QStringList{"A", "ORDERS", "ORDERS"}));
    EXPECT_EQ(list.currentIndex(), -1);

    entries.folder.clear();
    ListParadoxTables(list, entries);
    EXPECT_EQ(list.entryCount(), 3);
}

class Form2Test : public ::testing::Test {
protected:
    Form2Test()
        : form1([this] {
              auto window = std::make_unique<Form2>(form1);
              form2 = window.get();
              return window;
          }) {}

    ScopedDialogs dialogs;
    dravena::testing::ScopedPorts outside;
    ScopedDataAccess data;
    QTemporaryDir folder;
    Form2* form2 = nullptr;
    Form1 form1;
};

TEST_F(Form2Test, FailedSignOnIsReportedAtTheCallingLineAndTheParadoxListStillFills) {
    touch(folder.filePath("Customer.db"));
    form1.findChild<QLineEdit*>("Text1")->setText(folder.path());
    data->onOpen = [](const QString&) {
        throw RuntimeError(errnum::DataAccess, QStringLiteral("ORA-12154: could not resolve"));
    };
    Form2 window(form1);
    window.Form_Load();
    const auto reports = dialogs->reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text.section("\r\r", 0, 0), "ORA-12154: could not resolve\r\n" +
                                                         QString::fromLatin1(tags::Form2FormLoad) +
                                                         "at line 116");
    EXPECT_EQ(window.oracleList().entryCount(), 0);
    EXPECT_EQ(entriesOf(window.paradoxList()), QStringList{"CUSTOMER"});
    EXPECT_EQ(window.windowTitle(), "Dravena Conversion Software");
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->format(), "Progress Bar");
}

// The load step makes the whole window, title bar and border included, end 580 twips below
// "< Back", whether the window is already on screen or shown afterwards.
TEST_F(Form2Test, WindowEnds580TwipsBelowTheBackButtonFrameIncluded) {
    for (const bool shownFirst : {true, false}) {
        Form2 window(form1);
        if (shownFirst)
            window.show();
        window.Form_Load();
        window.show();
        QCoreApplication::processEvents();
        const QPushButton* back = window.findChild<QPushButton*>("PushButton2");
        EXPECT_EQ(window.frameGeometry().height(), back->geometry().bottom() + 1 + 580 / 15)
            << shownFirst;
        EXPECT_GT(window.frameGeometry().height(), window.height()) << "no frame to measure";
    }
}

TEST_F(Form2Test, SelectAllSetsTheFlagsAndAFirstCurrentEntry) {
    Form2 window(form1);
    for (const char* name : {"B", "A", "C"})
        window.paradoxList().addEntry(QString::fromLatin1(name));
    window.paradoxList().setCurrentIndex(1);
    window.PushButton8_Click();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(window.paradoxList().isEntrySelected(i));
    EXPECT_EQ(window.paradoxList().currentIndex(), 1);
    window.PushButton9_Click();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(window.paradoxList().isEntrySelected(i));
    window.PushButton10_Click(); // empty Oracle list: nothing to do
    EXPECT_EQ(window.oracleList().currentIndex(), -1);
    // A list without a current entry gets the first one, so that the operations take the
    // selection; deselecting leaves it.
    for (const char* name : {"Y", "X"})
        window.oracleList().addEntry(QString::fromLatin1(name));
    window.PushButton10_Click();
    EXPECT_EQ(window.oracleList().currentIndex(), 0);
    EXPECT_EQ(window.oracleList().selectedCount(), 2);
    window.PushButton11_Click();
    EXPECT_EQ(window.oracleList().currentIndex(), 0);
    EXPECT_TRUE(dialogs->boxes.empty());
}

// Without a current Paradox entry the send button only asks for a table; with one but nothing
// selected it opens both connections, sends nothing and closes them again.
TEST_F(Form2Test, SendWithoutACurrentOrASelectedEntry) {
    SetApplicationTitle();
    Form2 window(form1);
    window.paradoxList().addEntry(QStringLiteral("ORDERS"));
    window.PushButton4_Click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, "Please select a table to send.");
    EXPECT_EQ(dialogs->boxes[0].title, "Dravena Conversion");
    EXPECT_TRUE(data->opened.isEmpty());

    dialogs->boxes.clear();
    window.paradoxList().setCurrentIndex(0);
    window.PushButton4_Click();
    EXPECT_TRUE(dialogs->boxes.empty());
    ASSERT_EQ(data->opened.size(), 2);
    EXPECT_TRUE(data->opened[0].startsWith("Driver={Microsoft Paradox Driver (*.db )}"));
    EXPECT_TRUE(data->opened[1].startsWith("Driver={Microsoft ODBC for Oracle}"));
    EXPECT_EQ(window.mousePointer(), PointerDefault);
}

TEST(TableListTest, IsInListIgnoresCaseAndRemoveFromListDoesNot) {
    TableList list;
    for (const char* name : {"Orders", "ORDERS", "Straße"})
        list.addEntry(QString::fromUtf8(name));
    struct Case {
        const char* name;
        bool inList;
    };
    for (const Case& c : {Case{"orders", true}, Case{"ORDERS", true}, Case{"STRASSE", false},
                          Case{"straße", true}, Case{"Order", false}, Case{"", false}})
        EXPECT_EQ(IsInList(list, QString::fromUtf8(c.name)), c.inList) << c.name;
    RemoveFromList(list, QStringLiteral("orders")); // no exact match: nothing goes
    EXPECT_EQ(list.entryCount(), 3);
    RemoveFromList(list, QStringLiteral("ORDERS"));
    EXPECT_EQ(entriesOf(list), (QStringList{"Orders", "Straße"}));
    EXPECT_FALSE(IsInList(TableList(), QStringLiteral("x")));
}

TEST_F(Form2Test, BackShowsTheConnectionWindowAndKeepsTheLists) {
    touch(folder.filePath("Customer.db"));
    form1.findChild<QLineEdit*>("Text1")->setText(folder.path());
    data->onOpen = [](const QString&) {
        throw RuntimeError(errnum::DataAccess, QStringLiteral("refused"));
    };
    form1.PushButton2_Click(); // Oracle check fails: nothing happens
    EXPECT_EQ(form2, nullptr);
    data->onOpen = nullptr;
    form1.PushButton2_Click(); // both pass; the listing query then fails and is reported
    ASSERT_NE(form2, nullptr);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(entriesOf(form2->paradoxList()), QStringList{"CUSTOMER"});
    form2->PushButton2_Click();
    EXPECT_TRUE(form1.isVisible());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_EQ(entriesOf(form2->paradoxList()), QStringList{"CUSTOMER"});
}

} // namespace
