#pragma once

#include "ComparedValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravena {

// The values of one row in the forms they are compared in (appendComparedForm), kept as one
// string: rows with equal strings hold equal values, field by field.
class ComparedRow {
public:
    void clear() { encoded_.clear(); }
    // The next field: a value read back from the server (appendComparedForm), or one read from
    // the Paradox table (appendExpectedForm).
    void append(ColumnKind kind, const Value& value);
    void appendExpected(const ColumnPlan& plan, const Value& value);

    std::string_view encoded() const { return encoded_; }

    // The fields of an encoded row: each value's compared form, nothing for NULL.
    using Fields = std::vector<std::optional<std::string>>;
    static Fields fields(std::string_view encoded);

private:
    template <class Form> void appendField(Form form);

    std::string encoded_;
};

} // namespace dravena
