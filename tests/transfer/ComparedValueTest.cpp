// Values compared in the terms of their column: what send wrote from the Paradox value against
// what the server gives back, equal exactly when the server kept the value.

#include "transfer/ComparedValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace dravena {
namespace {

using paradox::Bytes;
using paradox::Date;
using paradox::Decimal;
using paradox::Time;
using paradox::Timestamp;

struct Pair {
    const char* what;
    ColumnKind kind;
    Value paradox;
    Value server;
    bool equal;
};

std::optional<std::string> form(ColumnKind kind, const Value& value) {
    std::string out = "prefix";
    if (!appendComparedForm(out, kind, value)) {
        EXPECT_EQ(out, "prefix");
        return std::nullopt;
    }
    EXPECT_EQ(out.substr(0, 6), "prefix");
    return out.substr(6);
}

TEST(ComparedValue, EqualExactlyWhenTheServerKeptTheValue) {
    const std::string s = "O'Brien “Grüße”";
    const Pair pairs[] = {
        {"integer and its decimal", ColumnKind::Number, std::int64_t{-42}, Decimal{"-42"}, true},
        {"integer and a whole number as text", ColumnKind::Number, std::int64_t{7}, "7", true},
        {"integer changed", ColumnKind::Number, std::int64_t{7}, Decimal{"8"}, false},
        {"BCD and its column's trailing zeros", ColumnKind::Number, Decimal{"13.5"},
         Decimal{"13.500000"}, true},
        {"BCD negative zero", ColumnKind::Number, Decimal{"-0.00"}, Decimal{"0"}, true},
        {"BCD leading zeros", ColumnKind::Number, Decimal{"-0012.50"}, Decimal{"-12.5"}, true},
        {"BCD in exponent form", ColumnKind::Number, Decimal{"1500"}, Decimal{"1.5E+3"}, true},
        {"BCD small exponent", ColumnKind::Number, Decimal{"0.000001"}, Decimal{"1e-6"}, true},
        {"BCD 26 digits, the last changed", ColumnKind::Number,
         Decimal{"12345678901234567890123456"}, Decimal{"12345678901234567890123457"}, false},
        {"BCD rounded by the column", ColumnKind::Number, Decimal{"13.1234567"},
         Decimal{"13.123457"}, false},
        {"fraction rounded away in an INT column", ColumnKind::Number, 2.5, Decimal{"3"}, false},
        {"float and its double", ColumnKind::Float, 0.1, 0.1, true},
        {"float and its decimal text", ColumnKind::Float, 1.0 / 3, Decimal{"0.3333333333333333"},
         true},
        {"float one step off", ColumnKind::Float, 0.1, std::nextafter(0.1, 1.0), false},
        {"float negative zero", ColumnKind::Float, -0.0, 0.0, true},
        {"float tiny", ColumnKind::Float, -1e-300, Decimal{"-1E-300"}, true},
        {"text unchanged", ColumnKind::Text, s, s, true},
        {"text with a trailing blank", ColumnKind::Text, std::string("abc"), "abc ", false},
        {"text in other letter case", ColumnKind::Text, std::string("abc"), "Abc", false},
        {"empty text and NULL", ColumnKind::Text, std::string(), Value{}, true},
        {"NULL and an empty server text", ColumnKind::Text, Value{}, std::string(), true},
        {"NULL and a value", ColumnKind::Text, Value{}, "x", false},
        {"date as send writes it", ColumnKind::Text, Date{2024, 2, 29}, "2024-02-29", true},
        {"date a day off", ColumnKind::Text, Date{2024, 2, 29}, "2024-02-28", false},
        {"time with milliseconds", ColumnKind::Text, Time{23, 59, 59, 999}, "23:59:59.999", true},
        {"time stamp", ColumnKind::Text, Timestamp{{1999, 12, 31}, {23, 59, 59, 500}},
         "1999-12-31 23:59:59.500", true},
        {"logical", ColumnKind::Text, true, "True", true},
        {"money as text keeps its digits", ColumnKind::Text, 13.002, "13.0020", false},
        {"bytes unchanged", ColumnKind::Bytes, Bytes{0x27, 0, 0xFF}, Bytes{0x27, 0, 0xFF}, true},
        {"bytes, the last changed", ColumnKind::Bytes, Bytes{0x27, 0, 0xFF}, Bytes{0x27, 0, 0xFE},
         false},
        {"bytes, one more", ColumnKind::Bytes, Bytes{1}, Bytes{1, 0}, false},
        {"no bytes and NULL", ColumnKind::Bytes, Bytes{}, Value{}, true},
        {"bytes against text", ColumnKind::Bytes, Bytes{0x41}, "A", false},
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.what);
        const auto paradox = form(pair.kind, pair.paradox);
        const auto server = form(pair.kind, pair.server);
        EXPECT_EQ(paradox == server, pair.equal)
            << paradox.value_or("NULL") << " / " << server.value_or("NULL");
    }
}

