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

// Values of a row that went, lent to a row about to be read: a text or bytes of a size not worth
// keeping leaves its room, as a bound one does (see boundRoom).
void lend(std::vector<Value>& values) {
    for (Value& value : values) {
        const auto* text = std::get_if<std::string>(&value);
        const auto* bytes = std::get_if<paradox::Bytes>(&value);
        if ((text != nullptr && text->capacity() > KeptBoundBytes) ||
            (bytes != nullptr && bytes->capacity() > KeptBoundBytes))
            value = std::monostate{};
    }
}

// Binds a value as its value text (NULL when that is empty), without a string of its own.
void bindText(ArrayValue& slot, const Value& value) {
    std::string& text = boundRoom<std::string>(slot);
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
      widths_(columns.size(), 0), rowWidths_(columns.size(), 0) {
    pending_.rows.reserve(rowsPerArray_);
    pending_.bound.reserve(rowsPerArray_);
    spare_.reserve(rowsPerArray_);
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
            bindTypedValue(slot, plans_[c], value);
            continue;
        }
        const ParameterKind kind = c < columns_.size() ? columns_[c].kind : ParameterKind::WideText;
        const auto* number = std::get_if<std::int64_t>(&value);
        const auto* bytes = std::get_if<paradox::Bytes>(&value);
        if (kind == ParameterKind::Integer && number) {
            slot = *number;
        } else if (kind == ParameterKind::Bytes && bytes && !bytes->empty()) {
            boundRoom<paradox::Bytes>(slot).assign(bytes->begin(), bytes->end());
        } else {
            bindText(slot, value);
        }
    }
}

bool RowArrays::fullWith(std::size_t rowBytes) const {
    const std::size_t rows = pending_.rows.size();
    if (rows == 0)
        return false;
    return rows >= rowsPerArray_ || (rows + 1) * rowBytes > ArrayBytes;
}

bool RowArrays::add(std::int64_t index, std::vector<Value>& values, const Sender& send) {
    bind(values, next_);
    const std::size_t columns = std::min(next_.size(), widths_.size());
    std::size_t rowBytes = 0; // of every row of the array with this one, in bytes bound
    for (std::size_t c = 0; c < columns; ++c) {
        rowWidths_[c] = widthOf(next_[c], columns_[c].kind);
        rowBytes += std::max(widths_[c], rowWidths_[c]);
    }
    const bool full = fullWith(rowBytes);
    if (full)
        flush(send);
    for (std::size_t c = 0; c < columns; ++c)
        widths_[c] = std::max(widths_[c], rowWidths_[c]);
    // The row bound takes its place in the array; the row that held that place before lends its
    // buffers to the next row.
    const std::size_t at = pending_.rows.size();
    if (at == pending_.bound.size())
        pending_.bound.emplace_back();
    std::swap(pending_.bound[at], next_);
    pending_.rows.push_back({index, std::move(values)});
    values.clear();
    if (!spare_.empty()) {
        values.swap(spare_.back());
        spare_.pop_back();
        lend(values);
    }
    return full;
}

void RowArrays::flush(const Sender& send) {
    // The rows leave even when sending them fails: the failure ends the run, which reports them.
    struct Emptied {
        RowArrays& arrays;
        ~Emptied() {
            for (Row& row : arrays.pending_.rows)
                arrays.spare_.push_back(std::move(row.values));
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
