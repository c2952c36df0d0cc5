#include "ComparedRow.h"

#include <cstdint>
#include <cstring>

namespace dravena {

namespace {

// Each field: one byte (0 NULL, 1 a value), then for a value its length in four bytes and its
// form.
constexpr char NullField = 0;
constexpr char ValueField = 1;
constexpr std::size_t LengthBytes = sizeof(std::uint32_t);

} // namespace

template <class Form> void ComparedRow::appendField(Form form) {
    const std::size_t flag = encoded_.size();
    encoded_.push_back(ValueField);
    encoded_.append(LengthBytes, '\0');
    const std::size_t start = encoded_.size();
    if (!form(encoded_)) {
        encoded_.resize(flag);
        encoded_.push_back(NullField);
        return;
    }
    const auto length = static_cast<std::uint32_t>(encoded_.size() - start);
    std::memcpy(encoded_.data() + flag + 1, &length, LengthBytes);
}

void ComparedRow::append(ColumnKind kind, const Value& value) {
    appendField([&](std::string& out) { return appendComparedForm(out, kind, value); });
}

void ComparedRow::appendExpected(const ColumnPlan& plan, const Value& value) {
    appendField([&](std::string& out) { return appendExpectedForm(out, plan, value); });
}

ComparedRow::Fields ComparedRow::fields(std::string_view encoded) {
    Fields fields;
    std::size_t at = 0;
    while (at < encoded.size()) {
        if (encoded[at++] == NullField) {
            fields.emplace_back();
            continue;
        }
        std::uint32_t length = 0;
        if (encoded.size() - at < LengthBytes)
            break;
        std::memcpy(&length, encoded.data() + at, LengthBytes);
        at += LengthBytes;
        fields.emplace_back(std::string(encoded.substr(at, length)));
        at += length;
    }
    return fields;
}

} // namespace dravena