ColumnPlan typed(PlanKind kind) {
    ColumnPlan plan;
    plan.typed = true;
    plan.kind = kind;
    return plan;
}

// The carried schema's columns (--schema full): the Paradox value as send types it, against what
// the server's typed column gives back.
TEST(ComparedValue, TypedColumnsCompareInTheirOwnTerms) {
    struct TypedPair {
        const char* what;
        PlanKind kind;
        Value paradox;
        Value server;
        bool equal;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const TypedPair pairs[] = {
        {"logical as 1", PlanKind::Logical, true, Decimal{"1"}, true},
        {"logical as 0", PlanKind::Logical, false, std::int64_t{1}, false},
        {"date", PlanKind::Date, Date{2024, 2, 29}, Date{2024, 2, 29}, true},
        {"date in a column with a time of day", PlanKind::Date, Date{2024, 2, 29},
         Timestamp{{2024, 2, 29}, {0, 0, 0, 0}}, true},
        {"date that gained a time", PlanKind::Date, Date{2024, 2, 29},
         Timestamp{{2024, 2, 29}, {0, 0, 1, 0}}, false},
        {"date before the year 1000", PlanKind::Date, Date{1, 1, 1}, "0001-01-01", true},
        {"time as an interval's text", PlanKind::Time, Time{23, 59, 59, 999}, "+00 23:59:59.999000",
         true},
        {"time as a time of day", PlanKind::Time, Time{0, 0, 0, 0}, Time{0, 0, 0, 0}, true},
        {"time a millisecond off", PlanKind::Time, Time{23, 59, 59, 999}, "23:59:59.998", false},
        {"time past the milliseconds", PlanKind::Time, Time{1, 2, 3, 4}, "01:02:03.0041", false},
        {"time stamp", PlanKind::Timestamp, Timestamp{{1999, 12, 31}, {23, 59, 59, 500}},
         Timestamp{{1999, 12, 31}, {23, 59, 59, 500}}, true},
        {"time stamp without milliseconds", PlanKind::Timestamp,
         Timestamp{{1999, 12, 31}, {23, 59, 59, 0}}, "1999-12-31 23:59:59", true},
        {"time stamp a millisecond off", PlanKind::Timestamp,
         Timestamp{{1999, 12, 31}, {23, 59, 59, 500}}, Timestamp{{1999, 12, 31}, {23, 59, 59, 501}},
         false},
        {"binary double infinity", PlanKind::BinaryDouble, inf, inf, true},
        {"binary double minus infinity", PlanKind::BinaryDouble, -inf, inf, false},
        {"binary double NaN", PlanKind::BinaryDouble, std::nan(""), std::nan(""), true},
        {"number of a double", PlanKind::Number, 13.002, Decimal{"13.0020"}, true},
        {"number one digit off", PlanKind::Number, 13.002, Decimal{"13.0021"}, false},
        {"identity", PlanKind::Integer, std::int64_t{7}, Decimal{"7"}, true},
        {"bytes", PlanKind::Bytes, Bytes{0x27, 0}, Bytes{0x27, 0}, true},
        {"NULL date", PlanKind::Date, Value{}, Value{}, true},
    };
    for (const TypedPair& pair : pairs) {
        SCOPED_TRACE(pair.what);
        const ColumnPlan plan = typed(pair.kind);
        std::string paradox;
        std::string server;
        const bool paradoxValue = appendExpectedForm(paradox, plan, pair.paradox);
        const bool serverValue = appendComparedForm(server, columnKindOf(plan), pair.server);
        EXPECT_EQ(paradoxValue == serverValue && paradox == server, pair.equal)
            << paradox << " / " << server;
    }
}

TEST(ComparedValue, ServerColumnTypesAgainstWhatSendCreates) {
    struct Case {
        ColumnPlan plan;
        int adoType;
        int scale;
        bool same;
        const char* serverName;
    };
    const auto plain = [](int adoType, int scale = -1, bool longText = false) {
        return plainColumnPlan(QStringLiteral("F"), adoType, scale, longText);
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(columnTypeText(c.plan).toStdString() + " / " + c.serverName);
        EXPECT_EQ(serverColumnHasType(c.plan, c.adoType, c.scale), c.same);
        EXPECT_EQ(serverColumnTypeName(c.adoType, c.scale), QString::fromLatin1(c.serverName));
    }
}

} // namespace
} // namespace dravena
