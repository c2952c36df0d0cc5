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

// An empty batch with room for a whole array, so that its vectors do not grow row by row.
RowArrays::Batch emptyBatch(std::size_t rows) {
    RowArrays::Batch batch;
    batch.rows.reserve(rows);
    batch.bound.reserve(rows);
    return batch;
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
      pending_(emptyBatch(rowsPerArray_)), widths_(columns.size(), 0) {
    for (const ColumnPlan& column : columns)
        columns_.push_back(parameterColumn(column));
    insert_ = connection.prepareArrayInsert(placeholders(table, columns), columns_);
}

// A value as it is bound: the same NULLs as the statement's literals (NULL and empty values),
// integers and bytes as they are, everything else as its value text.
ArrayRow RowArrays::bound(const std::vector<Value>& values) const {
    ArrayRow row;
    row.reserve(values.size());
    for (std::size_t c = 0; c < values.size(); ++c) {
        const Value& value = values[c];
        if (c < plans_.size() && plans_[c].typed) {
            row.push_back(typedBoundValue(plans_[c], value));
            continue;
        }
        const ParameterKind kind = c < columns_.size() ? columns_[c].kind : ParameterKind::WideText;
        const auto* number = std::get_if<std::int64_t>(&value);
        const auto* bytes = std::get_if<paradox::Bytes>(&value);
        if (kind == ParameterKind::Integer && number)
            row.emplace_back(*number);
        else if (kind == ParameterKind::Bytes && bytes && !bytes->empty())
            row.emplace_back(*bytes);
        else if (std::string text = valueTextUtf8(value); text.empty())
            row.emplace_back(std::monostate{});
        else
            row.emplace_back(std::move(text));
    }
    return row;
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

std::optional<RowArrays::Batch> RowArrays::add(std::int64_t index, std::vector<Value> values) {
    ArrayRow row = bound(values);
    rowWidths_.clear();
    for (std::size_t c = 0; c < row.size() && c < widths_.size(); ++c)
        rowWidths_.push_back(widthOf(row[c], columns_[c].kind));
    std::optional<Batch> full;
    if (fullWith(rowWidths_))
        full = take();
    for (std::size_t c = 0; c < rowWidths_.size(); ++c)
        widths_[c] = std::max(widths_[c], rowWidths_[c]);
    pending_.rows.push_back({index, std::move(values)});
    pending_.bound.push_back(std::move(row));
    return full;
}

RowArrays::Batch RowArrays::take() {
    Batch batch = emptyBatch(rowsPerArray_);
    std::swap(batch, pending_);
    std::fill(widths_.begin(), widths_.end(), 0);
    return batch;
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
