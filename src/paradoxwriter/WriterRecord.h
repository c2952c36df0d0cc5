#pragma once

#include "WriterCodePage.h"
#include "WriterSchema.h"
#include "paradox/Value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dravena::paradox::writer {

// A memo or BLOB value that does not fit its leader and goes to the .MB file.
struct PendingBlob {
    int tailOffset = 0; // in the record: where the 10-byte reference goes
    std::string bytes;  // what the .MB holds (a graphic with its 8-byte prefix)
};

// Turns a row of values into record bytes. A row is encoded completely or not at all: a value
// that its field cannot hold throws ParadoxError naming the field, and nothing changes.
class RecordEncoder {
public:
    RecordEncoder(const std::vector<FieldLayout>& layout, const CodePageEncoder& encoder);

    int recordSize() const { return recordSize_; }

    // Fills record (recordSize() bytes) and lists the values the caller must store in the .MB
    // before writing their reference into the tail.
    void encode(const std::vector<Value>& row, std::uint8_t* record,
                std::vector<PendingBlob>& blobs);

    // The highest Autoincrement value written so far (0 if none).
    std::int64_t highestAutoIncrement() const { return highestAutoIncrement_; }

private:
    void encodeField(const FieldLayout& field, const Value& value, std::uint8_t* at,
                     std::vector<PendingBlob>& blobs, std::int64_t& autoIncrement) const;
    void encodeBlob(const FieldLayout& field, std::string bytes, std::uint8_t* at,
                    std::vector<PendingBlob>& blobs) const;

    const std::vector<FieldLayout>& layout_;
    const CodePageEncoder& encoder_;
    int recordSize_ = 0;
    std::int64_t highestAutoIncrement_ = 0;
};

// Writes the 10-byte reference after a memo or BLOB leader.
void putBlobTail(std::uint8_t* at, std::uint32_t reference, std::uint32_t length,
                 std::uint16_t modification);

} // namespace dravena::paradox::writer
