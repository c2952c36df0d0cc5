// The tables window's transfer against the test server, driven through its button.

#include "ArrivedTable.h"
#include "TestDatabase.h"
#include "TransferTables.h"

#include "connections/Form1.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPorts.h"
#include "tables/Form2.h"
#include "tables/TableList.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogs.h"

#include "schema/Statements.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace dravena;
using dravena::testing::ScriptedDialogs;
using dravena::testing::writeKinds;
using dravena::testing::writeNumbers;

namespace {

class TransferWindowTest : public dravena::testing::ServerTest {
protected:
    // The windows run their connections' calls as the program does.
    const dravena::testing::CallThreadsInstalled threads;

    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        form1 = std::make_unique<Form1>([] { return std::unique_ptr<TablesWindow>(); });
        window = std::make_unique<Form2>(*form1);
        bar = window->findChild<QProgressBar*>("ProgressBar1");
        signOn(folder.path(), db.password);
    }
    void TearDown() override {
        window.reset();
        form1.reset();
        if (!IsSkipped())
            for (const QString& table : created)
                dropIfExists(table);
    }

    void signOn(const QString& paradoxFolder, const QString& password) {
        form1->findChild<QLineEdit*>("Text1")->setText(paradoxFolder);
        form1->findChild<QLineEdit*>("Text2")->setText(db.sid);
        form1->findChild<QLineEdit*>("Text3")->setText(db.user);
        form1->findChild<QLineEdit*>("Text4")->setText(password);
    }

    // Fills both lists as the window does, then selects the named Paradox entries (every one of
    // a name) with the first of them current.
    void loadAndSelect(const QStringList& names) {
        window->Form_Load();
        TableList& list = window->paradoxList();
        for (int i = 0; i < list.entryCount(); ++i) {
            const bool chosen = names.contains(list.entry(i));
            list.setEntrySelected(i, chosen);
            if (chosen && list.currentIndex() < 0)
                list.setCurrentIndex(i);
        }
        for (const QString& name : names)
            if (!created.contains(name))
                created.append(name);
    }

    void send() { window->findChild<QPushButton*>("PushButton4")->click(); }

    // The line labels of the failure reports, in order.
    std::vector<int> reportedLines() {
        static const QRegularExpression at(QStringLiteral("PushButton4_Click at line (\\d+)\r"));
        std::vector<int> lines;
        for (const auto& box : dialogs->reports())
            lines.push_back(at.match(box.text).captured(1).toInt());
        return lines;
    }

    std::int64_t rowsOnServer(const QString& table) const {
        const Value n =
            scalar(QStringLiteral("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM \"%1\"").arg(table));
        return std::stoll(std::get<std::string>(n));
    }

    std::string scalarText(const QString& sql) const { return std::get<std::string>(scalar(sql)); }

    bool listedOnServerSide(const QString& name) const {
        return IsInList(window->oracleList(), name);
    }

    dravena::testing::ScopedDialogs dialogs;
    dravena::testing::ScopedPorts outside;
    QTemporaryDir folder;
    std::unique_ptr<Form1> form1;
    std::unique_ptr<Form2> window;
    QProgressBar* bar = nullptr;
    QStringList created;
};

