#pragma once

#include "ColumnPlan.h"

#include <cstddef>
#include <optional>
#include <string>

namespace dravena {

// The values of typed columns (--schema full), written without the session's formats: as typed
// literals (DATE '2001-02-03', TIMESTAMP '...', INTERVAL '...' DAY TO SECOND(3), bare numbers)
// or as text bound through the conversion that placeholder() puts around "?".

// Why the column cannot hold the value (a date before the year 1, an infinite amount in a NUMBER
// column, ...); nothing when it can. Such a value is never sent changed: its row is refused.
// Only a typed column refuses anything; asked for every value sent, hence the quick answer here.
std::optional<QString> typedValueRefusal(const ColumnPlan& plan, const Value& value);
inline std::optional<QString> valueRefusal(const ColumnPlan& plan, const Value& value) {
    return plan.typed ? typedValueRefusal(plan, value) : std::nullopt;
}

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

// typedValueText appended to a text.
void appendTypedValueText(std::string& out, const ColumnPlan& plan, const Value& value);

// The most room a text or bytes bound in an array keeps for the value bound in its place next:
// larger buffers cost little to make anew beside the copying of their bytes, and would otherwise
// stay with the arrays however few of the later values need them.
inline constexpr std::size_t KeptBoundBytes = 4096;

// The slot emptied as a buffer of the given kind (std::string or paradox::Bytes), with the room
// it held before when it held one of a size worth keeping.
template <class Buffer> Buffer& boundRoom(ArrayValue& slot) {
    auto* buffer = std::get_if<Buffer>(&slot);
    if (buffer == nullptr || buffer->capacity() > KeptBoundBytes)
        return slot.template emplace<Buffer>();
    buffer->clear();
    return *buffer;
}

// Puts the value in the slot as it is bound in an array of parameters of the column, in the
// room of the value bound there before.
void bindTypedValue(ArrayValue& slot, const ColumnPlan& plan, const Value& value);

} // namespace dravena
