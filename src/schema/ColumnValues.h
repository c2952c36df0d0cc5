#pragma once

#include "ColumnPlan.h"

#include <optional>
#include <string>

namespace dravena {

// The values of typed columns (--schema full), written without the session's formats: as typed
// literals (DATE '2001-02-03', TIMESTAMP '...', INTERVAL '...' DAY TO SECOND(3), bare numbers)
// or as text bound through the conversion that placeholder() puts around "?".

// Why the column cannot hold the value (a date before the year 1, an infinite amount in a NUMBER
// column, ...); nothing when it can. Such a value is never sent changed: its row is refused.
std::optional<QString> valueRefusal(const ColumnPlan& plan, const Value& value);

// The text of a typed column's value as it is bound, and the body of its literal: digits for
// numbers ("Inf", "-Inf", "NaN" for a BINARY_DOUBLE), YYYY-MM-DD, "D HH:MM:SS.fff" for a time of
// day, "YYYY-MM-DD HH:MM:SS.fff", 1 or 0 for a logical, text unchanged, bytes in hexadecimal.
// "" for NULL.
std::string typedValueText(const ColumnPlan& plan, const Value& value);

// Whether the column's values are written as quoted text (text, and bytes in hexadecimal), which
// a literal can carry only up to MaxLiteralBytes.
bool writtenAsQuotedText(const ColumnPlan& plan);

// Appends the value as a typed literal of the column ("NULL" for NULL); not for columns written
// as quoted text.
void appendTypedLiteral(std::string& sql, const ColumnPlan& plan, const Value& value);

// The value as a literal of the column: its typed literal, or quoted text with every apostrophe
// doubled; "NULL" for NULL.
QString typedLiteral(const ColumnPlan& plan, const Value& value);

// The value as it is bound in an array of parameters of the column.
ArrayValue typedBoundValue(const ColumnPlan& plan, const Value& value);

} // namespace dravena
