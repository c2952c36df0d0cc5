#pragma once

#include "Field.h"
#include "Value.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dravena::paradox {

class MemoFile;
class TextDecoder;
class Warnings;
struct RawField;

// Turns the bytes of one record into values, field by field, reusing the row's storage. Memo
// and BLOB values longer than their in-record part come from the .MB file; when there is none,
// or the reference in the record is bad, the value is NULL and a warning says why.
class RecordDecoder {
public:
    RecordDecoder(const std::vector<RawField>& fields, TextDecoder& text, MemoFile* memo,
                  std::string tableName, Warnings& warnings);

    void decode(const std::uint8_t* record, std::vector<Value>& row, std::uint64_t rowNumber);
    // One field's value of the record.
    void decodeOne(const std::uint8_t* record, std::size_t field, Value& value,
                   std::uint64_t rowNumber);
    // The length in bytes of a memo/BLOB field's value as its record tells it (0 for a blank),
    // without reading the value; -1 for fields of other types.
    std::int64_t storedLength(const std::uint8_t* record, std::size_t field) const;

private:
    struct Slot {
        FieldType type;
        bool known;
        std::uint32_t offset;
        std::uint32_t width;
        int scale; // BCD decimal places
        std::string name;
    };
    void decodeField(const Slot& slot, const std::uint8_t* p, Value& value,
                     std::uint64_t rowNumber);
    void decodeText(const std::uint8_t* p, std::size_t size, Value& value);
    void decodeBlob(const Slot& slot, const std::uint8_t* p, Value& value, std::uint64_t rowNumber);
    void decodeBcd(const Slot& slot, const std::uint8_t* p, Value& value);
    void warnOnce(const std::string& topic, const std::string& text, bool valueLost = false);
    [[gnu::cold, gnu::noinline]] void warnNoCharacter(const Slot& slot, std::uint64_t rowNumber);
    void warnDateRange(const Slot& slot, std::uint64_t rowNumber, const Date& date);

    std::vector<Slot> slots_;
    TextDecoder& text_;
    MemoFile* memo_;
    std::string tableName_;
    Warnings& warnings_;
    Bytes blob_;
    std::string fault_;
};

} // namespace dravena::paradox