// Every table of the real sample folders and of the program's own samples arrives, in the
// window's arrays of 1,000 rows, with every value equal to the Paradox reading.
TEST_F(TransferWindowTest, EverySampleTableArrivesWhole) {
    const QStringList folders = {QStringLiteral(DRAVENA_PARADOX_SAMPLES "/extdata"),
                                 QStringLiteral(DRAVENA_PARADOX_SAMPLES "/fields"),
                                 QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples")};
    for (const QString& samples : folders) {
        if (!QDir(samples).exists()) {
            ADD_FAILURE() << "sample tables not found at " << samples.toStdString();
            continue;
        }
        signOn(samples, db.password);
        window->Form_Load();
        TableList& list = window->paradoxList();
        ASSERT_GT(list.entryCount(), 0);
        QStringList names;
        for (int i = 0; i < list.entryCount(); ++i) {
            list.setEntrySelected(i, true);
            names.append(list.entry(i));
        }
        list.setCurrentIndex(0);
        created.append(names);
        dialogs->questionAnswers.assign(static_cast<std::size_t>(list.entryCount()), AnswerYes);
        dialogs->boxes.clear();
        send();
        // Only the tables whose reading itself met problems (dates outside the years 1 to 9999,
        // BCD digits beyond the kept precision) tell of them.
        for (const int line : reportedLines())
            EXPECT_EQ(line, 252) << samples.toStdString();
        for (const QString& name : names) {
            EXPECT_TRUE(listedOnServerSide(name)) << name.toStdString();
            dravena::testing::expectArrivedWhole(db, samples, name, name);
        }
    }
}

TEST_F(TransferWindowTest, LongMemosPicturesFractionsAndNullsArriveWhole) {
    writeKinds(folder.filePath(QStringLiteral("XferKinds.db")));
    loadAndSelect({QStringLiteral("XFERKINDS")});
    send();
    EXPECT_TRUE(dialogs->boxes.empty()) << dialogs->boxes[0].text.toStdString();
    EXPECT_EQ(dravena::testing::expectArrivedWhole(db, folder.path(), QStringLiteral("XFERKINDS"),
                                                   QStringLiteral("XFERKINDS")),
              3);
    // The columns that keep those values.
    const auto type = [&](const char* column) {
        return std::get<std::string>(
            scalar(QStringLiteral("SELECT format_type(atttypid, atttypmod) FROM pg_attribute "
                                  "WHERE attrelid = '\"XFERKINDS\"'::regclass AND attname = '%1'")
                       .arg(QLatin1String(column))));
    };
    EXPECT_EQ(type("Notes"), "nclob");
    EXPECT_EQ(type("Amount"), "numeric(32,6)");
    EXPECT_EQ(type("Whole"), "numeric(32,0)");
}

// Steps, progress, pointer and lists for a table sent twice: the second time the table is in the
// Oracle list and the question decides. The rows go in arrays of 1,000, the progress moving once
// per array.
TEST_F(TransferWindowTest, ProgressPointerQuestionAndListsFollowTheRun) {
    writeNumbers(folder.filePath(QStringLiteral("Three.db")), 2500);
    loadAndSelect({QStringLiteral("THREE")});
    dropIfExists(QStringLiteral("THREE"));
    ASSERT_FALSE(listedOnServerSide(QStringLiteral("THREE")));
    std::vector<int> values;
    std::vector<int> pointers;
    std::vector<std::int64_t> arrived;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        values.push_back(value);
        pointers.push_back(window->mousePointer());
        if (value > 0 && value < 100) // under the loading name until the last row is in
            arrived.push_back(rowsOnServer(dravena::loadingTableName(QStringLiteral("THREE"))));
        // A click meanwhile on the window's operation buttons is ignored.
        window->findChild<QPushButton*>("PushButton4")->click();
    });
    send();
    EXPECT_EQ(values, (std::vector<int>{40, 80, 100, 0}));
    EXPECT_EQ(arrived, (std::vector<std::int64_t>{1000, 2000}));
    EXPECT_EQ(pointers, (std::vector<int>{PointerBusy, PointerBusy, PointerBusy, PointerDefault}));
    EXPECT_EQ(window->mousePointer(), PointerDefault);
    EXPECT_EQ(bar->format(), "Progress Bar");
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(listedOnServerSide(QStringLiteral("THREE")));
    EXPECT_EQ(rowsOnServer(QStringLiteral("THREE")), 2500);

    // No: nothing happens to the table.
    values.clear();
    dialogs->questionAnswers = {AnswerNo};
    send();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].kind, ScriptedDialogs::Kind::Question);
    EXPECT_EQ(dialogs->boxes[0].title, "Overwrite?");
    EXPECT_EQ(dialogs->boxes[0].text, "Would you like to overwrite THREE?");
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(rowsOnServer(QStringLiteral("THREE")), 2500);

    // Yes: dropped and sent again, listed once.
    dialogs->questionAnswers = {AnswerYes};
    send();
    EXPECT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(rowsOnServer(QStringLiteral("THREE")), 2500);
    EXPECT_EQ(window->oracleList().findItems(QStringLiteral("THREE"), Qt::MatchExactly).size(), 1);
}

// Two entries of one name (tables in the folder and a sub-folder), each read where it lies: the
// sub-folder's (listed second, so sent first) creates the table, the folder's own meets the
// question.
TEST_F(TransferWindowTest, TwoSelectedEntriesOfOneName) {
    writeNumbers(folder.filePath(QStringLiteral("Dup.db")), 4);
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    writeNumbers(folder.filePath(QStringLiteral("sub/dup.DB")), 9);
    dropIfExists(QStringLiteral("DUP"));
    loadAndSelect({QStringLiteral("DUP")});
    ASSERT_EQ(window->paradoxList().entrySubFolder(1), "sub");
    dialogs->questionAnswers = {AnswerNo};
    send();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, "Would you like to overwrite DUP?");
    EXPECT_EQ(rowsOnServer(QStringLiteral("DUP")), 9);
    EXPECT_EQ(window->oracleList().findItems(QStringLiteral("DUP"), Qt::MatchExactly).size(), 1);
    dialogs->questionAnswers = {AnswerNo, AnswerYes}; // the sub-folder's, then the folder's
    send();
    EXPECT_EQ(rowsOnServer(QStringLiteral("DUP")), 4);
}

