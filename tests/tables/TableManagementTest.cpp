// Dropping, deleting and renaming tables from the tables window: the Oracle side on a scripted
// connection, the Paradox side on real files in a temporary folder.

#include "base/ApplicationTitle.h"
#include "base/LocationTags.h"
#include "base/RuntimeError.h"
#include "connections/Form1.h"
#include "support/FakeDataAccess.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPorts.h"
#include "tables/Form2.h"
#include "tables/TableList.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::ScopedDataAccess;
using dravena::testing::ScopedDialogs;
using Kind = dravena::testing::ScriptedDialogs::Kind;

namespace {

QStringList entriesOf(const TableList& list) {
    QStringList names;
    for (int i = 0; i < list.entryCount(); ++i)
        names.push_back(list.entry(i));
    return names;
}

class TableManagementTest : public ::testing::Test {
protected:
    TableManagementTest() : form1([] { return std::unique_ptr<TablesWindow>(); }), window(form1) {
        SetApplicationTitle();
        form1.findChild<QLineEdit*>("Text1")->setText(folder.path());
        data->onExecute = [](const QString&) {};
    }

    // Fills the list and selects the named entries, the first of them current.
    static void fill(TableList& list, const QStringList& names, const QStringList& selected) {
        for (const QString& name : names)
            list.addEntry(name);
        for (int i = 0; i < list.entryCount(); ++i) {
            list.setEntrySelected(i, selected.contains(list.entry(i)));
            if (selected.contains(list.entry(i)) && list.currentIndex() < 0)
                list.setCurrentIndex(i);
        }
    }

    void write(const QString& name) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
    }
    QStringList files() const {
        return QDir(folder.path()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    }

    // Each failure report up to the request for a screenshot: description, tag and line.
    QStringList reports() {
        QStringList heads;
        for (const auto& box : dialogs->reports())
            heads.append(
                box.text.section(QStringLiteral("\r\r"), 0, 0).remove(QStringLiteral("\r\n")));
        return heads;
    }
    static QString at(const char* tag, int line) {
        return QString::fromUtf8(tag) + "at line " + QString::number(line);
    }

    ScopedDialogs dialogs;
    dravena::testing::ScopedPorts outside;
    ScopedDataAccess data;
    QTemporaryDir folder;
    Form1 form1;
    Form2 window;
};

// Without a current entry, or with one but the wrong number selected, each operation says so
// (or, deleting, quietly does nothing) and touches neither tables nor lists.
TEST_F(TableManagementTest, SelectionsThatDoNotFitTheOperation) {
    struct Case {
        const char* button;
        bool oracle;
        QStringList selected; // empty: no current entry at all
        bool currentWithoutSelection;
        const char* message; // nullptr: none
    };
    const Case cases[] = {
        {"PushButton1", true, {}, false, "Please select a table"},
        {"PushButton1", true, {}, true, nullptr},
        {"PushButton6", true, {}, false, "Please select a table to rename."},
        {"PushButton6", true, {}, true, "Please select just one table to rename."},
        {"PushButton6", true, {"A", "B"}, false, "Please select just one table to rename."},
        {"PushButton5", false, {}, false, "Please select a table to delete."},
        {"PushButton5", false, {}, true, nullptr},
        {"PushButton7", false, {}, false, "Please select a table to rename."},
        {"PushButton7", false, {}, true, "Please select just one table to rename."},
        {"PushButton7", false, {"A", "B"}, false, "Please select just one table to rename."},
    };
    write(QStringLiteral("a.db"));
    write(QStringLiteral("b.db"));
    for (const Case& c : cases) {
        const std::string name = std::string(c.button) + " " + std::to_string(c.selected.size()) +
                                 (c.currentWithoutSelection ? " current" : "");
        TableList& list = c.oracle ? window.oracleList() : window.paradoxList();
        list.clear();
        fill(list, {"A", "B", "C"}, c.selected);
        if (c.currentWithoutSelection)
            list.setCurrentIndex(1);
        dialogs->boxes.clear();
        data->executed.clear();
        window.findChild<QPushButton*>(c.button)->click();
        ASSERT_EQ(dialogs->boxes.size(), c.message ? 1u : 0u) << name;
        if (c.message) {
            EXPECT_EQ(dialogs->boxes[0].kind, Kind::Message) << name;
            EXPECT_EQ(dialogs->boxes[0].text, c.message) << name;
            EXPECT_EQ(dialogs->boxes[0].title, "Dravena Conversion") << name;
        }
        EXPECT_TRUE(data->executed.isEmpty()) << name;
        EXPECT_EQ(entriesOf(list), (QStringList{"A", "B", "C"})) << name;
        EXPECT_EQ(files(), (QStringList{"a.db", "b.db"})) << name;
        EXPECT_EQ(window.mousePointer(), PointerDefault) << name;
    }
}

// Drops walk from the last entry to the first; an entry goes only with its table. A rename the
// server takes puts the new name at its sorted place, the first entry current.
TEST_F(TableManagementTest, DropAndRenameStatementsAndTheEntriesTheyLeave) {
    fill(window.oracleList(), {"Alpha", "beta", "Gamma", "delta", "Say \"hi\""},
         {"beta", "delta", "Say \"hi\""});
    data->onExecute = [](const QString& sql) {
        if (sql.contains("delta"))
            throw RuntimeError(errnum::DataAccess, QStringLiteral("ORA-00054: resource busy"));
    };
    std::vector<int> pointers;
    dialogs->onBox = [&](const auto&) { pointers.push_back(window.mousePointer()); };
    window.PushButton1_Click();
    EXPECT_EQ(data->executed, (QStringList{"DROP TABLE \"Say \"\"hi\"\"\"", "DROP TABLE \"delta\"",
                                           "DROP TABLE \"beta\""}));
    EXPECT_EQ(entriesOf(window.oracleList()), (QStringList{"Alpha", "delta", "Gamma"}));
    EXPECT_EQ(reports(),
              (QStringList{"ORA-00054: resource busy" + at(tags::Form2PushButton1Click, 112)}));
    EXPECT_EQ(pointers, std::vector<int>{PointerBusy});
    EXPECT_EQ(window.mousePointer(), PointerDefault);

    ASSERT_TRUE(window.oracleList().isEntrySelected(1)); // delta stays, selected
    window.oracleList().setCurrentIndex(1);
    dialogs->textAnswers = {QStringLiteral("Abc \"x\"")};
    data->executed.clear();
    data->onExecute = [](const QString&) {};
    window.PushButton6_Click();
    EXPECT_EQ(data->executed, QStringList{"RENAME \"delta\" TO \"Abc \"\"x\"\"\""});
    EXPECT_EQ(entriesOf(window.oracleList()), (QStringList{"Abc \"x\"", "Alpha", "Gamma"}));
    EXPECT_EQ(window.oracleList().currentIndex(), 0);
    EXPECT_FALSE(window.oracleList().isEntrySelected(0));
}

TEST_F(TableManagementTest, HelpNamesTheSupportPageAndSendToParadoxDoesNothing) {
    window.findChild<QPushButton*>("PushButton12")->click();
    window.findChild<QPushButton*>("PushButton3")->click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, "Questions? Please contact Team Velmora at "
                                      "https://www.velmora.example/support/");
    EXPECT_EQ(dialogs->boxes[0].title, "Dravena Conversion");
    EXPECT_TRUE(data->opened.isEmpty());
}

