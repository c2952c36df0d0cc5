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
    if (width == 4 && number >= 1000 && number < 10000) // the years of nearly every date
        return putPadded(putPadded(p, number / 100, 2), number % 100, 2);
    char digits[24];
    char* const end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    for (auto length = end - digits; length < width; ++length)
        *p++ = '0';
    return std::copy(digits, end, p);
}

// Room for the longest date or time: each part an int of up to 11 characters, sign included,
// and the separators between them.
constexpr std::size_t DateTimeRoom = 64;

char* putDate(char* p, const Date& date) {
    long long year = date.year;
    if (year < 0) {
        *p++ = '-';
        year = -year;
    }
    p = putPadded(p, year, 4);
    *p++ = '-';
    p = putPadded(p, date.month, 2);
    *p++ = '-';
    return putPadded(p, date.day, 2);
}

char* putTime(char* p, const Time& time) {
    p = putPadded(p, time.hour, 2);
    *p++ = ':';
    p = putPadded(p, time.minute, 2);
    *p++ = ':';
    p = putPadded(p, time.second, 2);
    if (time.millisecond != 0) {
        *p++ = '.';
        p = putPadded(p, time.millisecond, 3);
    }
    return p;
}

void appendDate(std::string& out, const Date& date) {
    char text[DateTimeRoom];
    out.append(text, putDate(text, date));
}

void appendTime(std::string& out, const Time& time) {
    char text[DateTimeRoom];
    out.append(text, putTime(text, time));
}

void appendTimestamp(std::string& out, const Timestamp& stamp) {
    char text[2 * DateTimeRoom];
    char* p = putDate(text, stamp.date);
    *p++ = ' ';
    out.append(text, putTime(p, stamp.time));
}

void appendInteger(std::string& out, std::int64_t number) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, result.ptr);
}

// Writes the shortest text of a number of at most four decimals and 15 significant digits (a
// price, a quantity: 1999.99, 0.5, -12) without the general search for the shortest digits;
// false, writing nothing, for any other number. Such a number is exactly m / 10^k for the
// integer m nearest to it times 10^k with the least k; no other decimal of at most 15
// significant digits reads back as the same number (15 digits always survive a double), so m's
// digits are the shortest. The form is chosen as std::to_chars chooses: plain unless the one
// with an exponent is shorter, which is left to it.
bool writeFewDecimals(char* out, char*& end, double number) {
    static constexpr double scales[] = {1, 10, 100, 1000, 10000};
    const double magnitude = std::fabs(number);
    int decimals = 0;
    double scaled = 0;
    for (; decimals < 5; ++decimals) {
        scaled = std::nearbyint(magnitude * scales[decimals]);
        if (!(scaled < 1e15))
            return false;
        if (scaled / scales[decimals] == magnitude)
            break;
    }
    if (decimals == 5)
        return false;
    char digits[24];
    const auto m = static_cast<std::int64_t>(scaled);
    char* const digitsEnd = std::to_chars(digits, digits + sizeof digits, m).ptr;
    const int count = static_cast<int>(digitsEnd - digits);
    int significant = count;
    while (significant > 1 && digits[significant - 1] == '0')
        --significant;
    if (decimals > 0 && significant < count)
        return false; // not the least k after all: left to to_chars
    const int plain = decimals == 0 ? count : count > decimals ? count + 1 : decimals + 2;
    const int withExponent = significant + (significant > 1 ? 1 : 0) + 4; // d.ddde+XX
    if (plain > withExponent)
        return false;
    char* p = out;
    if (std::signbit(number))
        *p++ = '-';
    if (decimals == 0) {
        p = std::copy(digits, digitsEnd, p);
    } else if (count > decimals) {
        p = std::copy(digits, digitsEnd - decimals, p);
        *p++ = '.';
        p = std::copy(digitsEnd - decimals, digitsEnd, p);
    } else {
        *p++ = '0';
        *p++ = '.';
        p = std::fill_n(p, decimals - count, '0');
        p = std::copy(digits, digitsEnd, p);
    }
    end = p;
    return true;
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
    char* end = nullptr;
    if (!writeFewDecimals(digits, end, number))
        end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end);
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
                appendTimestamp(utf8, v);
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
