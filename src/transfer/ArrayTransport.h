#pragma once

#include "RowArrays.h"
#include "RowTransport.h"
#include "SingleRowTransport.h"

namespace dravena {

// Rows gathered into arrays of parameters and sent with one round trip per array, each array in
// a transaction of its own. An array the server did not take whole leaves nothing; its refused
// rows are then found with a few more arrays (see sendRows) and go as statements of their own,
// so that each refusal is told with its own row and message, in the rows' order, and every other
// row arrives once. A single row goes as a statement of its own.
class ArrayTransport final : public RowTransport {
public:
    // Prepares the statement; fails as the connection does.
    ArrayTransport(const RowDestination& destination, int rowsPerArray);

    bool add(std::int64_t row, std::vector<Value>& values) override;
    void finish() override;
    bool sendsArrays() const override { return true; }

private:
    void send(const RowArrays::Batch& batch);
    // Sends the batch's rows [first, last) as one array and finds the refused ones among them;
    // true when every one arrived. With refusedAmong (the rows are known to hold a refused one)
    // they are searched without going as one array first.
    bool sendRows(const RowArrays::Batch& batch, std::size_t first, std::size_t last,
                  bool refusedAmong = false);
    void sendHalves(const RowArrays::Batch& batch, std::size_t first, std::size_t last);

    RowDestination to_;
    SingleRowTransport single_;
    RowArrays arrays_;
    RowArrays::Sender sender_; // send, made once
};

} // namespace dravena
