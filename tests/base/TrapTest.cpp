#include "base/Trap.h"
#include "base/ErrorReport.h"
#include "base/LocationTags.h"
#include "base/ObjectRef.h"
#include "base/RuntimeError.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace dravena;
using dravena::testing::ScopedDialogs;

namespace {

const QString request = QStringLiteral("Please email screenshot of this message to ") +
                        QString::fromLatin1(SupportAddress);

QString expectedReport(const QString& description, const char* tag, int line) {
    return description + "\r\n" + QString::fromUtf8(tag) + "at line " + QString::number(line) +
           "\r\r" + request;
}

void failWith(const QString& description) {
    throw RuntimeError(53, description);
}

// An untrapped helper two calls deep: its failure surfaces in the trapped caller.
int innerHelper(bool fail) {
    if (fail)
        failWith(QStringLiteral("File not found"));
    return 1;
}
int outerHelper(bool fail) {
    return innerHelper(fail) + 1;
}

} // namespace

TEST(ErrorReportText, IsBuiltExactlyWithCrLfThenTwoLoneCrs) {
    EXPECT_EQ(applicationErrorText(QStringLiteral("Disk full"),
                                   QString::fromUtf8(tags::MainRenameFile), 100),
              QStringLiteral("Disk full\r\nin Korvitel2021/08/31.Main.RenameFile at line 100\r\r") +
                  request);
    // Empty description: the first line is empty and the location line follows.
    EXPECT_TRUE(
        applicationErrorText({}, QStringLiteral("in X "), 7).startsWith("\r\nin X at line 7\r\r"));
    // Label 0 before line 100: plain digits, no padding.
    EXPECT_TRUE(applicationErrorText(QStringLiteral("d"), QStringLiteral("t "), 0)
                    .contains("t at line 0\r\r"));
}

TEST(ErrorReportText, ReportGoesToTheErrorBoxOnly) {
    ScopedDialogs dialogs;
    ReportApplicationError(QStringLiteral("boom"), QString::fromUtf8(tags::Form2FormLoad), 116);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].kind, dravena::testing::ScriptedDialogs::Kind::ErrorReport);
    EXPECT_EQ(dialogs->boxes[0].title, "Application Error");
    EXPECT_EQ(dialogs->boxes[0].text, expectedReport("boom", tags::Form2FormLoad, 116));
}

TEST(TrapTest, ReportsEachFailureWithItsLineAndContinues) {
    ScopedDialogs dialogs;
    Trap trap(tags::Form2PushButton4Click);
    std::vector<int> ran;
    trap.step(100, [&] { failWith(QStringLiteral("first")); });
    trap.step(102, [&] { ran.push_back(102); });
    trap.step(104, [&] { throw std::runtime_error("second"); });
    trap.step(106, [&] { ran.push_back(106); });

    EXPECT_EQ(ran, (std::vector<int>{102, 106}));
    const auto reports = dialogs->reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].text, expectedReport("first", tags::Form2PushButton4Click, 100));
    EXPECT_EQ(reports[1].text, expectedReport("second", tags::Form2PushButton4Click, 104));
}

TEST(TrapTest, FailingConditionIsReportedAndCountsAsTrue) {
    ScopedDialogs dialogs;
    Trap trap(tags::Form1FormLoad);
    EXPECT_TRUE(trap.test(136, [] { return innerHelper(true) == 1; }));
    EXPECT_FALSE(trap.test(138, [] { return false; }));
    ASSERT_EQ(dialogs->reports().size(), 1u);
    EXPECT_EQ(dialogs->reports()[0].text,
              expectedReport("File not found", tags::Form1FormLoad, 136));
}

TEST(TrapTest, NestedUntrappedHelperIsReportedAtTheCallingLine) {
    ScopedDialogs dialogs;
    Trap trap(tags::Form2FormLoad);
    int result = 0;
    trap.step(116, [&] { result = outerHelper(true); });
    trap.step(118, [&] { result = outerHelper(false); });
    EXPECT_EQ(result, 2);
    ASSERT_EQ(dialogs->reports().size(), 1u);
    EXPECT_EQ(dialogs->reports()[0].text,
              expectedReport("File not found", tags::Form2FormLoad, 116));
    EXPECT_EQ(trap.currentLine(), 118);
}

TEST(TrapTest, FailureBeforeTheFirstLabelCitesLineZero) {
    ScopedDialogs dialogs;
    Trap trap(tags::Form1PushButton6Click);
    trap.run([] { failWith(QString()); });
    ASSERT_EQ(dialogs->reports().size(), 1u);
    EXPECT_EQ(dialogs->reports()[0].text, expectedReport("", tags::Form1PushButton6Click, 0));
}

TEST(ObjectRefTest, UsingAnObjectThatWasNeverCreatedRaisesError91) {
    ObjectRef<std::string> missing;
    try {
        (void)missing->size();
        FAIL() << "expected error 91";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errnum::ObjectNotSet);
    }
    ObjectRef<std::string> present(std::make_unique<std::string>("abc"));
    EXPECT_EQ(present->size(), 3u);
}
