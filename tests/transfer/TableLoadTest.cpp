#include "transfer/TableLoad.h"

#include <gtest/gtest.h>

namespace dravena {
namespace {

TableLoad wholeLoad() {
    TableLoad load;
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
    bool takeName;
    bool dropOld;
    bool dropCopy;
};

// Whatever cut the load short, the old table stays and so does the final name's owner; only a
// lost connection leaves the loading table behind (it cannot be reached to drop it).
TEST(DecideReplace, OnlyALoadThatRanToItsEndTakesTheName) {
    const auto notRead = wholeLoadWith([](TableLoad& l) { l.valuesNotRead = 1; });
    const auto endedEarly = wholeLoadWith([](TableLoad& l) { l.endedEarly = true; });
    const auto stopped = wholeLoadWith([](TableLoad& l) { l.stopped = true; });
    const auto lost = wholeLoadWith([](TableLoad& l) { l.connectionLost = true; });
    const auto stoppedThenLost = wholeLoadWith([](TableLoad& l) {
        l.stopped = true;
        l.connectionLost = true;
    });
    // Refused rows were told one by one; they do not keep the old table.
    const auto refused = wholeLoadWith([](TableLoad& l) {
        l.rowsArrived = 7;
        l.rowsRefused = 3;
    });
    const Case cases[] = {
        {"whole, replacing", wholeLoad(), true, true, true, false},
        {"whole, new table", wholeLoad(), false, true, false, false},
        {"empty source, replacing", TableLoad{}, true, true, true, false},
        {"refused rows, replacing", refused, true, true, true, false},
        {"value not read, replacing", notRead, true, false, false, true},
        {"value not read, new table", notRead, false, false, false, true},
        {"source ended early, replacing", endedEarly, true, false, false, true},
        {"stopped, replacing", stopped, true, false, false, true},
        {"stopped, new table", stopped, false, false, false, true},
        {"connection lost, replacing", lost, true, false, false, false},
        {"connection lost, new table", lost, false, false, false, false},
        {"stopped, then connection lost", stoppedThenLost, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplaceDecision decision = decideReplace(c.load, c.replacing);
        EXPECT_EQ(decision.takeName, c.takeName);
        EXPECT_EQ(decision.dropOld, c.dropOld);
        EXPECT_EQ(decision.dropCopy, c.dropCopy);
    }
}

// Over every combination of what can cut a load short: the old table is dropped only for a copy
// that takes its name, and a copy that takes the name is never dropped.
TEST(DecideReplace, TheOldTableGoesOnlyForACopyThatTakesItsName) {
    for (int bits = 0; bits < 64; ++bits) {
        TableLoad load = wholeLoad();
        load.valuesNotRead = bits & 1;
        load.endedEarly = (bits & 2) != 0;
        load.stopped = (bits & 4) != 0;
        load.connectionLost = (bits & 8) != 0;
        load.rowsRefused = (bits & 16) != 0 ? 2 : 0;
        const bool replacing = (bits & 32) != 0;
        SCOPED_TRACE(bits);
        const ReplaceDecision decision = decideReplace(load, replacing);
        EXPECT_FALSE(decision.dropOld && !(decision.takeName && replacing));
        EXPECT_FALSE(decision.takeName && decision.dropCopy);
        EXPECT_FALSE(decision.dropCopy && load.connectionLost);
    }
}

} // namespace
} // namespace dravena
