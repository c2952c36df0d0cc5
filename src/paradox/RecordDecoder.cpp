#include "RecordDecoder.h"

#include "ByteOrder.h"
#include "MemoFile.h"
#include "TableHeader.h"
#include "TextDecoder.h"
#include "ValueDecoding.h"
#include "Warnings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace dravena::paradox {

namespace {

constexpr std::size_t blobTail = 10;
constexpr std::size_t graphicPrefix = 8;

std::string& textSlot(Value& value) {
    if (auto* s = std::get_if<std::string>(&value)) {
        return *s;
    }
    return value.emplace<std::string>();
}

Decimal& decimalSlot(Value& value) {
    if (auto* d = std::get_if<Decimal>(&value)) {
        return *d;
    }
    return value.emplace<Decimal>();
}

Bytes& bytesSlot(Value& value) {
    if (auto* b = std::get_if<Bytes>(&value)) {
        return *b;
    }
    return value.emplace<Bytes>();
}

bool allZero(const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] != 0) {
            return false;
        }
    }
    return true;
}

bool isKnown(std::uint8_t type) {
    switch (static_cast<FieldType>(type)) {
    case FieldType::Alpha:
    case FieldType::Date:
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::Money:
    case FieldType::Number:
    case FieldType::Logical:
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Time:
    case FieldType::Timestamp:
    case FieldType::AutoIncrement:
    case FieldType::Bcd:
    case FieldType::Bytes:
        return true;
    }
    return false;
}

} // namespace

RecordDecoder::RecordDecoder(const std::vector<RawField>& fields, TextDecoder& text, MemoFile* memo,
                             std::string tableName, Warnings& warnings)
    : text_(text), memo_(memo), tableName_(std::move(tableName)), warnings_(warnings) {
    std::uint32_t offset = 0;
    for (const RawField& f : fields) {
        std::string name;
        text_.decode(reinterpret_cast<const std::uint8_t*>(f.name.data()), f.name.size(), name);
        slots_.push_back(Slot{static_cast<FieldType>(f.type), isKnown(f.type), offset,
                              static_cast<std::uint32_t>(f.width), f.sizeByte, std::move(name)});
        offset += static_cast<std::uint32_t>(f.width);
    }
}

void RecordDecoder::warnOnce(const std::string& topic, const std::string& text, bool valueLost) {
    warnings_.once(topic, tableName_ + ": " + text, valueLost);
}

void RecordDecoder::warnDateRange(const Slot& slot, std::uint64_t rowNumber, const Date& date) {
    char written[32];
    std::snprintf(written, sizeof written, "%s%04d-%02d-%02d", date.year < 0 ? "-" : "",
                  date.year < 0 ? -date.year : date.year, date.month, date.day);
    warnOnce("date range " + slot.name,
             "field \"" + slot.name +
                 "\" holds dates outside the years 1 to 9999; they are read and written with "
                 "their year as it stands (first in row " +
                 std::to_string(rowNumber) + ": " + written + ")");
}

void RecordDecoder::decode(const std::uint8_t* record, std::vector<Value>& row,
                           std::uint64_t rowNumber) {
    row.resize(slots_.size());
    for (std::size_t i = 0; i < slots_.size(); ++i)
        decodeOne(record, i, row[i], rowNumber);
}

void RecordDecoder::decodeOne(const std::uint8_t* record, std::size_t field, Value& value,
                              std::uint64_t rowNumber) {
    const Slot& slot = slots_[field];
    const std::uint64_t replaced = text_.replacedBytes();
    decodeField(slot, record + slot.offset, value, rowNumber);
    // A byte without a character in the code page read is a value not carried exactly.
    if (text_.replacedBytes() != replaced) [[unlikely]]
        warnNoCharacter(slot, rowNumber);
}

void RecordDecoder::warnNoCharacter(const Slot& slot, std::uint64_t rowNumber) {
    warnOnce("no character " + slot.name,
             "row " + std::to_string(rowNumber) + ", field \"" + slot.name +
                 "\": a byte has no character in " + text_.encoding() +
                 " (the value is not read exactly; the first such value of the field)",
             true);
}

std::int64_t RecordDecoder::storedLength(const std::uint8_t* record, std::size_t field) const {
    const Slot& slot = slots_[field];
    switch (slot.type) {
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        if (slot.known && slot.width >= blobTail)
            return bytes::le32(record + slot.offset + (slot.width - blobTail) + 4);
        return -1;
    default:
        return -1;
    }
}

void RecordDecoder::decodeText(const std::uint8_t* p, std::size_t size, Value& value) {
    text_.decode(p, size, textSlot(value));
}

