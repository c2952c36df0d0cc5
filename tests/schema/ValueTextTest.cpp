#include "schema/ValueText.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace dravena {
namespace {

using paradox::Bytes;
using paradox::Date;
using paradox::Decimal;
using paradox::Time;
using paradox::Timestamp;

std::string text(const Value& value) {
    return valueTextUtf8(value);
}

TEST(ValueText, NullTextAndIntegers) {
    EXPECT_EQ(text(Value{}), "");
    EXPECT_EQ(text(Value{std::string()}), "");
    EXPECT_EQ(text(Value{std::string("O'Brien \"x\" Grüße")}), "O'Brien \"x\" Grüße");
    EXPECT_EQ(text(Value{std::int64_t{0}}), "0");
    EXPECT_EQ(text(Value{std::int64_t{-42}}), "-42");
    EXPECT_EQ(text(Value{std::numeric_limits<std::int64_t>::min()}), "-9223372036854775808");
    EXPECT_EQ(text(Value{std::numeric_limits<std::int64_t>::max()}), "9223372036854775807");
}

TEST(ValueText, QStringFormKeepsUnicode) {
    EXPECT_EQ(valueText(Value{std::string("Grüße Ωμέγα")}), QStringLiteral("Grüße Ωμέγα"));
    EXPECT_TRUE(valueText(Value{}).isEmpty());
}

TEST(ValueText, FloatingNumbersReadBackExactly) {
    EXPECT_EQ(text(Value{0.1}), "0.1");
    EXPECT_EQ(text(Value{-2.5}), "-2.5");
    EXPECT_EQ(text(Value{100.0}), "100");
    EXPECT_EQ(text(Value{1e300}), "1e+300");
    EXPECT_EQ(text(Value{-1.5e-300}), "-1.5e-300");
    EXPECT_EQ(text(Value{0.0}), "0");
    EXPECT_EQ(text(Value{-0.0}), "-0");
    const double awkward[] = {1.0 / 3.0,
                              2.0 / 3.0 * 1e-7,
                              123456789.123456789,
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max(),
                              0.30000000000000004};
    for (const double d : awkward) {
        const std::string s = text(Value{d});
        double back = 0;
        const auto result = std::from_chars(s.data(), s.data() + s.size(), back);
        ASSERT_EQ(result.ec, std::errc{}) << s;
        EXPECT_EQ(result.ptr, s.data() + s.size()) << s;
        EXPECT_EQ(back, d) << s;
    }
}

// Prices and quantities take a short way to their text; it must be the very text of the
// general shortest form, plain or with an exponent, for every number, near the edges of that way
// (15 digits, four decimals, round thousands, tiny and huge numbers) and at random.
TEST(ValueText, NumbersWithFewDecimalsHaveTheGeneralShortestText) {
    const auto general = [](double d) {
        char digits[32];
        return std::string(digits, std::to_chars(digits, digits + sizeof digits, d).ptr);
    };
    std::vector<double> numbers = {0.0,
                                   -0.0,
                                   1.0,
                                   0.5,
                                   0.05,
                                   0.001,
                                   0.0001,
                                   0.0005,
                                   0.00012,
                                   1e-5,
                                   12.5,
                                   1999.99,
                                   -0.3,
                                   0.1 + 0.2,
                                   1e4,
                                   1e5,
                                   1.5e5,
                                   1.5e6,
                                   123e5,
                                   1e14,
                                   999999999999999.0,
                                   1e15,
                                   99999999999.9999,
                                   9007199254740993.0,
                                   4.35,
                                   1e21,
                                   5e-324};
    std::mt19937_64 random(20261208);
    const double scales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    for (int i = 0; i < 200000; ++i) {
        const auto m = static_cast<double>(random() % (std::uint64_t{1} << (1 + i % 53)));
        numbers.push_back((i % 2 ? -m : m) / scales[i % 7]);
        std::uint64_t bits = random();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any))
            numbers.push_back(any);
    }
    for (const double d : numbers)
        ASSERT_EQ(text(Value{d}), general(d)) << std::hexfloat << d;
}

