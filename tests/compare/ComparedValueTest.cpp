// Values compared in the terms of their column: what send wrote from the Paradox value against
// what the server gives back, equal exactly when the server kept the value.

#include "compare/ComparedValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <variant>
#include <vector>

namespace dravena {
namespace {

using namespace paradox;

ColumnPlan typed(PlanKind kind) {
    ColumnPlan plan;
    plan.typed = true;
    plan.kind = kind;
    return plan;
}

// The compared form, std::nullopt for NULL; either way what the string held before is kept.
// With a plan, the Paradox value as send types it for that plan's column.
std::optional<std::string> form(ColumnKind kind, const Value& value,
                                const ColumnPlan* plan = nullptr) {
    std::string out = "prefix";
    const bool some =
        plan ? appendExpectedForm(out, *plan, value) : appendComparedForm(out, kind, value);
    EXPECT_EQ(out.substr(0, some ? 6 : std::string::npos), "prefix");
    return some ? std::optional(out.substr(6)) : std::nullopt;
}

// A Paradox value against the server values that keep it and those that do not. A ColumnKind is
// a described column (both sides compared as the server gives them back); a PlanKind is a
// carried schema's typed column (--schema full).
TEST(ComparedValue, EqualExactlyWhenTheServerKeptTheValue) {
    using Values = std::vector<Value>;
    const std::string s = "O'Brien “Grüße”";
    const double inf = std::numeric_limits<double>::infinity();
    const auto N = ColumnKind::Number, F = ColumnKind::Float, T = ColumnKind::Text;
    const auto B = ColumnKind::Bytes;
    using I = std::int64_t;
    using P = PlanKind;
    const Date leap{2024, 2, 29};
    const Time late{23, 59, 59, 999};
    const Timestamp stamp{{1999, 12, 31}, {23, 59, 59, 500}};
    const std::tuple<std::variant<ColumnKind, PlanKind>, Value, Values, Values> cases[] = {
        {N, I{-42}, {Decimal{"-42"}}, {}},
        {N, I{7}, {"7"}, {Decimal{"8"}}},
        {N, Decimal{"13.5"}, {Decimal{"13.500000"}}, {}}, // the column's trailing zeros
        {N, Decimal{"-0.00"}, {Decimal{"0"}}, {}},
        {N, Decimal{"-0012.50"}, {Decimal{"-12.5"}}, {}},
        {N, Decimal{"1500"}, {Decimal{"1.5E+3"}}, {}},
        {N, Decimal{"0.000001"}, {Decimal{"1e-6"}}, {}},
        {N, Decimal{"12345678901234567890123456"}, {}, {Decimal{"12345678901234567890123457"}}},
        {N, Decimal{"13.1234567"}, {}, {Decimal{"13.123457"}}}, // rounded by the column
        {N, 2.5, {}, {Decimal{"3"}}},                           // rounded away in an INT column
        {F, 0.1, {0.1}, {std::nextafter(0.1, 1.0)}},
        {F, 1.0 / 3, {Decimal{"0.3333333333333333"}}, {}},
        {F, -0.0, {0.0}, {}},
        {F, -1e-300, {Decimal{"-1E-300"}}, {}},
        {T, s, {s}, {}},
        {T, std::string("abc"), {}, {"abc ", "Abc"}},
        {T, std::string(), {Value{}}, {}},
        {T, Value{}, {std::string()}, {"x"}},
        {T, leap, {"2024-02-29"}, {"2024-02-28"}},
        {T, late, {"23:59:59.999"}, {}},
        {T, stamp, {"1999-12-31 23:59:59.500"}, {}},
        {T, true, {"True"}, {}},
        {T, 13.002, {}, {"13.0020"}}, // money as text keeps its digits
        {B, Bytes{0x27, 0, 0xFF}, {Bytes{0x27, 0, 0xFF}}, {Bytes{0x27, 0, 0xFE}}},
        {B, Bytes{1}, {}, {Bytes{1, 0}}},
        {B, Bytes{}, {Value{}}, {}},
        {B, Bytes{0x41}, {}, {"A"}},
        {P::Logical, true, {Decimal{"1"}}, {}},
        {P::Logical, false, {}, {I{1}}},
        {P::Date, leap, {leap, Timestamp{leap, {0, 0, 0, 0}}}, {Timestamp{leap, {0, 0, 1, 0}}}},
        {P::Date, Date{1, 1, 1}, {"0001-01-01"}, {}},
        {P::Date, Value{}, {Value{}}, {}},
        {P::Time, late, {"+00 23:59:59.999000"}, {"23:59:59.998"}},
        {P::Time, Time{0, 0, 0, 0}, {Time{0, 0, 0, 0}}, {}},
        {P::Time, Time{1, 2, 3, 4}, {}, {"01:02:03.0041"}},
        {P::Timestamp, stamp, {stamp}, {Timestamp{{1999, 12, 31}, {23, 59, 59, 501}}}},
        {P::Timestamp, Timestamp{{1999, 12, 31}, {23, 59, 59, 0}}, {"1999-12-31 23:59:59"}, {}},
        {P::BinaryDouble, inf, {inf}, {}},
        {P::BinaryDouble, -inf, {}, {inf}},
        {P::BinaryDouble, std::nan(""), {std::nan("")}, {}},
        {P::Number, 13.002, {Decimal{"13.0020"}}, {Decimal{"13.0021"}}},
        {P::Integer, I{7}, {Decimal{"7"}}, {}},
        {P::Bytes, Bytes{0x27, 0}, {Bytes{0x27, 0}}, {}},
    };
    int line = 0;
    for (const auto& [column, paradoxValue, keeping, changing] : cases) {
        SCOPED_TRACE(++line);
        const auto* planKind = std::get_if<PlanKind>(&column);
        const ColumnPlan plan = planKind ? typed(*planKind) : ColumnPlan{};
        const ColumnKind kind = planKind ? columnKindOf(plan) : std::get<ColumnKind>(column);
        const auto paradox = form(kind, paradoxValue, planKind ? &plan : nullptr);
        for (const bool kept : {true, false})
            for (const Value& value : kept ? keeping : changing) {
                const auto server = form(kind, value);
                EXPECT_EQ(paradox == server, kept)
                    << paradox.value_or("NULL") << " / " << server.value_or("NULL");
            }
    }
}

TEST(ComparedValue, ServerColumnTypesAgainstWhatSendCreates) {
    const auto plain = [](int adoType, int scale = -1, bool longText = false) {
        return plainColumnPlan(QStringLiteral("F"), adoType, scale, longText);
    };
    const std::tuple<ColumnPlan, int, int, bool, const char*> cases[] = {
        {plain(adotype::Integer), adotype::Numeric, 0, true, "INT"},
        {plain(adotype::SmallInt), adotype::Integer, -1, true, "INT"},
        {plain(adotype::Integer), adotype::Numeric, 2, false, "DECIMAL(2)"},
        {plain(adotype::Integer), adotype::VarWChar, -1, false, "text"},
        {plain(adotype::Numeric, 6), adotype::Numeric, 6, true, "DECIMAL(6)"},
        {plain(adotype::Numeric, 0), adotype::Numeric, 0, true, "INT"},
        {plain(adotype::Numeric, 6), adotype::Double, -1, false, "FLOAT"},
        {plain(adotype::Double), adotype::Double, -1, true, "FLOAT"},
        {plain(adotype::Double), adotype::Numeric, 0, false, "INT"},
        {plain(adotype::VarWChar), adotype::VarWChar, -1, true, "text"},
        {plain(adotype::LongVarWChar), adotype::LongVarChar, -1, true, "text"},
        {plain(adotype::LongVarWChar, -1, true), adotype::LongVarWChar, -1, true, "text"},
        {plain(adotype::DBTimeStamp), adotype::DBTimeStamp, -1, false, "adDBTimeStamp"},
        {plain(adotype::LongVarBinary), adotype::LongVarBinary, -1, true, "BLOB"},
        {plain(adotype::LongVarBinary), adotype::VarWChar, -1, false, "text"},
        {typed(PlanKind::Date), adotype::DBTimeStamp, -1, true, "adDBTimeStamp"},
        {typed(PlanKind::Date), adotype::VarWChar, -1, false, "text"},
        {typed(PlanKind::Timestamp), adotype::DBDate, -1, false, "adDBDate"},
        {typed(PlanKind::Logical), adotype::Numeric, 0, true, "INT"},
        {typed(PlanKind::BinaryDouble), adotype::Double, -1, true, "FLOAT"},
        {typed(PlanKind::Number), adotype::Numeric, 4, true, "DECIMAL(4)"},
    };
    for (const auto& [plan, adoType, scale, same, serverName] : cases) {
        SCOPED_TRACE(columnTypeText(plan).toStdString() + " / " + serverName);
        EXPECT_EQ(serverColumnHasType(plan, adoType, scale), same);
        EXPECT_EQ(serverColumnTypeName(adoType, scale), QString::fromLatin1(serverName));
    }
}

} // namespace
} // namespace dravena
