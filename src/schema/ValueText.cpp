#include "ValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <type_traits>

namespace dravena {

namespace {

using paradox::Bytes;
using paradox::Date;
using paradox::Decimal;
using paradox::Time;
using paradox::Timestamp;

// Writes a number with at least `width` digits at p, zeros before it; returns the end. A date
// or a time is written into a buffer of its own first and appended once.
char* putPadded(char* p, long long number, int width) {
    if (width == 2 && number >= 0 && number < 100) { // months, days, hours, minutes, seconds
        p[0] = static_cast<char>('0' + number / 10);
        p[1] = static_cast<char>('0' + number % 10);
        return p + 2;
    }
    char digits[24];
    char* const end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    for (auto length = end - digits; length < width; ++length)
        *p++ = '0';
    return std::copy(digits, end, p);
}

void appendDate(std::string& out, const Date& date) {
    char text[80];
    char* p = text;
    long long year = date.year;
    if (year < 0) {
        *p++ = '-';
        year = -year;
    }
    p = putPadded(p, year, 4);
    *p++ = '-';
    p = putPadded(p, date.month, 2);
    *p++ = '-';
    p = putPadded(p, date.day, 2);
    out.append(text, p);
}

void appendTime(std::string& out, const Time& time) {
    char text[100];
    char* p = putPadded(text, time.hour, 2);
    *p++ = ':';
    p = putPadded(p, time.minute, 2);
    *p++ = ':';
    p = putPadded(p, time.second, 2);
    if (time.millisecond != 0) {
        *p++ = '.';
        p = putPadded(p, time.millisecond, 3);
    }
    out.append(text, p);
}

void appendInteger(std::string& out, std::int64_t number) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, result.ptr);
}

void appendDouble(std::string& out, double number) {
    if (std::isnan(number)) {
        out += "NaN";
        return;
    }
    if (std::isinf(number)) {
        out += number < 0 ? "-Infinity" : "Infinity";
        return;
    }
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, result.ptr);
}

void appendHex(std::string& out, const Bytes& bytes) {
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* p = out.data() + start;
    for (const std::uint8_t byte : bytes) {
        *p++ = hexDigits[byte >> 4];
        *p++ = hexDigits[byte & 0x0F];
    }
}

} // namespace

void appendValueText(std::string& utf8, const Value& value) {
    std::visit(
        [&utf8](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                // NULL has no text.
            } else if constexpr (std::is_same_v<T, std::string>) {
                utf8 += v;
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                appendInteger(utf8, v);
            } else if constexpr (std::is_same_v<T, double>) {
                appendDouble(utf8, v);
            } else if constexpr (std::is_same_v<T, bool>) {
                utf8 += v ? "True" : "False";
            } else if constexpr (std::is_same_v<T, Date>) {
                appendDate(utf8, v);
            } else if constexpr (std::is_same_v<T, Time>) {
                appendTime(utf8, v);
            } else if constexpr (std::is_same_v<T, Timestamp>) {
                appendDate(utf8, v.date);
                utf8 += ' ';
                appendTime(utf8, v.time);
            } else if constexpr (std::is_same_v<T, Decimal>) {
                utf8 += v.text;
            } else {
                static_assert(std::is_same_v<T, Bytes>);
                appendHex(utf8, v);
            }
        },
        value);
}

std::string valueTextUtf8(const Value& value) {
    std::string text;
    appendValueText(text, value);
    return text;
}

const Value& NullToDefault(const Value& value, const Value& fallback) {
    return paradox::isNull(value) ? fallback : value;
}

QString valueText(const Value& value) {
    return QString::fromStdString(valueTextUtf8(value));
}

} // namespace dravena
