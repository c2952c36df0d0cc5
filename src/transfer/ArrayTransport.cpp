#include "ArrayTransport.h"

#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"
#include "base/RuntimeError.h"
#include "odbc/OdbcDiagnostics.h"

#include <algorithm>

namespace dravena {

ArrayTransport::ArrayTransport(const RowDestination& destination, int rowsPerArray)
    : to_(destination), single_(destination),
      arrays_(destination.connection, destination.table, destination.columns, rowsPerArray),
      sender_([this](const RowArrays::Batch& batch) { send(batch); }) {}

bool ArrayTransport::add(std::int64_t row, std::vector<Value>& values) {
    return arrays_.add(row, values, sender_);
}

void ArrayTransport::finish() {
    if (!arrays_.empty())
        arrays_.flush(sender_);
}

void ArrayTransport::send(const RowArrays::Batch& batch) {
    sendRows(batch, 0, batch.rows.size());
}

// An array that did not arrive whole is searched for its refused rows. Where the driver tells
// some rows done, its statuses are taken run by run: rows told done go again as an array, rows
// it did not run go again as an array too (nothing is known against them), and a run of rows
// told refused holds the refusal: a single row goes alone, a longer run (a driver that runs an
// array in parts marks the whole part refused) is searched in halves at once. A driver that
// tells every row refused (PostgreSQL's, within one part) tells nothing: the rows then go again
// in halves (see sendHalves), down to single rows only around the refused ones. A few arrays
// per refused row, then, instead of a statement for every row of the array. An array that
// failed outright (its failure is told) goes again row by row, as each row would be told alone
// anyway.
bool ArrayTransport::sendRows(const RowArrays::Batch& batch, std::size_t first, std::size_t last,
                              bool refusedAmong) {
    // A stop ends the rows here: the search for refused rows sends no more of them.
    if (to_.steps.ended() || to_.frontEnd.stopRequested())
        return false;
    const std::size_t rows = last - first;
    if (rows == 1)
        return single_.send(batch.rows[first].index, batch.rows[first].values);
    if (refusedAmong) {
        sendHalves(batch, first, last);
        return false;
    }
    to_.steps.setRow(batch.rows[first].index);
    std::vector<ArrayRowStatus> statuses;
    const bool ran = to_.steps.step(transferline::Insert, [&] {
        statuses = arrays_.send(std::span(batch.bound).subspan(first, rows));
    });
    if (to_.steps.ended())
        return false;
    if (everyRowDone(statuses, rows)) {
        for (std::size_t r = first; r < last; ++r)
            tellRow(to_, batch.rows[r].index, true);
        return true;
    }
    const auto status = [&](std::size_t r) { return statuses[r - first]; };
    const bool told = ran && statuses.size() == rows &&
                      std::any_of(statuses.begin(), statuses.end(),
                                  [](ArrayRowStatus s) { return s == ArrayRowStatus::Done; });
    if (!ran) {
        for (std::size_t r = first; r < last; ++r)
            sendRows(batch, r, r + 1);
    } else if (!told) {
        sendHalves(batch, first, last);
    } else {
        for (std::size_t r = first; r < last;) {
            std::size_t end = r + 1;
            while (end < last && status(end) == status(r))
                ++end;
            sendRows(batch, r, end, status(r) == ArrayRowStatus::Refused);
            r = end;
        }
    }
    return false;
}

// Rows that did not arrive as one array: the first half goes as an array of its own (and is
// searched in turn); when it arrives whole, the refusal is in the second half, which is then
// halved without going whole once more.
void ArrayTransport::sendHalves(const RowArrays::Batch& batch, std::size_t first,
                                std::size_t last) {
    const std::size_t middle = first + (last - first) / 2;
    const bool firstHalfArrived = sendRows(batch, first, middle);
    sendRows(batch, middle, last, firstHalfArrived);
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
