// Rows of both sides paired as multisets, in any order, spread over buckets: what is left over,
// which rows are shown, and the most alike row each is set against.

#include "transfer/RowMatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace dravena {
namespace {

using Rows = std::vector<std::vector<const char*>>; // nullptr is NULL

ComparedRow compared(const std::vector<const char*>& values) {
    ComparedRow row;
    for (const char* value : values)
        row.append(ColumnKind::Text, value ? Value{std::string(value)} : Value{});
    return row;
}

ComparedRow::Fields fields(const std::vector<const char*>& values) {
    return ComparedRow::fields(compared(values).encoded());
}

RowMatch match(const Rows& paradox, const Rows& server, std::int64_t rowsPerBucket = 4) {
    RowMatcher matcher(static_cast<std::int64_t>(paradox.size()), rowsPerBucket);
    for (std::size_t i = 0; i < paradox.size(); ++i)
        matcher.addParadoxRow(static_cast<std::int64_t>(i), compared(paradox[i]));
    for (const auto& row : server)
        matcher.addServerRow(compared(row));
    return matcher.finish();
}

std::vector<std::int64_t> paradoxRowsOf(const std::vector<UnmatchedRow>& rows, bool closest) {
    std::vector<std::int64_t> numbers;
    for (const UnmatchedRow& row : rows)
        numbers.push_back(closest ? row.closestParadoxRow : row.paradoxRow);
    return numbers;
}

TEST(RowMatcher, PairsRowsAsMultisetsInAnyOrder) {
    struct Case {
        const char* what;
        Rows paradox;
        Rows server;
        std::int64_t onlyInParadox;
        std::int64_t onlyOnServer;
        std::vector<std::int64_t> paradoxShown; // 0-based row numbers
        std::vector<std::int64_t> closestToServerShown;
    };
    const Case cases[] = {
        {"same rows, other order, twins",
         {{"a"}, {"b"}, {"a"}},
         {{"b"}, {"a"}, {"a"}},
         0,
         0,
         {},
         {}},
        {"no rows", {}, {}, 0, 0, {}, {}},
        {"one of two twins missing", {{"a"}, {"a"}, {"b"}}, {{"a"}, {"b"}}, 1, 0, {1}, {}},
        {"a twin too many", {{"a"}, {"b"}}, {{"b"}, {"a"}, {"a"}}, 0, 1, {}, {-1}},
        {"NULL is not the text NULL", {{nullptr, "x"}}, {{"NULL", "x"}}, 1, 1, {0}, {0}},
        {"a value changed",
         {{"1", "x", "p"}, {"2", "y", "q"}, {"3", "z", "r"}},
         {{"3", "z", "r"}, {"2", "Y", "q"}, {"1", "x", "p"}},
         1,
         1,
         {1},
         {1}},
        {"fields do not slide into each other", {{"ab", "c"}}, {{"a", "bc"}}, 1, 1, {0}, {-1}},
        // A row alike in fewer than half its fields is set against none.
        {"a row gone, another added",
         {{"1"}, {"2"}, {"3"}},
         {{"1"}, {"3"}, {"4"}},
         1,
         1,
         {1},
         {-1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RowMatch m = match(c.paradox, c.server);
        EXPECT_EQ(m.paradoxRows, static_cast<std::int64_t>(c.paradox.size()));
        EXPECT_EQ(m.serverRows, static_cast<std::int64_t>(c.server.size()));
        EXPECT_EQ(m.onlyInParadox, c.onlyInParadox);
        EXPECT_EQ(m.onlyOnServer, c.onlyOnServer);
        EXPECT_EQ(paradoxRowsOf(m.paradoxShown, false), c.paradoxShown);
        EXPECT_EQ(paradoxRowsOf(m.serverShown, true), c.closestToServerShown);
    }
}

TEST(RowMatcher, ShowsTheChangedRowBesideItsMostAlikeCounterpart) {
    const RowMatch m =
        match({{"1", "Smith", "Kapaa"}, {"2", "Jones", "Lihue"}},
              {{"2", "Jones", "Lihue"}, {"9", "Smith", "Kapaa"}, {"1", "Smyth", "Kapaa"}});
    ASSERT_EQ(m.paradoxShown.size(), 1u);
    EXPECT_EQ(m.paradoxShown[0].values, fields({"1", "Smith", "Kapaa"}));
    // Both server rows differ in one field: the first met is taken.
    EXPECT_EQ(m.paradoxShown[0].closest, fields({"9", "Smith", "Kapaa"}));
    ASSERT_EQ(m.serverShown.size(), 2u);
    EXPECT_EQ(m.serverShown[1].values, fields({"1", "Smyth", "Kapaa"}));
    EXPECT_EQ(m.serverShown[1].closestParadoxRow, 0);
}

// Thousands of rows over many buckets, the server's in reverse order, a few changed or gone:
// exactly those are left, the first five of each side shown in their own order.
TEST(RowMatcher, ManyRowsOverManyBuckets) {
    Rows paradox;
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back(std::to_string(i));
    for (const std::string& text : texts)
        paradox.push_back({text.c_str(), "same"});
    Rows server(paradox.rbegin(), paradox.rend());
    const std::vector<int> changed = {2999, 17, 2500, 1000, 400, 401, 5};
    for (const int row : changed)
        server[static_cast<std::size_t>(2999 - row)][1] = "other";
    server.erase(server.begin() + 100); // Paradox row 2899
    const RowMatch m = match(paradox, server, 64);
    EXPECT_EQ(m.onlyInParadox, 8);
    EXPECT_EQ(m.onlyOnServer, 7);
    EXPECT_EQ(paradoxRowsOf(m.paradoxShown, false),
              (std::vector<std::int64_t>{5, 17, 400, 401, 1000}));
    // The server's first unpaired rows in the order it gave them, each set against its original.
    EXPECT_EQ(paradoxRowsOf(m.serverShown, true),
              (std::vector<std::int64_t>{2999, 2500, 1000, 401, 400}));
}

} // namespace
} // namespace dravena
