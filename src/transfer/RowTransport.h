#pragma once

#include "TableLoad.h"
#include "dataaccess/DataAccess.h"
#include "schema/Statements.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace dravena {

class TransferFrontEnd;
class TransferSteps;

// Where the rows of one table go once they are read: to the server's table, one INSERT
// statement per row or many rows per round trip. Every row handed over is told to the front end
// (rowSent, through tellRow) once its fate is known; failures are told through the run's steps.
class RowTransport {
public:
    virtual ~RowTransport() = default;
    // Hands over one row as read, a value per column (0-based row number in the table's order).
    // The row may go at once or wait for more; true when rows went to the server (the rows
    // handed over before this one, with arrays: this one then waits for the next array). The
    // values are taken; `values` is left holding values of an earlier row, or none, whose room
    // the next row's values may be read into.
    virtual bool add(std::int64_t row, std::vector<Value>& values) = 0;
    // Sends the rows still waiting; called once, after the last row.
    virtual void finish() = 0;
    // Whether rows go many per round trip: the run then yields and moves its progress once per
    // array instead of per row and per value.
    virtual bool sendsArrays() const = 0;
};

// The table the rows go to, the run they belong to, and the load that counts their fates.
struct RowDestination {
    TransferSteps& steps;
    TransferFrontEnd& frontEnd;
    Connection& connection;
    QString table;
    std::vector<ColumnPlan> columns;
    TableLoad& load;
};

// Tells the front end whether a row arrived and counts it as arrived or refused.
void tellRow(const RowDestination& destination, std::int64_t row, bool arrived);

// The transport the front end asks for: arrays of its rowsPerArray() rows when that is more than
// one and the server can prepare them, else one statement per row.
std::unique_ptr<RowTransport> makeRowTransport(const RowDestination& destination);

} // namespace dravena