// The first refused row of a table is reported at its line with the table and the row, the
// table's later refusals are counted and told in one box at its end, and the other rows arrive; a
// table that cannot take its name (the server has one the window's list does not show) is
// reported and leaves the server's table as it was.
TEST_F(TransferWindowTest, RefusedRowsAndRefusedTablesAreReportedAndSkipped) {
    writeNumbers(folder.filePath(QStringLiteral("Odd.db")), 9,
                 {{1, 1e130}, {3, 2e130}, {4, 3e130}, {5, 4e130}, {7, 5e130}}); // beyond FLOAT
    writeNumbers(folder.filePath(QStringLiteral("Clash.db")), 5);
    dropIfExists(QStringLiteral("ODD"));
    dropIfExists(QStringLiteral("CLASH"));
    loadAndSelect({QStringLiteral("ODD"), QStringLiteral("CLASH")});
    // On the server but not in the window's list: the overwrite question is not asked.
    executeAll({QStringLiteral("CREATE TABLE \"CLASH\"(\"Other\" INT)")});
    send();
    EXPECT_EQ(reportedLines(),
              (std::vector<int>{244, 253})); // ODD comes first: the walk goes upwards
    const auto reports = dialogs->reports();
    EXPECT_TRUE(reports[0].text.startsWith("ODD, row 2: ")) << reports[0].text.toStdString();
    std::vector<ScriptedDialogs::Box> messages;
    for (const auto& box : dialogs->boxes)
        if (box.kind == ScriptedDialogs::Kind::Message)
            messages.push_back(box);
    ASSERT_EQ(messages.size(), 1u); // CLASH was not in the list: there was nothing to keep
    EXPECT_TRUE(messages[0].text.startsWith("The server refused 4 more rows of ODD. The first of "
                                            "them:\nODD, row 4: "))
        << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains("ODD, row 6: ")); // the first three of the four
    EXPECT_FALSE(messages[0].text.contains("ODD, row 8: "));
    EXPECT_EQ(rowsOnServer(QStringLiteral("CLASH")), 0);
    EXPECT_EQ(scalarText("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM user_tables WHERE table_name "
                         "LIKE 'DRAVENA%'"),
              "0");
    EXPECT_FALSE(listedOnServerSide(QStringLiteral("CLASH")));
    EXPECT_EQ(rowsOnServer(QStringLiteral("ODD")), 4);
    EXPECT_TRUE(listedOnServerSide(QStringLiteral("ODD")));
    EXPECT_EQ(window->mousePointer(), PointerDefault);

    // Sent again over a table of its name: the incomplete copy replaces it only on Yes to the
    // question asked once the rows are in (default No).
    executeAll({QStringLiteral("INSERT INTO \"ODD\" VALUES (0.5)")});
    const QString asked = QStringLiteral("5 rows of ODD did not arrive whole. Replace the server's "
                                         "ODD with the incomplete copy?");
    for (const int answer : {AnswerNo, AnswerYes}) {
        SCOPED_TRACE(answer);
        dialogs->boxes.clear();
        dialogs->questionAnswers = {AnswerYes, answer}; // overwrite, then the incomplete copy
        send();
        std::vector<QString> texts;
        for (const auto& box : dialogs->boxes)
            if (box.kind != ScriptedDialogs::Kind::ErrorReport)
                texts.push_back(box.text + u'|' + box.detail);
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[1], asked + QStringLiteral("|No"));
        const QString kept = QStringLiteral("ODD: not replaced: 5 rows refused; the server's ODD "
                                            "was left as it was.|");
        EXPECT_EQ(std::count(texts.begin(), texts.end(), kept), answer == AnswerNo ? 1 : 0);
        EXPECT_EQ(rowsOnServer(QStringLiteral("ODD")), answer == AnswerNo ? 5 : 4);
    }
}

TEST_F(TransferWindowTest, ARefusedSignOnIsReportedOnceAndEndsTheRun) {
    writeNumbers(folder.filePath(QStringLiteral("One.db")), 1);
    writeNumbers(folder.filePath(QStringLiteral("Two.db")), 1);
    loadAndSelect({QStringLiteral("ONE"), QStringLiteral("TWO")});
    signOn(folder.path(), db.password + QStringLiteral("-wrong"));
    send();
    EXPECT_EQ(reportedLines(), std::vector<int>{118});
    EXPECT_TRUE(dialogs->reports()[0].text.contains("password authentication failed"));
    EXPECT_EQ(window->mousePointer(), PointerDefault);
    EXPECT_FALSE(listedOnServerSide(QStringLiteral("ONE")));
}

