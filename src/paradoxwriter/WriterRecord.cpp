#include "WriterRecord.h"

#include "WriterValues.h"

#include <algorithm>
#include <cstring>

namespace dravena::paradox::writer {

namespace {

const char* valueKind(const Value& value) {
    constexpr const char* kinds[] = {
        "NULL",   "text",   "an integer",   "a floating number", "a logical value",
        "a date", "a time", "a time stamp", "a decimal",         "bytes"};
    return kinds[value.index()];
}

template <class T> const T& expect(const FieldLayout& field, const Value& value) {
    if (const T* held = std::get_if<T>(&value))
        return *held;
    throw ParadoxError(std::string(valueKind(value)) + " cannot be stored in a " +
                       fieldTypeName(field.field.type) + " field");
}

double numberOf(const FieldLayout& field, const Value& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value))
        return static_cast<double>(*integer);
    return expect<double>(field, value);
}

std::string bytesOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Graphic values carry a marker and the image length before the image.
std::string graphicBytes(const Bytes& image) {
    std::string out(8, '\0');
    out[0] = 1;
    out[3] = 1;
    putLittle32(reinterpret_cast<std::uint8_t*>(out.data()) + 4,
                static_cast<std::uint32_t>(image.size()));
    out.append(image.begin(), image.end());
    return out;
}

} // namespace

void putBlobTail(std::uint8_t* at, std::uint32_t reference, std::uint32_t length,
                 std::uint16_t modification) {
    putLittle32(at, reference);
    putLittle32(at + 4, length);
    putLittle16(at + 8, modification);
}

RecordEncoder::RecordEncoder(const std::vector<FieldLayout>& layout, const CodePageEncoder& encoder)
    : layout_(layout), encoder_(encoder) {
    for (const auto& field : layout_)
        recordSize_ += field.bytes;
}

void RecordEncoder::encode(const std::vector<Value>& row, std::uint8_t* record,
                           std::vector<PendingBlob>& blobs) {
    if (row.size() != layout_.size())
        throw ParadoxError("a row of " + std::to_string(row.size()) + " values for a table of " +
                           std::to_string(layout_.size()) + " fields");
    std::memset(record, 0, static_cast<std::size_t>(recordSize_));
    const std::size_t blobsBefore = blobs.size();
    std::int64_t autoIncrement = highestAutoIncrement_;
    for (std::size_t i = 0; i < layout_.size(); ++i) {
        const FieldLayout& field = layout_[i];
        try {
            encodeField(field, row[i], record + field.offset, blobs, autoIncrement);
        } catch (const ParadoxError& e) {
            blobs.resize(blobsBefore);
            throw ParadoxError("field \"" + field.field.name + "\": " + e.what());
        }
    }
    highestAutoIncrement_ = autoIncrement;
}

void RecordEncoder::encodeField(const FieldLayout& field, const Value& value, std::uint8_t* at,
                                std::vector<PendingBlob>& blobs,
                                std::int64_t& autoIncrement) const {
    const FieldType type = field.field.type;
    if (isNull(value) && type != FieldType::AutoIncrement)
        return; // blank: all zero bytes
    switch (type) {
    case FieldType::Alpha: {
        const std::string& text = expect<std::string>(field, value);
        if (text.find('\0') != std::string::npos)
            throw ParadoxError("Alpha text cannot contain a NUL character");
        const std::string coded = encoder_.encode(text);
        if (coded.size() > static_cast<std::size_t>(field.bytes))
            throw ParadoxError("text of " + std::to_string(coded.size()) +
                               " bytes is too long for an Alpha field of " +
                               std::to_string(field.bytes));
        std::memcpy(at, coded.data(), coded.size());
        return;
    }
    case FieldType::Short:
        putSortableInteger(at, expect<std::int64_t>(field, value), 2);
        return;
    case FieldType::Long:
        putSortableInteger(at, expect<std::int64_t>(field, value), 4);
        return;
    case FieldType::AutoIncrement: {
        const std::int64_t number =
            isNull(value) ? autoIncrement + 1 : expect<std::int64_t>(field, value);
        if (number < 1)
            throw ParadoxError("Autoincrement values start at 1, not " + std::to_string(number));
        putSortableInteger(at, number, 4);
        autoIncrement = std::max(autoIncrement, number);
        return;
    }
    case FieldType::Number:
    case FieldType::Money:
        putSortableDouble(at, numberOf(field, value));
        return;
    case FieldType::Date:
        putSortableInteger(at, dayNumber(expect<Date>(field, value)), 4);
        return;
    case FieldType::Time:
        putSortableInteger(at, millisecondOfDay(expect<Time>(field, value)), 4);
        return;
    case FieldType::Timestamp: {
        const auto& stamp = expect<Timestamp>(field, value);
        putSortableDouble(at, static_cast<double>(dayNumber(stamp.date)) * 86400000.0 +
                                  millisecondOfDay(stamp.time));
        return;
    }
    case FieldType::Logical:
        at[0] = expect<bool>(field, value) ? 0x81 : 0x80;
        return;
    case FieldType::Bcd:
        if (const auto* integer = std::get_if<std::int64_t>(&value))
            putBcd(at, Decimal{std::to_string(*integer)}, field.field.size);
        else
            putBcd(at, expect<Decimal>(field, value), field.field.size);
        return;
    case FieldType::Bytes: {
        const Bytes& bytes = expect<Bytes>(field, value);
        if (bytes.size() > static_cast<std::size_t>(field.bytes))
            throw ParadoxError(std::to_string(bytes.size()) +
                               " bytes are too many for a Bytes field of " +
                               std::to_string(field.bytes));
        std::copy(bytes.begin(), bytes.end(), at);
        return;
    }
    case FieldType::Memo:
        encodeBlob(field, encoder_.encode(expect<std::string>(field, value)), at, blobs);
        return;
    case FieldType::Graphic: {
        const Bytes& image = expect<Bytes>(field, value);
        if (!image.empty())
            encodeBlob(field, graphicBytes(image), at, blobs);
        return;
    }
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
        encodeBlob(field, bytesOf(expect<Bytes>(field, value)), at, blobs);
        return;
    }
}

void RecordEncoder::encodeBlob(const FieldLayout& field, std::string bytes, std::uint8_t* at,
                               std::vector<PendingBlob>& blobs) const {
    if (bytes.empty())
        return;
    if (bytes.size() > 0x7FFFFFFF)
        throw ParadoxError("a value of more than 2 GiB cannot be stored");
    const bool graphic = field.field.type == FieldType::Graphic;
    // The leader repeats the start of the value; for a graphic, the start of the image.
    const std::size_t skip = graphic ? 8 : 0;
    const std::size_t leader =
        std::min(static_cast<std::size_t>(field.leader), bytes.size() - skip);
    std::memcpy(at, bytes.data() + skip, leader);
    const int tail = field.offset + field.leader;
    if (!graphic && bytes.size() <= static_cast<std::size_t>(field.leader)) {
        putBlobTail(at + field.leader, 0, static_cast<std::uint32_t>(bytes.size()), 0);
        return;
    }
    blobs.push_back(PendingBlob{tail, std::move(bytes)});
}

} // namespace dravena::paradox::writer
