#pragma once

#include "RowTransport.h"

namespace dravena {

// One INSERT statement per row, with the values as literals (values too long for a literal are
// bound).
class SingleRowTransport final : public RowTransport {
public:
    explicit SingleRowTransport(const RowDestination& destination);

    bool add(std::int64_t row, std::vector<Value> values) override;
    void finish() override {}
    bool sendsArrays() const override { return false; }

    // Sends one row now; true when the server took it.
    bool send(std::int64_t row, const std::vector<Value>& values);

private:
    RowDestination to_;
    InsertStatementBuilder insert_;
};

} // namespace dravena
