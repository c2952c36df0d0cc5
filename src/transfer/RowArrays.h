#pragma once

#include "dataaccess/DataAccess.h"
#include "schema/Statements.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace dravena {

// The rows of one table gathered into arrays of parameters, to be sent with one round trip per
// array: a prepared INSERT INTO "T" VALUES(?, ...) whose values are bound in the form that keeps
// each exact (integers, a number's text, exact decimal digits, wide text, bytes, NULL; a typed
// column's value as the text its placeholder converts). Each row
// keeps its field values too, so that a refused row can go again as a statement of its own.
class RowArrays {
public:
    struct Row {
        std::int64_t index;        // 0-based, in the order the table delivers its rows
        std::vector<Value> values; // as read
    };
    // Rows on their way as one array: as read, and as bound. The first rows.size() rows of
    // bound are the batch's; rows beyond them are kept for their buffers, to be bound again.
    struct Batch {
        std::vector<Row> rows;
        std::vector<ArrayRow> bound;
    };
    using Sender = std::function<void(const Batch&)>;

    // Prepares the statement on the connection; fails as the connection does.
    RowArrays(Connection& connection, const QString& table, const std::vector<ColumnPlan>& columns,
              int rowsPerArray);

    // Adds a row, taking its values. When the array would then hold more than rowsPerArray rows
    // or grow past a memory limit, the rows gathered before it go first, to `send`, and leave the
    // arrays; true then. The arrays keep their buffers from array to array: a value is bound
    // into the room of a value bound before it, and `values` is left holding the values of a row
    // that went before (or none), for the next row to be read into.
    bool add(std::int64_t index, std::vector<Value>& values, const Sender& send);
    bool empty() const { return pending_.rows.empty(); }

    // The rows gathered so far go to `send` and leave the arrays.
    void flush(const Sender& send);
    // Sends rows (as bound) as one array in a transaction of its own, committed when the driver
    // tells every row done and rolled back otherwise, so that it arrives whole or leaves nothing;
    // returns what the driver told of each row.
    std::vector<ArrayRowStatus> send(std::span<const ArrayRow> bound);

private:
    void bind(const std::vector<Value>& values, ArrayRow& row) const;
    void rollbackQuietly();
    // Whether the array is full before a row joins it that makes each of its rows take rowBytes.
    bool fullWith(std::size_t rowBytes) const;

    Connection& connection_;
    std::vector<ColumnPlan> plans_;
    std::vector<ParameterColumn> columns_;
    std::size_t rowsPerArray_;
    std::unique_ptr<ArrayInsert> insert_;
    Batch pending_;
    std::vector<std::size_t> widths_;    // the widest value of each column so far, in bytes bound
    std::vector<std::size_t> rowWidths_; // of the row being added, in bytes bound
    ArrayRow next_;                      // the row being added, as bound
    std::vector<std::vector<Value>> spare_; // values of rows that went, lent to the rows read next
};

// Whether the statuses tell every one of the rows done.
bool everyRowDone(std::span<const ArrayRowStatus> statuses, std::size_t rows);

} // namespace dravena