void RecordDecoder::decodeField(const Slot& slot, const std::uint8_t* p, Value& value,
                                std::uint64_t rowNumber) {
    if (!slot.known) {
        if (allZero(p, slot.width)) {
            value = std::monostate{};
        } else {
            bytesSlot(value).assign(p, p + slot.width);
        }
        return;
    }
    switch (slot.type) {
    case FieldType::Alpha: {
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(p, 0, slot.width));
        const std::size_t size = end != nullptr ? static_cast<std::size_t>(end - p) : slot.width;
        if (size == 0) {
            value = std::monostate{};
        } else {
            decodeText(p, size, value);
        }
        return;
    }
    case FieldType::Short:
        if (auto v = decoding::shortValue(p)) {
            value = *v;
        } else {
            value = std::monostate{};
        }
        return;
    case FieldType::Long:
    case FieldType::AutoIncrement:
        if (auto v = decoding::longValue(p)) {
            value = *v;
        } else {
            value = std::monostate{};
        }
        return;
    case FieldType::Money:
    case FieldType::Number:
        if (auto v = decoding::doubleValue(p)) {
            value = *v;
        } else {
            value = std::monostate{};
        }
        return;
    case FieldType::Date: {
        const auto day = decoding::longValue(p);
        if (!day) {
            value = std::monostate{};
            return;
        }
        if (!decoding::dayNumberInRange(*day)) {
            warnDateRange(slot, rowNumber, decoding::dateFromDayNumber(*day));
        }
        value = decoding::dateFromDayNumber(*day);
        return;
    }
    case FieldType::Time: {
        const auto ms = decoding::longValue(p);
        const auto time = ms ? decoding::timeFromMilliseconds(*ms) : std::nullopt;
        if (ms && !time) {
            warnOnce("time " + slot.name,
                     "field \"" + slot.name + "\" holds a time outside the day in row " +
                         std::to_string(rowNumber) + "; read as NULL",
                     true);
        }
        value = time ? Value(*time) : Value();
        return;
    }
    case FieldType::Timestamp: {
        const auto ms = decoding::doubleValue(p);
        const auto stamp = ms ? decoding::timestampFromMilliseconds(*ms) : std::nullopt;
        if (ms && !stamp) {
            warnOnce("timestamp " + slot.name,
                     "field \"" + slot.name + "\" holds an impossible time stamp in row " +
                         std::to_string(rowNumber) + "; read as NULL",
                     true);
        } else if (stamp && (stamp->date.year < 1 || stamp->date.year > 9999)) {
            warnDateRange(slot, rowNumber, stamp->date);
        }
        value = stamp ? Value(*stamp) : Value();
        return;
    }
    case FieldType::Logical:
        if (p[0] == 0) {
            value = std::monostate{};
            return;
        }
        if (p[0] != 0x80 && p[0] != 0x81) {
            warnOnce("logical " + slot.name, "field \"" + slot.name + "\" holds the byte " +
                                                 std::to_string(p[0]) + " in row " +
                                                 std::to_string(rowNumber) + "; read as true");
        }
        value = (p[0] & 0x7F) != 0;
        return;
    case FieldType::Bcd:
        decodeBcd(slot, p, value);
        return;
    case FieldType::Bytes:
        if (allZero(p, slot.width)) {
            value = std::monostate{};
        } else {
            bytesSlot(value).assign(p, p + slot.width);
        }
        return;
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        decodeBlob(slot, p, value, rowNumber);
        return;
    }
}

void RecordDecoder::decodeBcd(const Slot& slot, const std::uint8_t* p, Value& value) {
    // The digits are written into the text of the decimal the value held before.
    switch (decoding::bcdText(p, slot.scale, decimalSlot(value).text)) {
    case decoding::BcdResult::Blank:
        value = std::monostate{};
        return;
    case decoding::BcdResult::ValueWithJunk:
        warnOnce("bcd digits", "field \"" + slot.name +
                                   "\" holds digits beyond the precision that was kept; "
                                   "they are read as zeros");
        break;
    case decoding::BcdResult::Value:
        break;
    }
}

void RecordDecoder::decodeBlob(const Slot& slot, const std::uint8_t* p, Value& value,
                               std::uint64_t rowNumber) {
    const std::size_t leader = slot.width - blobTail;
    const std::uint8_t* tail = p + leader;
    const std::uint32_t blobRef = bytes::le32(tail);
    const std::uint32_t length = bytes::le32(tail + 4);
    if (length == 0) {
        value = std::monostate{};
        return;
    }
    const bool isText = slot.type == FieldType::Memo;
    if (length <= leader) {
        if (isText) {
            decodeText(p, length, value);
        } else {
            bytesSlot(value).assign(p, p + length);
        }
        return;
    }
    // Only a value that cannot be read as it should is told with where it is.
    const auto where = [&] {
        return "field \"" + slot.name + "\" of row " + std::to_string(rowNumber);
    };
    if (memo_ == nullptr) {
        warnOnce("no memo file",
                 "the memo/BLOB file is missing; values longer than their part "
                 "in the record are read as NULL (first: " +
                     where() + ")",
                 true);
        value = std::monostate{};
        return;
    }
    if (!memo_->read(blobRef, length, blob_, fault_)) {
        warnings_.add(memo_->name() + ": " + where() + " is read as NULL: " + fault_, true);
        value = std::monostate{};
        return;
    }
    if (isText) {
        decodeText(blob_.data(), blob_.size(), value);
        return;
    }
    // A graphic starts with 8 bytes (a mark and the image length) before the image itself.
    std::size_t skip = 0;
    if (slot.type == FieldType::Graphic) {
        if (blob_.size() >= graphicPrefix &&
            bytes::le32(blob_.data() + 4) == blob_.size() - graphicPrefix) {
            skip = graphicPrefix;
        } else {
            warnOnce("graphic " + slot.name,
                     "field \"" + slot.name + "\" holds a graphic without its 8-byte prefix in " +
                         where() + "; delivered whole");
        }
    }
    if (skip == 0) {
        std::swap(bytesSlot(value), blob_);
    } else {
        bytesSlot(value).assign(blob_.begin() + static_cast<std::ptrdiff_t>(skip), blob_.end());
    }
}

} // namespace dravena::paradox
