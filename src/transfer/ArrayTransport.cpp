#include "ArrayTransport.h"

#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"
#include "base/RuntimeError.h"
#include "odbc/OdbcDiagnostics.h"

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
        else if (!to_.steps.ended() && !to_.frontEnd.stopRequested())
            single_.send(row.index, row.values); // a stop ends the rows here, as per row
        else
            break;
    }
}

void tellRow(const RowDestination& destination, std::int64_t row, bool arrived) {
    ++(arrived ? destination.load.rowsArrived : destination.load.rowsRefused);
    destination.frontEnd.rowSent(row, arrived);
}

// One statement per row unless the front end asks for arrays and the server can prepare them.
// A server that cannot prepare them still takes every row, one statement each: the table loses
// nothing, and a note says why arrays were not used. A lost connection ends the run as always.
std::unique_ptr<RowTransport> makeRowTransport(const RowDestination& destination) {
    const int rowsPerArray = destination.frontEnd.rowsPerArray();
    std::unique_ptr<RowTransport> transport;
    QString refusal;
    if (rowsPerArray > 1)
        destination.steps.step(transferline::PrepareArrays, [&] {
            try {
                transport = std::make_unique<ArrayTransport>(destination, rowsPerArray);
            } catch (const ConnectionLostError&) {
                throw;
            } catch (const RuntimeError& error) {
                refusal = error.description();
            }
        });
    if (!refusal.isEmpty())
        destination.frontEnd.tellNote(
            destination.table,
            QStringLiteral("rows went one statement each: the server could not prepare arrays "
                           "of rows: ") +
                refusal);
    if (!transport)
        transport = std::make_unique<SingleRowTransport>(destination);
    return transport;
}

} // namespace dravena
