#pragma once

#include "RowTransport.h"

namespace dravena {

// One INSERT statement per row, with the values as literals (values too long for a literal are
// bound). The rows are read ahead: a block of them is read before they go, one after the other in
// their order, which keeps the reading and the sending each in the processor's caches.
class SingleRowTransport final : public RowTransport {
public:
    explicit SingleRowTransport(const RowDestination& destination);

    bool add(std::int64_t row, std::vector<Value> values) override;
    void finish() override;
    bool sendsArrays() const override { return false; }

    // Sends one row now; true when the server took it.
    bool send(std::int64_t row, const std::vector<Value>& values);

private:
    RowDestination to_;
    InsertStatementBuilder insert_;
    std::vector<std::pair<std::int64_t, std::vector<Value>>> ahead_; // read, not yet sent
};

} // namespace dravena
