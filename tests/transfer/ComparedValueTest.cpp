// Values compared in the terms of their column: what send wrote from the Paradox value against
// what the server gives back, equal exactly when the server kept the value.

#include "transfer/ComparedValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <variant>

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

// A ColumnKind is a described column (both sides compared as the server gives them back); a
// PlanKind is a carried schema's typed column (--schema full).
TEST(ComparedValue, EqualExactlyWhenTheServerKeptTheValue) {
    const std::string s = "O'Brien “Grüße”";
    const double inf = std::numeric_limits<double>::infinity();
    const auto N = ColumnKind::Number, F = ColumnKind::Float, T = ColumnKind::Text;
    const auto B = ColumnKind::Bytes;
    using I = std::int64_t;
    using P = PlanKind;
    const Date leap{2024, 2, 29};
    const Time late{23, 59, 59, 999};
    const Timestamp stamp{{1999, 12, 31}, {23, 59, 59, 500}};
    const std::tuple<const char*, std::variant<ColumnKind, PlanKind>, Value, Value, bool> pairs[] =
        {
            {"integer and its decimal", N, I{-42}, Decimal{"-42"}, true},
            {"integer and a whole number as text", N, I{7}, "7", true},
            {"integer changed", N, I{7}, Decimal{"8"}, false},
            {"BCD and its column's trailing zeros", N, Decimal{"13.5"}, Decimal{"13.500000"}, true},
            {"BCD negative zero", N, Decimal{"-0.00"}, Decimal{"0"}, true},
            {"BCD leading zeros", N, Decimal{"-0012.50"}, Decimal{"-12.5"}, true},
            {"BCD in exponent form", N, Decimal{"1500"}, Decimal{"1.5E+3"}, true},
            {"BCD small exponent", N, Decimal{"0.000001"}, Decimal{"1e-6"}, true},
            {"BCD 26 digits, the last changed", N, Decimal{"12345678901234567890123456"},
             Decimal{"12345678901234567890123457"}, false},
            {"BCD rounded by the column", N, Decimal{"13.1234567"}, Decimal{"13.123457"}, false},
            {"fraction rounded away in an INT column", N, 2.5, Decimal{"3"}, false},
            {"float and its double", F, 0.1, 0.1, true},
            {"float and its decimal text", F, 1.0 / 3, Decimal{"0.3333333333333333"}, true},
            {"float one step off", F, 0.1, std::nextafter(0.1, 1.0), false},
            {"float negative zero", F, -0.0, 0.0, true},
            {"float tiny", F, -1e-300, Decimal{"-1E-300"}, true},
            {"text unchanged", T, s, s, true},
            {"text with a trailing blank", T, std::string("abc"), "abc ", false},
            {"text in other letter case", T, std::string("abc"), "Abc", false},
            {"empty text and NULL", T, std::string(), Value{}, true},
            {"NULL and an empty server text", T, Value{}, std::string(), true},
            {"NULL and a value", T, Value{}, "x", false},
            {"date as send writes it", T, leap, "2024-02-29", true},
            {"date a day off", T, leap, "2024-02-28", false},
            {"time with milliseconds", T, late, "23:59:59.999", true},
            {"time stamp", T, stamp, "1999-12-31 23:59:59.500", true},
            {"logical", T, true, "True", true},
            {"money as text keeps its digits", T, 13.002, "13.0020", false},
            {"bytes unchanged", B, Bytes{0x27, 0, 0xFF}, Bytes{0x27, 0, 0xFF}, true},
            {"bytes, the last changed", B, Bytes{0x27, 0, 0xFF}, Bytes{0x27, 0, 0xFE}, false},
            {"bytes, one more", B, Bytes{1}, Bytes{1, 0}, false},
            {"no bytes and NULL", B, Bytes{}, Value{}, true},
            {"bytes against text", B, Bytes{0x41}, "A", false},
            {"typed logical as 1", P::Logical, true, Decimal{"1"}, true},
            {"typed logical as 0", P::Logical, false, I{1}, false},
            {"typed date", P::Date, leap, leap, true},
            {"date at midnight", P::Date, leap, Timestamp{{2024, 2, 29}, {0, 0, 0, 0}}, true},
            {"date gained a second", P::Date, leap, Timestamp{{2024, 2, 29}, {0, 0, 1, 0}}, false},
            {"date before the year 1000", P::Date, Date{1, 1, 1}, "0001-01-01", true},
            {"time as an interval's text", P::Time, late, "+00 23:59:59.999000", true},
            {"time as a time of day", P::Time, Time{0, 0, 0, 0}, Time{0, 0, 0, 0}, true},
            {"time a millisecond off", P::Time, late, "23:59:59.998", false},
            {"time past the milliseconds", P::Time, Time{1, 2, 3, 4}, "01:02:03.0041", false},
            {"typed time stamp", P::Timestamp, stamp, stamp, true},
            {"time stamp without milliseconds", P::Timestamp,
             Timestamp{{1999, 12, 31}, {23, 59, 59, 0}}, "1999-12-31 23:59:59", true},
            {"time stamp a millisecond off", P::Timestamp, stamp,
             Timestamp{{1999, 12, 31}, {23, 59, 59, 501}}, false},
            {"binary double infinity", P::BinaryDouble, inf, inf, true},
            {"binary double minus infinity", P::BinaryDouble, -inf, inf, false},
            {"binary double NaN", P::BinaryDouble, std::nan(""), std::nan(""), true},
            {"number of a double", P::Number, 13.002, Decimal{"13.0020"}, true},
            {"number one digit off", P::Number, 13.002, Decimal{"13.0021"}, false},
            {"identity", P::Integer, I{7}, Decimal{"7"}, true},
            {"typed bytes", P::Bytes, Bytes{0x27, 0}, Bytes{0x27, 0}, true},
            {"NULL date", P::Date, Value{}, Value{}, true},
        };
    for (const auto& [what, column, paradoxValue, serverValue, equal] : pairs) {
        SCOPED_TRACE(what);
        const auto* planKind = std::get_if<PlanKind>(&column);
        const ColumnPlan plan = planKind ? typed(*planKind) : ColumnPlan{};
        const ColumnKind kind = planKind ? columnKindOf(plan) : std::get<ColumnKind>(column);
        const auto paradox = form(kind, paradoxValue, planKind ? &plan : nullptr);
        const auto server = form(kind, serverValue);
        EXPECT_EQ(paradox == server, equal)
            << paradox.value_or("NULL") << " / " << server.value_or("NULL");
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
