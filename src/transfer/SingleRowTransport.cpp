#include "SingleRowTransport.h"

#include "ColumnLayout.h"
#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"

namespace dravena {

SingleRowTransport::SingleRowTransport(const RowDestination& destination)
    : to_(destination), insert_(destination.table, destination.columns) {}

bool SingleRowTransport::add(std::int64_t row, std::vector<Value> values) {
    send(row, values);
    return true;
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
