#pragma once

#include "RowArrays.h"
#include "RowTransport.h"
#include "SingleRowTransport.h"

namespace dravena {

// Rows gathered into arrays of parameters and sent with one round trip per array, each array in
// a transaction of its own. An array the server did not take whole leaves nothing and goes again
// row by row, so that each refusal is told with its own row and message and every other row
// arrives. A single row goes as a statement of its own.
class ArrayTransport final : public RowTransport {
public:
    // Prepares the statement; fails as the connection does.
    ArrayTransport(const RowDestination& destination, int rowsPerArray);

    bool add(std::int64_t row, std::vector<Value> values) override;
    void finish() override;
    bool sendsArrays() const override { return true; }

private:
    void send(const RowArrays::Batch& batch);

    RowDestination to_;
    SingleRowTransport single_;
    RowArrays arrays_;
};

} // namespace dravena
