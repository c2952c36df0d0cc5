#include "SingleRowTransport.h"

#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"
#include "schema/ColumnLayout.h"

#include <exception>

namespace dravena {

namespace {

// Rows read before they are sent; measured against one row at a time with client and server on
// one processor, the benchmark's pinned way. Large values end a block early: their statements
// (hexadecimal BLOB literals in UTF-16 take four bytes a byte) stay well below 64 MB.
constexpr std::size_t ReadAheadRows = 1000;
constexpr std::size_t ReadAheadBytes = 8 * 1024 * 1024;

std::size_t bytesOf(const std::vector<Value>& values) {
    std::size_t bytes = 0;
    for (const Value& value : values) {
        bytes += sizeof(Value);
        if (const auto* text = std::get_if<std::string>(&value))
            bytes += text->size();
        else if (const auto* data = std::get_if<paradox::Bytes>(&value))
            bytes += data->size();
        else if (const auto* decimal = std::get_if<paradox::Decimal>(&value))
            bytes += decimal->text.size();
    }
    return bytes;
}

} // namespace

SingleRowTransport::SingleRowTransport(const RowDestination& destination)
    : to_(destination), insert_(destination.table, destination.columns) {}

bool SingleRowTransport::add(std::int64_t row, std::vector<Value>& values) {
    aheadBytes_ += bytesOf(values);
    ahead_.push_back({row, std::move(values), std::nullopt});
    if (ahead_.size() < ReadAheadRows && aheadBytes_ < ReadAheadBytes)
        return false;
    finish();
    return true;
}

// A stop asked for while a block goes ends it after the current row, as without reading ahead.
void SingleRowTransport::finish() {
    buildStatements();
    for (AheadRow& ahead : ahead_) {
        if (to_.steps.ended() || to_.frontEnd.stopRequested())
            break;
        send(ahead.row, ahead.statement, ahead.values);
    }
    ahead_.clear();
    aheadBytes_ = 0;
}

// A statement that cannot be built here is built again when its row's turn comes, where its
// failure is told in the row's order.
void SingleRowTransport::buildStatements() {
    for (AheadRow& ahead : ahead_) {
        try {
            ahead.statement = insert_.statement(ahead.values);
            std::vector<Value>().swap(ahead.values);
        } catch (const std::exception&) {
            // left unbuilt
        }
    }
}

bool SingleRowTransport::send(std::int64_t row, const std::vector<Value>& values) {
    std::optional<InsertStatement> statement;
    return send(row, statement, values);
}

bool SingleRowTransport::send(std::int64_t row, std::optional<InsertStatement>& statement,
                              const std::vector<Value>& values) {
    to_.steps.setRow(row);
    if (!to_.steps.step(transferline::BuildInsert, [&] {
            if (!statement)
                statement = insert_.statement(values);
        })) {
        tellRow(to_, row, false);
        return false;
    }
    const bool inserted = to_.steps.step(transferline::Insert, [&] {
        if (statement->parameters.empty())
            to_.connection.execute(statement->text);
        else
            to_.connection.execute(statement->text, statement->parameters);
    });
    // A row in flight when the connection went is not known to have arrived: it is not counted.
    if (!to_.steps.ended())
        tellRow(to_, row, inserted);
    return inserted;
}

} // namespace dravena
