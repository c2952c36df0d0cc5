// Checks the server wrote back in its own words still pair with the condition send wrote; checks
// that differ in meaning do not.

#include "compare/ServerObjects.h"

#include <gtest/gtest.h>

namespace dravena {
namespace {

TEST(ServerObjects, ConditionsPairByMeaningWhateverTheServersSpelling) {
    const struct {
        const char* sent;
        const char* onServer;
        bool same;
    } cases[] = {
        {R"("A" >= 1 AND "A" <= 3)", R"((("A" >= 1) AND ("A" <= 3)))", true},
        {R"("A" >= 1 AND "A" <= 3)", R"("A" >= 1 AND "A" <= 4)", false},
        {R"("A" >= 1)", R"(("A" > 1))", false},
        {R"("A" >= -1.5)", R"(("A" >= '-1.5'::numeric))", true},
        {R"("A" IS NOT NULL)", R"(("A" IS NOT NULL))", true},
        {R"("A" IS NOT NULL)", R"(("B" IS NOT NULL))", false},
        {R"("Flag" IN (0, 1))", R"((("Flag")::numeric = ANY (ARRAY[(0)::numeric, (1)::numeric])))",
         true},
        {R"("Flag" IN (0, 1))", R"(("Flag" = ANY (ARRAY[(0)::numeric, (2)::numeric])))", false},
        {R"("Day" >= DATE '2020-01-01')", R"(("Day" >= '2020-01-01'::date))", true},
        {R"("At" <= TIMESTAMP '2020-01-01 10:00:00.000')",
         R"(("At" <= '2020-01-01 10:00:00'::timestamp without time zone))", true},
        {R"("At" <= TIMESTAMP '2020-01-01 10:00:00.500')",
         R"(("At" <= '2020-01-01 10:00:00'::timestamp without time zone))", false},
        {R"("Name" >= 'b')", R"((("Name")::text >= 'B'::text))", false},
        {R"("Name" >= 'b')", R"((("Name")::text >= 'b'::text))", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sent) + " / " + c.onServer);
        EXPECT_EQ(comparableCondition(QString::fromUtf8(c.sent)) ==
                      comparableCondition(QString::fromUtf8(c.onServer)),
                  c.same);
    }
}

} // namespace
} // namespace dravena
