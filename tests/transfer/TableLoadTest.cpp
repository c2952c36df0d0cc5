#include "transfer/TableLoad.h"

#include <gtest/gtest.h>

namespace dravena {
namespace {

TableLoad wholeLoad() {
    TableLoad load;
    load.rowsExpected = 10;
    load.rowsTaken = 10;
    load.rowsRead = 10;
    load.rowsArrived = 10;
    return load;
}

template <class Change> TableLoad wholeLoadWith(Change change) {
    TableLoad load = wholeLoad();
    change(load);
    return load;
}

struct Case {
    const char* what;
    TableLoad load;
    bool replacing;
    bool acceptIncomplete;
    bool takeName;
    bool dropOld;
    bool dropCopy;
};

// Whatever kept the copy from being whole, the old table stays unless the user accepted the copy
// incomplete; a new table takes its name whatever arrived; only a lost connection leaves the
// loading table behind (it cannot be reached to drop it).
TEST(DecideReplace, OnlyAWholeCopyReplacesATable) {
    const auto notRead = wholeLoadWith([](TableLoad& l) {
        l.valuesNotRead = 1;
        l.rowsRead = 9;
    });
    const auto lostValues = wholeLoadWith([](TableLoad& l) {
        l.valuesLost = 2;
        l.rowsWithLostValues = 2;
    });
    const auto endedEarly = wholeLoadWith([](TableLoad& l) { l.endedEarly = true; });
    const auto stopped = wholeLoadWith([](TableLoad& l) { l.stopped = true; });
    const auto lost = wholeLoadWith([](TableLoad& l) { l.connectionLost = true; });
    const auto stoppedThenLost = wholeLoadWith([](TableLoad& l) {
        l.stopped = true;
        l.connectionLost = true;
    });
    const auto refused = wholeLoadWith([](TableLoad& l) {
        l.rowsArrived = 7;
        l.rowsRefused = 3;
    });
    const Case cases[] = {
        {"whole, replacing", wholeLoad(), true, false, true, true, false},
        {"whole, new table", wholeLoad(), false, false, true, false, false},
        {"empty source, replacing", TableLoad{}, true, false, true, true, false},
        {"refused rows, replacing", refused, true, false, false, false, true},
        {"refused rows, accepted", refused, true, true, true, true, false},
        {"refused rows, new table", refused, false, false, true, false, false},
        {"value not read, replacing", notRead, true, false, false, false, true},
        {"value not read, new table", notRead, false, false, true, false, false},
        {"values lost, replacing", lostValues, true, false, false, false, true},
        {"values lost, accepted", lostValues, true, true, true, true, false},
        {"source ended early, replacing", endedEarly, true, false, false, false, true},
        {"source ended early, accepted", endedEarly, true, true, true, true, false},
        {"stopped, replacing", stopped, true, false, false, false, true},
        {"stopped, accepted", stopped, true, true, false, false, true},
        {"stopped, new table", stopped, false, false, true, false, false},
        {"connection lost, replacing", lost, true, true, false, false, false},
        {"connection lost, new table", lost, false, false, false, false, false},
        {"stopped, then connection lost", stoppedThenLost, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplaceDecision decision = decideReplace(c.load, c.replacing, c.acceptIncomplete);
        EXPECT_EQ(decision.takeName, c.takeName);
        EXPECT_EQ(decision.dropOld, c.dropOld);
        EXPECT_EQ(decision.dropCopy, c.dropCopy);
    }
}

// What a copy that is not whole is told by, and how many of its rows did not arrive whole.
TEST(DecideReplace, TheReportSaysWhyACopyIsNotWhole) {
    TableLoad load = wholeLoad();
    load.rowsRefused = 1;
    load.rowsArrived = 9;
    load.valuesLost = 2;
    load.rowsWithLostValues = 1;
    EXPECT_EQ(whyNotWhole(load), "1 row refused, 2 values could not be read");
    EXPECT_EQ(rowsNotWhole(load), 2);
    load = wholeLoad();
    load.rowsTaken = load.rowsRead = 4;
    load.endedEarly = true;
    EXPECT_EQ(whyNotWhole(load), "the table ended after 4 of 10 rows");
    EXPECT_EQ(rowsNotWhole(load), 6);
    EXPECT_TRUE(wholeCopy(wholeLoad()));
}

// Over every combination of what can cut a load short: the old table is dropped only for a copy
// that takes its name, and a copy that takes the name is never dropped.
TEST(DecideReplace, TheOldTableGoesOnlyForACopyThatTakesItsName) {
    for (int bits = 0; bits < 128; ++bits) {
        TableLoad load = wholeLoad();
        load.valuesNotRead = bits & 1;
        load.endedEarly = (bits & 2) != 0;
        load.stopped = (bits & 4) != 0;
        load.connectionLost = (bits & 8) != 0;
        load.rowsRefused = (bits & 16) != 0 ? 2 : 0;
        const bool replacing = (bits & 32) != 0;
        const bool accepted = (bits & 64) != 0;
        SCOPED_TRACE(bits);
        const ReplaceDecision decision = decideReplace(load, replacing, accepted);
        EXPECT_FALSE(decision.dropOld && !(decision.takeName && replacing));
        // A copy that is not whole replaces nothing unless it was accepted so.
        EXPECT_FALSE(decision.dropOld && !wholeCopy(load) && !accepted);
        EXPECT_FALSE(decision.takeName && decision.dropCopy);
        EXPECT_FALSE(decision.dropCopy && load.connectionLost);
    }
}

} // namespace
} // namespace dravena
