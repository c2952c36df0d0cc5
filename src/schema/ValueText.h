#pragma once

#include "dataaccess/DataAccess.h"

#include <QString>

#include <string>

namespace dravena {

// The text form of a field value as it goes into a statement, independent of the locale:
//   NULL               ""  (so it is written as the bare word NULL)
//   text               unchanged
//   integer            plain decimal ("-42")
//   floating number    shortest form that reads back to the same value, with "." ("0.1",
//                      "1e+300", "-0"); NaN and infinities as "NaN", "Infinity", "-Infinity",
//                      which a numeric column may refuse: the row is then reported, never
//                      silently changed
//   logical            "True" / "False"
//   date               YYYY-MM-DD; years before 1 in astronomical numbering with a sign and at
//                      least four digits ("0000-01-01", "-0044-03-15"); years after 9999 with all
//                      their digits
//   time               HH:MM:SS, with .fff when the milliseconds are not zero
//   time stamp         date, one blank, time
//   exact decimal      its digits unchanged ("-12.50")
//   bytes              upper-case hexadecimal digits, two per byte
void appendValueText(std::string& utf8, const Value& value);

std::string valueTextUtf8(const Value& value);

// The value itself, or the fallback when the value is NULL (no copy of either is made).
const Value& NullToDefault(const Value& value, const Value& fallback);
QString valueText(const Value& value);

} // namespace dravena
