#include "WriterValues.h"

#include "paradox/Field.h"

#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>

namespace dravena::paradox::writer {

void putLittle16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putLittle32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putSortableInteger(std::uint8_t* at, std::int64_t value, int bytes) {
    const std::int64_t limit = bytes == 2 ? 32767 : 2147483647;
    if (value < -limit || value > limit)
        throw ParadoxError(std::to_string(value) + " is outside the range -" +
                           std::to_string(limit) + " to " + std::to_string(limit));
    const int bits = bytes * 8;
    const std::uint64_t flipped =
        (static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << (bits - 1)));
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(flipped >> (8 * (bytes - 1 - i)));
}

void putSortableDouble(std::uint8_t* at, double value) {
    if (!std::isfinite(value))
        throw ParadoxError("a number must be finite");
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    for (int i = 0; i < 8; ++i) {
        const auto byte = static_cast<std::uint8_t>(bits >> (8 * (7 - i)));
        at[i] = negative ? static_cast<std::uint8_t>(~byte) : byte;
    }
    if (!negative)
        at[0] |= 0x80;
}

std::int32_t dayNumber(const Date& date) {
    using namespace std::chrono;
    const bool inRange = date.year >= -32767 && date.year <= 32767 && date.month >= 1 &&
                         date.month <= 12 && date.day >= 1 && date.day <= 31;
    const year_month_day ymd{year{inRange ? date.year : 1},
                             month{inRange ? static_cast<unsigned>(date.month) : 1u},
                             day{inRange ? static_cast<unsigned>(date.day) : 1u}};
    if (!inRange || !ymd.ok())
        throw ParadoxError("invalid date " + std::to_string(date.year) + "-" +
                           std::to_string(date.month) + "-" + std::to_string(date.day));
    // 1970-01-01 is day 719163 when 0001-01-01 is day 1.
    return static_cast<std::int32_t>(sys_days{ymd}.time_since_epoch().count() + 719163);
}

std::int32_t millisecondOfDay(const Time& time) {
    if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
        time.second > 59 || time.millisecond < 0 || time.millisecond > 999)
        throw ParadoxError("invalid time " + std::to_string(time.hour) + ":" +
                           std::to_string(time.minute) + ":" + std::to_string(time.second) + "." +
                           std::to_string(time.millisecond));
    return ((time.hour * 60 + time.minute) * 60 + time.second) * 1000 + time.millisecond;
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void putBcd(std::uint8_t* at, const Decimal& value, int scale) {
    const std::string& text = value.text;
    auto invalid = [&](const std::string& why) {
        return ParadoxError("\"" + text + "\" is not a decimal number for a BCD field with " +
                            std::to_string(scale) + " decimal places (" + why + ")");
    };
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    const std::size_t intStart = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    std::string_view integer(text.data() + intStart, pos - intStart);
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fracStart = ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        fraction = std::string_view(text.data() + fracStart, pos - fracStart);
    }
    if (pos != text.size() || (integer.empty() && fraction.empty()))
        throw invalid("not of the form -123.45");
    while (!integer.empty() && integer.front() == '0')
        integer.remove_prefix(1);
    while (fraction.size() > static_cast<std::size_t>(scale) && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (fraction.size() > static_cast<std::size_t>(scale))
        throw invalid("too many decimal places");
    if (integer.size() > static_cast<std::size_t>(32 - scale))
        throw invalid("too many digits");

    std::array<std::uint8_t, 32> digits{};
    const std::size_t point = 32 - static_cast<std::size_t>(scale);
    for (std::size_t i = 0; i < integer.size(); ++i)
        digits[point - integer.size() + i] = static_cast<std::uint8_t>(integer[i] - '0');
    for (std::size_t i = 0; i < fraction.size(); ++i)
        digits[point + i] = static_cast<std::uint8_t>(fraction[i] - '0');
    bool zero = true;
    for (auto d : digits)
        zero = zero && d == 0;
    negative = negative && !zero;

    at[0] = static_cast<std::uint8_t>((negative ? 0x40 : 0xC0) + scale);
    for (std::size_t i = 0; i < 16; ++i) {
        const auto byte = static_cast<std::uint8_t>(digits[2 * i] << 4 | digits[2 * i + 1]);
        at[1 + i] = negative ? static_cast<std::uint8_t>(~byte) : byte;
    }
}

} // namespace dravena::paradox::writer
