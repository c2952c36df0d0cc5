#pragma once

#include "Value.h"

#include <cstdint>
#include <optional>
#include <string>

// Decoding of single field values from their stored bytes. Numbers are stored most significant
// byte first with the sign bit flipped (so that bytes sort like values); all-zero bytes are
// blank.
namespace dravena::paradox::decoding {

std::optional<std::int64_t> shortValue(const std::uint8_t* p);
std::optional<std::int64_t> longValue(const std::uint8_t* p);
std::optional<double> doubleValue(const std::uint8_t* p);

// Day 1 is 0001-01-01 of the proleptic Gregorian calendar; years before 1 are astronomical
// (0 = 1 BC).
Date dateFromDayNumber(std::int64_t day);
bool dayNumberInRange(std::int64_t day);

// Milliseconds since midnight, which must lie within one day.
std::optional<Time> timeFromMilliseconds(std::int64_t ms);

// Milliseconds since the start of day 0; nothing when not a finite value within range.
std::optional<Timestamp> timestampFromMilliseconds(double ms);

enum class BcdResult { Blank, Value, ValueWithJunk };
// Writes the decimal text of a 17-byte BCD value with `scale` decimal places into text. Digits
// from the first non-decimal nibble on count as zero (ValueWithJunk).
BcdResult bcdText(const std::uint8_t* p, int scale, std::string& text);

} // namespace dravena::paradox::decoding