// The server ends the session in the middle of a table: one report, the run ends, the window
// is usable again.
TEST_F(TransferWindowTest, ALostConnectionIsReportedOnceAndEndsTheRun) {
    writeNumbers(folder.filePath(QStringLiteral("Many.db")), 2500);
    writeNumbers(folder.filePath(QStringLiteral("Later.db")), 10);
    dropIfExists(QStringLiteral("MANY"));
    dropIfExists(QStringLiteral("LATER"));
    loadAndSelect({QStringLiteral("MANY"), QStringLiteral("LATER")});
    const std::unique_ptr<Connection> admin = connect();
    bool ended = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if (value >= 40 && !ended) { // the first array arrived
            ended = true;
            admin->execute(QStringLiteral(
                "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = "
                "current_user AND pid <> pg_backend_pid()"));
        }
    });
    // The box as the window shows it, left in the screenshots folder for people to look at.
    dialogs->onBox = [](const dravena::testing::ScriptedDialogs::Box& box) {
        if (box.kind != dravena::testing::ScriptedDialogs::Kind::ErrorReport)
            return;
        QTimer::singleShot(300, [] {
            if (QWidget* shown = QApplication::activeModalWidget()) {
                QDir().mkpath(QStringLiteral(DRAVENA_BINARY_DIR "/screenshots"));
                shown->grab().save(
                    QStringLiteral(DRAVENA_BINARY_DIR "/screenshots/lost-connection-message.png"));
                shown->close();
            }
        });
        QtDialogs().errorReport(box.text);
    };
    send();
    ASSERT_TRUE(ended);
    EXPECT_EQ(reportedLines(), std::vector<int>{244});
    // One box tells the whole story: the table, the rows that had arrived, the server's table,
    // the partial copy left behind.
    static const QRegularExpression arrived(
        QStringLiteral("The connection was lost while sending MANY: (\\d+) of 2500 rows had "
                       "arrived \\(what was in flight is not known to have arrived\\)\\. MANY "
                       "was not created on the server\\. The rows that arrived are in the "
                       "partial copy (\\w+), which the next send of MANY removes\\.\r"));
    const QRegularExpressionMatch told = arrived.match(dialogs->reports()[0].text);
    ASSERT_TRUE(told.hasMatch()) << dialogs->reports()[0].text.toStdString();
    EXPECT_EQ(told.captured(1).toInt(), 1000);
    EXPECT_EQ(told.captured(2), dravena::loadingTableName(QStringLiteral("MANY")));
    EXPECT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(window->mousePointer(), PointerDefault);
    EXPECT_EQ(bar->value(), 0);
    // The half-loaded table never took its name.
    EXPECT_FALSE(listedOnServerSide(QStringLiteral("MANY")));
    EXPECT_EQ(scalarText("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM user_tables WHERE table_name "
                         "= 'MANY'"),
              "0");
    // The array that arrived before the session ended stays in the table being loaded.
    EXPECT_EQ(rowsOnServer(dravena::loadingTableName(QStringLiteral("MANY"))), 1000);
    EXPECT_FALSE(listedOnServerSide(QStringLiteral("LATER")));
    dropIfExists(dravena::loadingTableName(QStringLiteral("MANY")));
}

// Escape during a run asks "Stop sending?"; No goes on, Yes stops after the current array and
// the table being replaced stays as it was.
TEST_F(TransferWindowTest, EscapeAsksAndYesStopsTheRunLeavingTheOldTable) {
    writeNumbers(folder.filePath(QStringLiteral("Many.db")), 5000);
    dropIfExists(QStringLiteral("MANY"));
    executeAll({QStringLiteral("CREATE TABLE \"MANY\"(\"N\" FLOAT)"),
                QStringLiteral("INSERT INTO \"MANY\" VALUES(7)")});
    loadAndSelect({QStringLiteral("MANY")});
    ASSERT_TRUE(listedOnServerSide(QStringLiteral("MANY")));
    dialogs->questionAnswers = {AnswerYes, AnswerNo, AnswerYes}; // overwrite, then the two stops
    int escapes = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        if ((value >= 20 && escapes == 0) || (value >= 40 && escapes == 1)) {
            ++escapes;
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(window.get(), &escape);
        }
    });
    send();
    EXPECT_EQ(escapes, 2);
    ASSERT_EQ(dialogs->boxes.size(), 4u);
    EXPECT_EQ(dialogs->boxes[1].text, "Stop sending?");
    EXPECT_EQ(dialogs->boxes[2].text, "Stop sending?");
    EXPECT_EQ(dialogs->boxes[3].text, "MANY on the server was left as it was.");
    EXPECT_TRUE(dialogs->reports().empty());
    EXPECT_EQ(rowsOnServer(QStringLiteral("MANY")), 1);
    EXPECT_TRUE(listedOnServerSide(QStringLiteral("MANY")));
    EXPECT_EQ(scalarText("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM user_tables WHERE table_name "
                         "LIKE 'DRAVENA%'"),
              "0");
    EXPECT_EQ(window->mousePointer(), PointerDefault);
}

} // namespace
