// Dropping and renaming server tables from the tables window, against the test server.

#include "TestDatabase.h"
#include "schema/Statements.h"

#include "base/ApplicationTitle.h"
#include "base/LocationTags.h"
#include "connections/Form1.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPorts.h"
#include "tables/Form2.h"
#include "tables/TableList.h"

#include <QLineEdit>
#include <QPushButton>

using namespace dravena;
using Kind = dravena::testing::ScriptedDialogs::Kind;

namespace {

class OracleTablesWindowTest : public dravena::testing::ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        SetApplicationTitle();
        for (const QString& name : tables) {
            dropIfExists(name);
            executeAll({QStringLiteral("CREATE TABLE \"%1\"(\"A\" INT)").arg(name)});
        }
        form1 = std::make_unique<Form1>([] { return std::unique_ptr<TablesWindow>(); });
        window = std::make_unique<Form2>(*form1);
        signOn(db.password);
        window->Form_Load();
    }
    void TearDown() override {
        window.reset();
        form1.reset();
        if (!IsSkipped())
            for (const QString& name : tables)
                dropIfExists(name);
    }

    void signOn(const QString& password) {
        form1->findChild<QLineEdit*>("Text2")->setText(db.sid);
        form1->findChild<QLineEdit*>("Text3")->setText(db.user);
        form1->findChild<QLineEdit*>("Text4")->setText(password);
    }

    TableList& list() { return window->oracleList(); }

    // Selects exactly the named entries, the first of them current.
    void select(const QStringList& names) {
        list().setCurrentIndex(-1);
        for (int i = 0; i < list().entryCount(); ++i) {
            const bool chosen = names.contains(list().entry(i));
            list().setEntrySelected(i, chosen);
            if (chosen && list().currentIndex() < 0)
                list().setCurrentIndex(i);
        }
    }

    bool onServer(const QString& name) const {
        const Value found =
            scalar(QStringLiteral("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM user_tables WHERE "
                                  "table_name = '%1'")
                       .arg(name));
        return std::get<std::string>(found) == "1";
    }
    bool listed(const QString& name) {
        return list().findItems(name, Qt::MatchExactly).size() == 1;
    }

    // The line labels of the failure reports with the handler's tag, in order.
    std::vector<int> reportedLines(const char* tag) {
        std::vector<int> lines;
        for (const auto& box : dialogs->reports()) {
            const QString head = box.text.section(QStringLiteral("\r\r"), 0, 0);
            EXPECT_TRUE(head.contains(QString::fromUtf8(tag))) << head.toStdString();
            lines.push_back(head.section(QStringLiteral("at line "), 1).toInt());
        }
        return lines;
    }

    void click(const char* button) { window->findChild<QPushButton*>(button)->click(); }

    dravena::testing::ScopedDialogs dialogs;
    dravena::testing::ScopedPorts outside;
    const QStringList tables = {"OTW_Alpha", "OTW_beta", "OTW_GAMMA", "OTW_delta", "OTW two words"};
    std::unique_ptr<Form1> form1;
    std::unique_ptr<Form2> window;
};

TEST_F(OracleTablesWindowTest, DropsTheSelectedTablesAndKeepsTheOthers) {
    for (const QString& name : tables)
        ASSERT_TRUE(listed(name)) << name.toStdString();
    const int before = list().entryCount();
    select({"OTW_beta", "OTW_delta", "OTW two words"});
    click("PushButton1");
    EXPECT_TRUE(dialogs->boxes.empty()) << dialogs->boxes[0].text.toStdString();
    for (const char* gone : {"OTW_beta", "OTW_delta", "OTW two words"}) {
        EXPECT_FALSE(onServer(QString::fromUtf8(gone))) << gone;
        EXPECT_FALSE(listed(QString::fromUtf8(gone))) << gone;
    }
    for (const char* kept : {"OTW_Alpha", "OTW_GAMMA"}) {
        EXPECT_TRUE(onServer(QString::fromUtf8(kept))) << kept;
        EXPECT_TRUE(listed(QString::fromUtf8(kept))) << kept;
    }
    EXPECT_EQ(list().entryCount(), before - 3);
    EXPECT_EQ(window->mousePointer(), PointerDefault);
}

// A table under its loading name is the program's own: the list leaves it out.
TEST_F(OracleTablesWindowTest, LeavesOutTablesUnderTheirLoadingNames) {
    const QString loading = dravena::loadingTableName(QStringLiteral("OTW_Alpha"));
    dropIfExists(loading);
    executeAll({QStringLiteral("CREATE TABLE \"%1\"(\"A\" INT)").arg(loading)});
    window->Form_Load();
    EXPECT_FALSE(listed(loading));
    EXPECT_TRUE(listed(QStringLiteral("OTW_Alpha")));
    dropIfExists(loading);
}

// A DROP the server refuses is reported at its line and its entry stays; the other goes.
TEST_F(OracleTablesWindowTest, ARefusedDropLeavesItsEntry) {
    list().addEntry(QStringLiteral("OTW_NOT_THERE"));
    select({"OTW_NOT_THERE", "OTW_Alpha"});
    click("PushButton1");
    EXPECT_EQ(reportedLines(tags::Form2PushButton1Click), std::vector<int>{112});
    EXPECT_TRUE(dialogs->reports()[0].text.contains("OTW_NOT_THERE"));
    EXPECT_TRUE(listed(QStringLiteral("OTW_NOT_THERE")));
    EXPECT_FALSE(listed(QStringLiteral("OTW_Alpha")));
    EXPECT_FALSE(onServer(QStringLiteral("OTW_Alpha")));
}

// The test server knows no RENAME: its refusal is reported and the entry stays as it was; a
// cancelled input box sends nothing.
TEST_F(OracleTablesWindowTest, ARefusedOrCancelledRenameLeavesTheEntry) {
    select({"OTW two words"});
    for (const QString& answer : {QString(), QStringLiteral("OTW_new")}) {
        dialogs->boxes.clear();
        dialogs->textAnswers = {answer};
        click("PushButton6");
        ASSERT_GE(dialogs->boxes.size(), 1u);
        EXPECT_EQ(dialogs->boxes[0].kind, Kind::Input);
        EXPECT_EQ(dialogs->boxes[0].text, "Enter new name of OTW two words:");
        EXPECT_EQ(dialogs->boxes[0].detail, "OTW two words");
        EXPECT_EQ(reportedLines(tags::Form2PushButton6Click),
                  answer.isEmpty() ? std::vector<int>{} : std::vector<int>{120});
        EXPECT_TRUE(listed(QStringLiteral("OTW two words")));
        EXPECT_FALSE(listed(QStringLiteral("OTW_new")));
        EXPECT_TRUE(onServer(QStringLiteral("OTW two words")));
    }
}

} // namespace
