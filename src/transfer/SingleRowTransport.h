#pragma once

#include "RowTransport.h"

#include <optional>

namespace dravena {

// One INSERT statement per row, with the values as literals (values too long for a literal are
// bound). The rows are read ahead: a block of them is read and their statements are built before
// they go, one after the other in their order, which keeps the reading, the building and the
// sending each in the processor's caches.
class SingleRowTransport final : public RowTransport {
public:
    explicit SingleRowTransport(const RowDestination& destination);

    bool add(std::int64_t row, std::vector<Value>& values) override;
    void finish() override;
    bool sendsArrays() const override { return false; }

    // Sends one row now; true when the server took it.
    bool send(std::int64_t row, const std::vector<Value>& values);

private:
    // A row read and not yet sent: its statement, once built, stands in for its values.
    struct AheadRow {
        std::int64_t row;
        std::vector<Value> values;
        std::optional<InsertStatement> statement;
    };

    void buildStatements();
    // Builds the row's statement from its values unless it was built, then sends it.
    bool send(std::int64_t row, std::optional<InsertStatement>& statement,
              const std::vector<Value>& values);

    RowDestination to_;
    InsertStatementBuilder insert_;
    std::vector<AheadRow> ahead_;
    std::size_t aheadBytes_ = 0; // of the values in ahead_
};

} // namespace dravena