// Deleting asks first, No the default; on Yes two adjacent selected tables go with every file of
// their families, whatever the letter case on disk; a selected table whose file is gone stays
// listed; neighbours keep files and entries.
TEST_F(TableManagementTest, DeleteAsksThenTakesTheWholeFamilyOfEachSelectedTable) {
    const QStringList before = {"customer.db", "customer.mb", "Orders.DB",
                                "ORDERS.PX",   "orders.X02",  "parts.db",
                                "Parts.MB",    "zeta.db",     "zeta.mb"};
    for (const QString& name : before)
        write(name);
    fill(window.paradoxList(), {"CUSTOMER", "GHOST", "ORDERS", "PARTS", "ZETA"},
         {"GHOST", "ORDERS", "PARTS"});
    window.PushButton5_Click(); // answered No
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].kind, Kind::Question);
    EXPECT_EQ(dialogs->boxes[0].text, "Delete 3 table(s) and all their files from " +
                                          folder.path() + "? This cannot be undone.");
    EXPECT_EQ(dialogs->boxes[0].title, "Dravena Conversion");
    EXPECT_EQ(dialogs->boxes[0].detail, "No");
    EXPECT_EQ(files().size(), before.size());
    EXPECT_EQ(window.paradoxList().entryCount(), 5);

    dialogs->questionAnswers = {AnswerYes};
    window.PushButton5_Click();
    EXPECT_EQ(files(), (QStringList{"customer.db", "customer.mb", "zeta.db", "zeta.mb"}));
    EXPECT_EQ(entriesOf(window.paradoxList()), (QStringList{"CUSTOMER", "GHOST", "ZETA"}));
    EXPECT_EQ(dialogs->boxes.size(), 2u);

    // A current entry but nothing selected: no question, nothing deleted.
    window.findChild<QPushButton*>("PushButton9")->click();
    window.PushButton5_Click();
    EXPECT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(files().size(), 4);
    EXPECT_TRUE(data->opened.isEmpty());
    EXPECT_EQ(window.mousePointer(), PointerDefault);
}

