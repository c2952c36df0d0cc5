#include "ArrayTransport.h"

#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"

namespace dravena {

ArrayTransport::ArrayTransport(const RowDestination& destination, int rowsPerArray)
    : to_(destination), single_(destination),
      arrays_(destination.connection, destination.table, destination.columns, rowsPerArray) {}

bool ArrayTransport::add(std::int64_t row, std::vector<Value> values) {
    const auto full = arrays_.add(row, std::move(values));
    if (full)
        send(*full);
    return full.has_value();
}

void ArrayTransport::finish() {
    if (!arrays_.empty())
        send(arrays_.take());
}

void ArrayTransport::send(const RowArrays::Batch& batch) {
    if (batch.rows.size() == 1) {
        single_.send(batch.rows.front().index, batch.rows.front().values);
        return;
    }
    to_.steps.setRow(batch.rows.front().index);
    bool arrived = false;
    to_.steps.step(transferline::Insert, [&] { arrived = arrays_.send(batch); });
    if (to_.steps.ended())
        return;
    for (const RowArrays::Row& row : batch.rows) {
        if (arrived)
            tellRow(to_, row.index, true);
        else if (!to_.steps.ended())
            single_.send(row.index, row.values);
    }
}

void tellRow(const RowDestination& destination, std::int64_t row, bool arrived) {
    ++(arrived ? destination.load.rowsArrived : destination.load.rowsRefused);
    destination.frontEnd.rowSent(row, arrived);
}

// One statement per row unless the front end asks for arrays and the server can prepare them.
std::unique_ptr<RowTransport> makeRowTransport(const RowDestination& destination) {
    const int rowsPerArray = destination.frontEnd.rowsPerArray();
    std::unique_ptr<RowTransport> transport;
    if (rowsPerArray > 1)
        destination.steps.step(transferline::PrepareArrays, [&] {
            transport = std::make_unique<ArrayTransport>(destination, rowsPerArray);
        });
    if (!transport)
        transport = std::make_unique<SingleRowTransport>(destination);
    return transport;
}

} // namespace dravena
