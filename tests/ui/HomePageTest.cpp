#include "ui/HomePage.h"
#include "base/Product.h"
#include "base/RuntimeError.h"
#include "base/SeededRandom.h"
#include "support/ScriptedPorts.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace dravena;
using dravena::testing::ScopedPorts;

TEST(HomePageTest, OpensOnlyWhenTheDrawIsSeven) {
    ScopedPorts scripted;
    scripted.clock->seconds = 3600;
    // next() * 100 truncated, plus one: 0.06 -> 7, 0.0599 -> 6, 0.07 -> 8.
    scripted.random->numbers = {0.0599, 0.07, 0.0, 0.9999, 0.06};
    for (int start = 0; start < 4; ++start)
        VisitHomePage();
    EXPECT_TRUE(scripted.launcher->opened.isEmpty());
    VisitHomePage();
    ASSERT_EQ(scripted.launcher->opened.size(), 1);
    EXPECT_EQ(scripted.launcher->opened[0], QString::fromUtf8(HomePageAddress));
    // Each visit seeds from the time of day first.
    EXPECT_EQ(scripted.random->seeds, std::vector<unsigned>(5, 3600u));
}

TEST(HomePageTest, OverAWholeDayOfStartsOpensAboutOnceInAHundredAndAtMostOncePerStart) {
    ScopedPorts scripted;
    auto real = std::make_shared<SeededRandom>();
    ports().random = real;

    int opened = 0;
    for (int second = 0; second < 86400; ++second) {
        scripted.clock->seconds = second;
        const qsizetype before = scripted.launcher->opened.size();
        VisitHomePage();
        const qsizetype launches = scripted.launcher->opened.size() - before;
        ASSERT_LE(launches, 1);
        // Only the seventh of a hundred values opens the page: replay the same seed to check.
        real->seed(static_cast<unsigned>(second));
        const bool seven = static_cast<int>(real->next() * 100) + 1 == 7;
        ASSERT_EQ(launches == 1, seven) << "second " << second;
        opened += static_cast<int>(launches);
    }
    EXPECT_GT(opened, 86400 / 100 / 2);
    EXPECT_LT(opened, 86400 / 100 * 2);
}

TEST(HomePageTest, MissingPortsFailLikeAnUnsetObject) {
    ScopedPorts scripted;
    ports().launcher.reset();
    scripted.random->numbers = {0.06};
    try {
        VisitHomePage();
        FAIL() << "expected error 91";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errnum::ObjectNotSet);
    }
}

TEST(SeededRandomTest, SameSeedSameNumbersAllInUnitRange) {
    SeededRandom a;
    SeededRandom b;
    a.seed(12345);
    b.seed(12345);
    std::set<int> buckets;
    for (int i = 0; i < 10000; ++i) {
        const double x = a.next();
        ASSERT_EQ(x, b.next());
        ASSERT_GE(x, 0.0);
        ASSERT_LT(x, 1.0);
        buckets.insert(static_cast<int>(x * 100));
    }
    EXPECT_EQ(buckets.size(), 100u); // every draw from 1 to 100 can happen
    b.seed(12346);
    a.seed(12345);
    EXPECT_NE(a.next(), b.next());
}
