#include "SingleRowTransport.h"

#include "ColumnLayout.h"
#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"

namespace dravena {

namespace {

// Rows read before they are sent; measured against one row at a time with client and server on
// one processor, the benchmark's pinned way.
constexpr std::size_t ReadAheadRows = 1000;

} // namespace

SingleRowTransport::SingleRowTransport(const RowDestination& destination)
    : to_(destination), insert_(destination.table, destination.columns) {}

bool SingleRowTransport::add(std::int64_t row, std::vector<Value> values) {
    ahead_.emplace_back(row, std::move(values));
    if (ahead_.size() < ReadAheadRows)
        return false;
    finish();
    return true;
}

// A stop asked for while a block goes ends it after the current row, as without reading ahead.
void SingleRowTransport::finish() {
    for (const auto& [row, values] : ahead_) {
        if (to_.steps.ended() || to_.frontEnd.stopRequested())
            break;
        send(row, values);
    }
    ahead_.clear();
}

bool SingleRowTransport::send(std::int64_t row, const std::vector<Value>& values) {
    InsertStatement statement;
    to_.steps.setRow(row);
    if (!to_.steps.step(transferline::BuildInsert,
                        [&] { statement = insert_.statement(values); })) {
        to_.frontEnd.rowSent(row, false);
        return false;
    }
    const bool inserted = to_.steps.step(transferline::Insert, [&] {
        if (statement.parameters.empty())
            to_.connection.execute(statement.text);
        else
            to_.connection.execute(statement.text, statement.parameters);
    });
    // A row in flight when the connection went is not known to have arrived: it is not counted.
    if (!to_.steps.ended())
        to_.frontEnd.rowSent(row, inserted);
    return inserted;
}

} // namespace dravena