TEST(ValueText, NotANumberAndInfinitiesHaveWordsServersKnow) {
    EXPECT_EQ(text(Value{std::numeric_limits<double>::quiet_NaN()}), "NaN");
    EXPECT_EQ(text(Value{-std::numeric_limits<double>::quiet_NaN()}), "NaN");
    EXPECT_EQ(text(Value{std::numeric_limits<double>::infinity()}), "Infinity");
    EXPECT_EQ(text(Value{-std::numeric_limits<double>::infinity()}), "-Infinity");
}

TEST(ValueText, LogicalAndDecimal) {
    EXPECT_EQ(text(Value{true}), "True");
    EXPECT_EQ(text(Value{false}), "False");
    EXPECT_EQ(text(Value{Decimal{"-12.50"}}), "-12.50");
    EXPECT_EQ(text(Value{Decimal{"12345678901234567890.123456789012"}}),
              "12345678901234567890.123456789012");
}

TEST(ValueText, DatesIncludingYearsOutsideFourDigits) {
    EXPECT_EQ(text(Value{Date{2024, 2, 29}}), "2024-02-29");
    EXPECT_EQ(text(Value{Date{1, 1, 1}}), "0001-01-01");
    EXPECT_EQ(text(Value{Date{0, 12, 31}}), "0000-12-31");
    EXPECT_EQ(text(Value{Date{-44, 3, 15}}), "-0044-03-15");
    EXPECT_EQ(text(Value{Date{-12345, 6, 7}}), "-12345-06-07");
    EXPECT_EQ(text(Value{Date{12345, 6, 7}}), "12345-06-07");
}

TEST(ValueText, TimesShowMillisecondsOnlyWhenPresent) {
    EXPECT_EQ(text(Value{Time{0, 0, 0, 0}}), "00:00:00");
    EXPECT_EQ(text(Value{Time{23, 59, 59, 0}}), "23:59:59");
    EXPECT_EQ(text(Value{Time{9, 5, 7, 1}}), "09:05:07.001");
    EXPECT_EQ(text(Value{Time{9, 5, 7, 50}}), "09:05:07.050");
    EXPECT_EQ(text(Value{Time{9, 5, 7, 999}}), "09:05:07.999");
    EXPECT_EQ(text(Value{Timestamp{{1999, 12, 31}, {23, 59, 59, 0}}}), "1999-12-31 23:59:59");
    EXPECT_EQ(text(Value{Timestamp{{2000, 1, 2}, {3, 4, 5, 600}}}), "2000-01-02 03:04:05.600");
}

TEST(ValueText, BytesAsUpperCaseHex) {
    EXPECT_EQ(text(Value{Bytes{0x00, 0x01, 0x7F, 0x80, 0xAB, 0xFF}}), "00017F80ABFF");
    EXPECT_EQ(text(Value{Bytes{'\''}}), "27");
    EXPECT_EQ(text(Value{Bytes{}}), "");
}

TEST(ValueText, IndependentOfTheLocale) {
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (german == nullptr) {
        const char* why = "locale de_DE.UTF-8 missing: scripts/install-deps --test makes it";
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            FAIL() << why;
        GTEST_SKIP() << why;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(text(Value{1234.5}), "1234.5");
    EXPECT_EQ(valueText(Value{std::int64_t{1234567}}), QStringLiteral("1234567"));
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
}

TEST(ValueText, AppendsToWhatIsThere) {
    std::string out = "x=";
    appendValueText(out, Value{std::int64_t{7}});
    appendValueText(out, Value{});
    appendValueText(out, Value{Bytes{0xC3}});
    EXPECT_EQ(out, "x=7C3");
}

} // namespace
} // namespace dravena
