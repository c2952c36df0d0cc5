#include "RowArrays.h"

#include "schema/ColumnValues.h"
#include "schema/ValueText.h"

#include <algorithm>

namespace dravena {

namespace {

// The most the buffers of one array may take: the widest value of each column times the rows.
constexpr std::size_t ArrayBytes = 16 * 1024 * 1024;

// Bytes a value takes in its column's buffer (wide text: up to two per UTF-8 byte).
std::size_t widthOf(const ArrayValue& value, ParameterKind kind) {
    if (const auto* text = std::get_if<std::string>(&value))
        return kind == ParameterKind::WideText ? 2 * text->size() + 2 : text->size() + 1;
    if (const auto* bytes = std::get_if<paradox::Bytes>(&value))
        return bytes->size();
    return sizeof(std::int64_t);
}

// The most a bound value's buffer keeps for the next value bound in its place: larger buffers
// cost little to make anew beside the copying of their bytes, and would otherwise stay with the
// arrays however few of the later values need them.
constexpr std::size_t KeptBytes = 4096;

// The slot emptied as a buffer of the given kind, with the room it held before when it held one
// of a size worth keeping.
template <class Buffer> Buffer& roomIn(ArrayValue& slot) {
    auto* buffer = std::get_if<Buffer>(&slot);
    if (buffer == nullptr || buffer->capacity() > KeptBytes)
        return slot.emplace<Buffer>();
    buffer->clear();
    return *buffer;
}

// Binds a value as its value text (NULL when that is empty), without a string of its own.
void bindText(ArrayValue& slot, const Value& value) {
    std::string& text = roomIn<std::string>(slot);
    appendValueText(text, value);
    if (text.empty())
        slot = std::monostate{};
}

QString placeholders(const QString& table, const std::vector<ColumnPlan>& columns) {
    QString sql = QStringLiteral("INSERT INTO ") + quotedName(table) + QStringLiteral(" VALUES(");
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql += (i == 0 ? QString() : QStringLiteral(", ")) + placeholder(columns[i]);
    return sql + u')';
}

} // namespace

RowArrays::RowArrays(Connection& connection, const QString& table,
                     const std::vector<ColumnPlan>& columns, int rowsPerArray)
    : connection_(connection), plans_(columns),
      rowsPerArray_(static_cast<std::size_t>(std::max(rowsPerArray, 1))),
      widths_(columns.size(), 0) {
    pending_.rows.reserve(rowsPerArray_);
    pending_.bound.reserve(rowsPerArray_);
    for (const ColumnPlan& column : columns)
        columns_.push_back(parameterColumn(column));
    insert_ = connection.prepareArrayInsert(placeholders(table, columns), columns_);
}

// A value as it is bound: the same NULLs as the statement's literals (NULL and empty values),
// integers and bytes as they are, everything else as its value text.
void RowArrays::bind(const std::vector<Value>& values, ArrayRow& row) const {
    row.resize(values.size());
    for (std::size_t c = 0; c < values.size(); ++c) {
        const Value& value = values[c];
        ArrayValue& slot = row[c];
        if (c < plans_.size() && plans_[c].typed) {
            slot = typedBoundValue(plans_[c], value);
            continue;
        }
        const ParameterKind kind = c < columns_.size() ? columns_[c].kind : ParameterKind::WideText;
        const auto* number = std::get_if<std::int64_t>(&value);
        const auto* bytes = std::get_if<paradox::Bytes>(&value);
        if (kind == ParameterKind::Integer && number) {
            slot = *number;
        } else if (kind == ParameterKind::Bytes && bytes && !bytes->empty()) {
            roomIn<paradox::Bytes>(slot).assign(bytes->begin(), bytes->end());
        } else {
            bindText(slot, value);
        }
    }
}

bool RowArrays::fullWith(const std::vector<std::size_t>& rowWidths) const {
    const std::size_t rows = pending_.rows.size();
    if (rows == 0)
        return false;
    if (rows >= rowsPerArray_)
        return true;
    std::size_t rowBytes = 0;
    for (std::size_t c = 0; c < rowWidths.size(); ++c)
        rowBytes += std::max(widths_[c], rowWidths[c]);
    return (rows + 1) * rowBytes > ArrayBytes;
}

bool RowArrays::add(std::int64_t index, std::vector<Value> values, const Sender& send) {
    bind(values, next_);
    rowWidths_.clear();
    for (std::size_t c = 0; c < next_.size() && c < widths_.size(); ++c)
        rowWidths_.push_back(widthOf(next_[c], columns_[c].kind));
    const bool full = fullWith(rowWidths_);
    if (full)
        flush(send);
    for (std::size_t c = 0; c < rowWidths_.size(); ++c)
        widths_[c] = std::max(widths_[c], rowWidths_[c]);
    // The row bound takes its place in the array; the row that held that place before lends its
    // buffers to the next row.
    const std::size_t at = pending_.rows.size();
    if (at == pending_.bound.size())
        pending_.bound.emplace_back();
    std::swap(pending_.bound[at], next_);
    pending_.rows.push_back({index, std::move(values)});
    return full;
}

void RowArrays::flush(const Sender& send) {
    // The rows leave even when sending them fails: the failure ends the run, which reports them.
    struct Emptied {
        RowArrays& arrays;
        ~Emptied() {
            arrays.pending_.rows.clear();
            std::fill(arrays.widths_.begin(), arrays.widths_.end(), 0);
        }
    } emptied{*this};
    send(pending_);
}

// The array goes in a transaction of its own: committed only when the server reports every row
// done, rolled back otherwise, so that it either arrives whole or leaves nothing.
std::vector<ArrayRowStatus> RowArrays::send(std::span<const ArrayRow> bound) {
    connection_.beginTransaction();
    std::vector<ArrayRowStatus> statuses;
    try {
        statuses = insert_->send(bound);
    } catch (...) {
        rollbackQuietly();
        throw;
    }
    if (!everyRowDone(statuses, bound.size())) {
        connection_.rollback();
        return statuses;
    }
    connection_.commit();
    return statuses;
}

bool everyRowDone(std::span<const ArrayRowStatus> statuses, std::size_t rows) {
    return statuses.size() == rows &&
           std::all_of(statuses.begin(), statuses.end(),
                       [](ArrayRowStatus s) { return s == ArrayRowStatus::Done; });
}

void RowArrays::rollbackQuietly() {
    try {
        connection_.rollback();
    } catch (...) {
        // the failure that brought us here is the one to tell
    }
}

} // namespace dravena