// A table listed from a sub-folder is deleted and renamed where it lies; its namesake in the
// folder itself is not touched.
TEST_F(TableManagementTest, ASubFolderTableIsDeletedAndRenamedWhereItLies) {
    for (const char* name : {"orders.db", "sub/orders.db", "sub/Orders.MB", "sub/parts.db"}) {
        QDir(folder.path()).mkpath(QStringLiteral("sub"));
        write(QString::fromLatin1(name));
    }
    TableList& list = window.paradoxList();
    list.addEntry(QStringLiteral("ORDERS"), QStringLiteral("sub"));
    list.addEntry(QStringLiteral("ORDERS"));
    list.addEntry(QStringLiteral("PARTS"), QStringLiteral("sub"));
    ASSERT_EQ(list.entrySubFolder(0), ""); // the folder's own first
    list.setEntrySelected(2, true);
    list.setCurrentIndex(2);
    dialogs->textAnswers = {QStringLiteral("Sales")};
    window.PushButton7_Click();
    EXPECT_EQ(QDir(folder.filePath("sub")).entryList(QDir::Files),
              (QStringList{"orders.db", "Orders.MB", "Sales.db"}));
    EXPECT_EQ(list.entry(2), "Sales");
    EXPECT_EQ(list.entrySubFolder(2), "sub");

    list.setEntrySelected(1, true);
    list.setCurrentIndex(1);
    dialogs->questionAnswers = {AnswerYes};
    window.PushButton5_Click();
    EXPECT_EQ(files(), QStringList{"orders.db"});
    EXPECT_EQ(QDir(folder.filePath("sub")).entryList(QDir::Files), QStringList{"Sales.db"});
    EXPECT_EQ(entriesOf(list), (QStringList{"ORDERS", "Sales"}));
    EXPECT_EQ(list.entrySubFolder(0), "");
    EXPECT_TRUE(reports().isEmpty());
}

TEST_F(TableManagementTest, ParadoxRenameMovesTheFamilyOrLeavesEverythingAsItWas) {
    struct Case {
        QString answer;
        QStringList files;
        QStringList entries;
        QString report; // "" for none; "%1" stands for the folder
    };
    const QStringList before = {"orders.db", "Orders.MB", "Other.DB"};
    const QStringList listed = {"ORDERS", "OTHER"};
    const Case cases[] = {
        {"", before, listed, ""},
        {"Sales", {"Other.DB", "Sales.db", "Sales.MB"}, {"OTHER", "Sales"}, ""},
        {"other", before, listed, "File already exists: %1/Other.DB"},
    };
    for (const Case& c : cases) {
        for (const QString& name : files())
            QFile::remove(folder.filePath(name));
        for (const QString& name : before)
            write(name);
        window.paradoxList().clear();
        fill(window.paradoxList(), listed, {"ORDERS"});
        dialogs->boxes.clear();
        dialogs->textAnswers = {c.answer};
        std::vector<int> pointers;
        dialogs->onBox = [&](const auto&) { pointers.push_back(window.mousePointer()); };
        data->opened.clear();
        window.PushButton7_Click();
        ASSERT_GE(dialogs->boxes.size(), 1u);
        EXPECT_EQ(dialogs->boxes[0].text, "Enter new name of ORDERS:");
        EXPECT_EQ(files(), c.files) << c.answer.toStdString();
        EXPECT_EQ(entriesOf(window.paradoxList()), c.entries) << c.answer.toStdString();
        EXPECT_EQ(reports(), c.report.isEmpty()
                                 ? QStringList{}
                                 : QStringList{QString(c.report).replace("%1", folder.path()) +
                                               at(tags::MainRenameFile, 100)})
            << c.answer.toStdString();
        EXPECT_EQ(data->opened.size(), 1);
        EXPECT_TRUE(data->opened.value(0).startsWith("Driver={Microsoft Paradox Driver (*.db )}"));
        for (const int pointer : pointers)
            EXPECT_EQ(pointer, PointerBusy);
        EXPECT_EQ(window.mousePointer(), PointerDefault);
    }
}

} // namespace
