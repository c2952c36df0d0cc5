#include "ValueDecoding.h"

#include "ByteOrder.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dravena::paradox::decoding {

namespace {

constexpr std::int64_t msPerDay = 86400000;
constexpr std::int64_t lastDay = 3652059; // 9999-12-31
constexpr std::int64_t unixEpochDay = 719163;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

} // namespace

std::optional<std::int64_t> shortValue(const std::uint8_t* p) {
    const std::uint16_t raw = bytes::be16(p);
    if (raw == 0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(raw ^ 0x8000u);
}

std::optional<std::int64_t> longValue(const std::uint8_t* p) {
    const std::uint32_t raw = bytes::be32(p);
    if (raw == 0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(raw ^ 0x80000000u);
}

std::optional<double> doubleValue(const std::uint8_t* p) {
    std::uint64_t raw = bytes::be64(p);
    if (raw == 0) {
        return std::nullopt;
    }
    if ((raw >> 63) != 0) {
        raw &= ~(std::uint64_t{1} << 63);
    } else {
        raw = ~raw;
    }
    return std::bit_cast<double>(raw);
}

Date dateFromDayNumber(std::int64_t day) {
    // Civil date from days since 1970-01-01 (H. Hinnant's algorithm).
    const std::int64_t z = day - unixEpochDay + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return Date{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

bool dayNumberInRange(std::int64_t day) {
    return day >= 1 && day <= lastDay;
}

std::optional<Time> timeFromMilliseconds(std::int64_t ms) {
    if (ms < 0 || ms >= msPerDay) {
        return std::nullopt;
    }
    const int v = static_cast<int>(ms);
    return Time{v / 3600000, v / 60000 % 60, v / 1000 % 60, v % 1000};
}

std::optional<Timestamp> timestampFromMilliseconds(double ms) {
    // Keep well inside the int64 range and the int years of Date.
    constexpr double limit = 1e17;
    if (!std::isfinite(ms) || std::fabs(ms) > limit) {
        return std::nullopt;
    }
    const auto total = static_cast<std::int64_t>(std::llround(ms));
    const std::int64_t day = floorDiv(total, msPerDay);
    return Timestamp{dateFromDayNumber(day), *timeFromMilliseconds(total - day * msPerDay)};
}

BcdResult bcdText(const std::uint8_t* p, int scale, std::string& text) {
    const std::uint8_t head = p[0];
    if ((head & 0x40) == 0) {
        return BcdResult::Blank;
    }
    const bool negative = (head & 0x80) == 0;
    // Negative values store every digit complemented. From the first nibble that is no digit on,
    // every digit reads as 0.
    const std::uint8_t flip = negative ? 0xFF : 0x00;
    char digits[32];
    int junkAt = 32; // the first nibble that is no digit
    int firstNonZero = 32;
    // Most values start with many zero digits: their bytes go two digits at a time.
    int start = 0;
    while (start < 32 && (p[1 + start / 2] ^ flip) == 0)
        start += 2;
    std::fill(digits, digits + start, '0');
    for (int i = start; i < 32; i += 2) {
        const auto b = static_cast<std::uint8_t>(p[1 + i / 2] ^ flip);
        const int high = b >> 4;
        const int low = b & 0x0F;
        if (high > 9) {
            junkAt = i;
            break;
        }
        digits[i] = static_cast<char>('0' + high);
        if (high != 0 && firstNonZero == 32) {
            firstNonZero = i;
        }
        if (low > 9) {
            junkAt = i + 1;
            break;
        }
        digits[i + 1] = static_cast<char>('0' + low);
        if (low != 0 && firstNonZero == 32) {
            firstNonZero = i + 1;
        }
    }
    std::fill(digits + junkAt, digits + 32, '0');
    const bool junk = junkAt < 32;
    const int intDigits = 32 - scale;
    text.clear();
    if (negative && firstNonZero < 32) {
        text += '-';
    }
    if (intDigits > 0) {
        // Leading zeros go, but one integer digit stays.
        text.append(digits + std::min(firstNonZero, intDigits - 1), digits + intDigits);
    } else {
        text += '0';
    }
    if (scale > 0) {
        text += '.';
        text.append(digits + std::max(intDigits, 0), digits + 32);
    }
    return junk ? BcdResult::ValueWithJunk : BcdResult::Value;
}

} // namespace dravena::paradox::decoding
