#include "TestDatabase.h"

#include "base/ApplicationTitle.h"
#include "connections/Form1.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPorts.h"
#include "tables/Form2.h"
#include "tables/TableList.h"
#include "ui/Settings.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace dravena;

namespace {

// The two windows as the program wires them, started against the test server.
class WindowFlowTest : public dravena::testing::ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        QFile table(folder.filePath(QStringLiteral("Customer.db")));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("x");
        dropIfExists(QStringLiteral("FLOW_ONE"));
        dropIfExists(QStringLiteral("FLOW_TWO"));
        executeAll({QStringLiteral("CREATE TABLE \"FLOW_ONE\"(\"A\" INT)")});
        saveEntries(db.password);
        form1 = std::make_unique<Form1>([this] {
            auto window = std::make_unique<Form2>(*form1);
            form2 = window.get();
            return window;
        });
    }
    void TearDown() override {
        form1.reset();
        if (!IsSkipped()) {
            dropIfExists(QStringLiteral("FLOW_ONE"));
            dropIfExists(QStringLiteral("FLOW_TWO"));
        }
    }

    void saveEntries(const QString& password) {
        Settings::write(settingkeys::ParadoxFolder, folder.path());
        Settings::write(settingkeys::Server, db.sid);
        Settings::write(settingkeys::User, db.user);
        Settings::write(settingkeys::Password, password);
    }

    QStringList oracleTables() const {
        QStringList names;
        for (int i = 0; i < form2->oracleList().entryCount(); ++i)
            names.push_back(form2->oracleList().entry(i));
        return names;
    }

    dravena::testing::ScopedDialogs dialogs;
    dravena::testing::ScopedPorts outside;
    QTemporaryDir folder;
    std::unique_ptr<Form1> form1;
    Form2* form2 = nullptr;
};

TEST_F(WindowFlowTest, SavedEntriesThatWorkStartStraightInTheTablesWindow) {
    form1->Form_Load();
    ASSERT_NE(form2, nullptr);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_TRUE(form1->isHidden());
    EXPECT_TRUE(oracleTables().contains(QStringLiteral("FLOW_ONE")));
    EXPECT_EQ(form2->oracleList().currentIndex(), 0);
    EXPECT_EQ(form2->paradoxList().entry(0), "CUSTOMER");
    EXPECT_EQ(form2->paradoxList().currentIndex(), -1);
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(WindowFlowTest, AWrongPasswordKeepsTheConnectionWindowWithoutAMessage) {
    saveEntries(db.password + QStringLiteral("-wrong"));
    form1->Form_Load();
    EXPECT_EQ(form2, nullptr);
    EXPECT_EQ(form1->findChild<QLineEdit*>("Text3")->text(), db.user);
    form1->PushButton1_Click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, "Could not connect. Please check with your administrator.");
}

TEST_F(WindowFlowTest, BackThenNextReadsBothListsAfresh) {
    form1->Form_Load();
    ASSERT_NE(form2, nullptr);
    form2->PushButton2_Click();
    EXPECT_TRUE(form1->isVisible());
    executeAll({QStringLiteral("CREATE TABLE \"FLOW_TWO\"(\"A\" INT)"),
                QStringLiteral("DROP TABLE \"FLOW_ONE\"")});
    QFile::remove(folder.filePath(QStringLiteral("Customer.db")));
    QFile orders(folder.filePath(QStringLiteral("orders.DB")));
    ASSERT_TRUE(orders.open(QIODevice::WriteOnly));
    orders.write("x");
    orders.close();

    form1->PushButton2_Click();
    EXPECT_TRUE(form2->isVisible());
    EXPECT_TRUE(form1->isHidden());
    EXPECT_TRUE(oracleTables().contains(QStringLiteral("FLOW_TWO")));
    EXPECT_FALSE(oracleTables().contains(QStringLiteral("FLOW_ONE")));
    EXPECT_EQ(form2->paradoxList().entryCount(), 1);
    EXPECT_EQ(form2->paradoxList().entry(0), "ORDERS");
    EXPECT_TRUE(dialogs->boxes.empty());
}

} // namespace
