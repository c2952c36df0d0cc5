#include "ValueText.h"

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

// Appends a non-negative number with at least `width` digits.
void appendPadded(std::string& out, long long number, int width) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    const auto length = static_cast<int>(result.ptr - digits);
    if (length < width)
        out.append(static_cast<std::size_t>(width - length), '0');
    out.append(digits, result.ptr);
}

void appendDate(std::string& out, const Date& date) {
    long long year = date.year;
    if (year < 0) {
        out += '-';
        year = -year;
    }
    appendPadded(out, year, 4);
    out += '-';
    appendPadded(out, date.month, 2);
    out += '-';
    appendPadded(out, date.day, 2);
}

void appendTime(std::string& out, const Time& time) {
    appendPadded(out, time.hour, 2);
    out += ':';
    appendPadded(out, time.minute, 2);
    out += ':';
    appendPadded(out, time.second, 2);
    if (time.millisecond != 0) {
        out += '.';
        appendPadded(out, time.millisecond, 3);
    }
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
