#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dravena::paradox {

// Field type codes as stored in a table's field descriptors.
enum class FieldType : std::uint8_t {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Money = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoIncrement = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};

struct Field {
    std::string name; // UTF-8
    FieldType type = FieldType::Alpha;
    int size = 0; // bytes in the record; for BCD the descriptor's size byte (decimal places)
};

// A table that cannot be read: the message names the file and the fault.
class ParadoxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Alpha", "Long", ... for messages and listings.
const char* fieldTypeName(FieldType type);

} // namespace dravena::paradox
