// Rows of both sides paired as multisets, in any order, spread over buckets: what is left over,
// which rows are shown, and the most alike row each is set against.

#include "compare/RowMatcher.h"
#include "base/RuntimeError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <sys/resource.h>

namespace dravena {
namespace {

using Row = std::vector<std::optional<std::string>>;
using Rows = std::vector<Row>;
using Numbers = std::vector<std::int64_t>;

// "a,b;c,d" is two rows of two text fields; "~" is NULL.
Rows rows(const char* text) {
    Rows out;
    for (const QString& row : QString::fromUtf8(text).split(u';', Qt::SkipEmptyParts)) {
        out.emplace_back();
        for (const QString& field : row.split(u','))
            out.back().push_back(field == u"~" ? std::nullopt : std::optional(field.toStdString()));
    }
    return out;
}

ComparedRow compared(const Row& values) {
    ComparedRow row;
    for (const auto& value : values)
        row.append(ColumnKind::Text, value ? Value{*value} : Value{});
    return row;
}

RowMatch match(const Rows& paradox, const Rows& server, std::int64_t rowsPerBucket = 4) {
    RowMatcher matcher(static_cast<std::int64_t>(paradox.size()), rowsPerBucket);
    for (std::size_t i = 0; i < paradox.size(); ++i)
        matcher.addParadoxRow(static_cast<std::int64_t>(i), compared(paradox[i]));
    for (const auto& row : server)
        matcher.addServerRow(compared(row));
    return matcher.finish();
}

Numbers paradoxRowsOf(const std::vector<UnmatchedRow>& rows, bool closest) {
    Numbers numbers;
    for (const UnmatchedRow& row : rows)
        numbers.push_back(closest ? row.closestParadoxRow : row.paradoxRow);
    return numbers;
}

TEST(RowMatcher, PairsRowsAsMultisetsInAnyOrder) {
    // Counts left over on each side, the Paradox rows shown and the row closest to each server
    // row shown (0-based numbers, -1 for none).
    const std::tuple<const char*, const char*, const char*, int, int, Numbers, Numbers> cases[] = {
        {"same rows, other order, twins", "a;b;a", "b;a;a", 0, 0, {}, {}},
        {"no rows", "", "", 0, 0, {}, {}},
        {"one of two twins missing", "a;a;b", "a;b", 1, 0, {1}, {}},
        {"a twin too many", "a;b", "b;a;a", 0, 1, {}, {-1}},
        {"NULL is not the text NULL", "~,x", "NULL,x", 1, 1, {0}, {0}},
        {"a value changed", "1,x,p;2,y,q;3,z,r", "3,z,r;2,Y,q;1,x,p", 1, 1, {1}, {1}},
        {"fields do not slide into each other", "ab,c", "a,bc", 1, 1, {0}, {-1}},
        // A row alike in fewer than half its fields is set against none.
        {"a row gone, another added", "1;2;3", "1;3;4", 1, 1, {1}, {-1}},
    };
    for (const auto& [what, paradoxText, serverText, onlyInParadox, onlyOnServer, paradoxShown,
                      closestShown] : cases) {
        SCOPED_TRACE(what);
        const Rows paradox = rows(paradoxText), server = rows(serverText);
        const RowMatch m = match(paradox, server);
        EXPECT_EQ(m.paradoxRows, static_cast<std::int64_t>(paradox.size()));
        EXPECT_EQ(m.serverRows, static_cast<std::int64_t>(server.size()));
        EXPECT_EQ(m.onlyInParadox, onlyInParadox);
        EXPECT_EQ(m.onlyOnServer, onlyOnServer);
        EXPECT_EQ(paradoxRowsOf(m.paradoxShown, false), paradoxShown);
        EXPECT_EQ(paradoxRowsOf(m.serverShown, true), closestShown);
    }
}

TEST(RowMatcher, ShowsTheChangedRowBesideItsMostAlikeCounterpart) {
    const RowMatch m = match(rows("1,Smith,Kapaa;2,Jones,Lihue"),
                             rows("2,Jones,Lihue;9,Smith,Kapaa;1,Smyth,Kapaa"));
    const auto fields = [](const char* row) {
        return ComparedRow::fields(compared(rows(row)[0]).encoded());
    };
    ASSERT_EQ(m.paradoxShown.size(), 1u);
    EXPECT_EQ(m.paradoxShown[0].values, fields("1,Smith,Kapaa"));
    // Both server rows differ in one field: the first met is taken.
    EXPECT_EQ(m.paradoxShown[0].closest, fields("9,Smith,Kapaa"));
    ASSERT_EQ(m.serverShown.size(), 2u);
    EXPECT_EQ(m.serverShown[1].values, fields("1,Smyth,Kapaa"));
    EXPECT_EQ(m.serverShown[1].closestParadoxRow, 0);
}

// Thousands of rows over many buckets, the server's in reverse order, a few changed or gone:
// exactly those are left, the first five of each side shown in their own order.
TEST(RowMatcher, ManyRowsOverManyBuckets) {
    Rows paradox;
    for (int i = 0; i < 3000; ++i)
        paradox.push_back({std::to_string(i), "same"});
    Rows server(paradox.rbegin(), paradox.rend());
    for (const int row : {2999, 17, 2500, 1000, 400, 401, 5})
        server[static_cast<std::size_t>(2999 - row)][1] = "other";
    server.erase(server.begin() + 100); // Paradox row 2899
    const RowMatch m = match(paradox, server, 64);
    EXPECT_EQ(m.onlyInParadox, 8);
    EXPECT_EQ(m.onlyOnServer, 7);
    EXPECT_EQ(paradoxRowsOf(m.paradoxShown, false), (Numbers{5, 17, 400, 401, 1000}));
    // The server's first unpaired rows in the order it gave them, each set against its original.
    EXPECT_EQ(paradoxRowsOf(m.serverShown, true), (Numbers{2999, 2500, 1000, 401, 400}));
}

// Sixteen comparisons at once, each wanting 256 buckets a side, in a process that may hold 256
// descriptors (a send --jobs 16 --verify of large tables): they share the descriptors and every
// one of them is compared, none fails for want of a file.
TEST(RowMatcher, ComparisonsAtOnceShareTheProcesssDescriptors) {
    const rlimit low{256, 256};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    Rows paradox;
    for (int i = 0; i < 600; ++i)
        paradox.push_back({std::to_string(i)});
    std::atomic<int> compared{0};
    std::vector<std::string> failures(16);
    {
        std::vector<std::jthread> jobs;
        for (std::size_t job = 0; job < failures.size(); ++job)
            jobs.emplace_back([&, job] {
                try {
                    if (match(paradox, paradox, 1).onlyInParadox == 0)
                        ++compared;
                } catch (const RuntimeError& error) {
                    failures[job] = error.description().toStdString();
                }
            });
    }
    EXPECT_EQ(compared, 16);
    EXPECT_EQ(failures, std::vector<std::string>(16));
}

} // namespace
} // namespace dravena
