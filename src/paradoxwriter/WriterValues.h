#pragma once

#include "paradox/Value.h"

#include <cstdint>

// Encoders for the fixed-size field values of a record. Numbers are stored big-endian with the
// sign bit flipped (doubles: all bits inverted when negative) so that byte order sorts them;
// all-zero bytes mean blank. Each function throws ParadoxError for a value the field cannot hold.
namespace dravena::paradox::writer {

void putLittle16(std::uint8_t* at, std::uint16_t value);
void putLittle32(std::uint8_t* at, std::uint32_t value);

// Short (2 bytes) or Long/Autoincrement (4 bytes); the most negative value is the blank.
void putSortableInteger(std::uint8_t* at, std::int64_t value, int bytes);
void putSortableDouble(std::uint8_t* at, double value);

// Day number with day 1 = 0001-01-01 (proleptic Gregorian).
std::int32_t dayNumber(const Date& date);
// Milliseconds since midnight.
std::int32_t millisecondOfDay(const Time& time);

// 17 bytes: sign and scale, then 32 decimal digits as nibbles.
void putBcd(std::uint8_t* at, const Decimal& value, int scale);

} // namespace dravena::paradox::writer
