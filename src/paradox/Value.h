#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace dravena::paradox {

struct Date {
    int year = 0; // proleptic Gregorian, may be before 1
    int month = 0;
    int day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

struct Time {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    friend bool operator==(const Time&, const Time&) = default;
};

struct Timestamp {
    Date date;
    Time time;
    friend bool operator==(const Timestamp&, const Timestamp&) = default;
};

// An exact decimal number as text ("-12.50"); BCD values keep every digit this way.
struct Decimal {
    std::string text;
    friend bool operator==(const Decimal&, const Decimal&) = default;
};

using Bytes = std::vector<std::uint8_t>;

// One field value. std::monostate is NULL. Text is UTF-8.
using Value = std::variant<std::monostate, std::string, std::int64_t, double, bool, Date, Time,
                           Timestamp, Decimal, Bytes>;

inline bool isNull(const Value& v) {
    return std::holds_alternative<std::monostate>(v);
}

} // namespace dravena::paradox
