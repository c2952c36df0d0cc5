#pragma once

#include "paradox/Field.h"

#include <cstdint>

namespace dravena::paradox {

// What a table level (3.0 ... 7.x) fixes about the header a writer produces.
struct TableLevel {
    int version = 0;              // 30, 35, 40, 50 or 70
    std::uint8_t versionByte = 0; // byte 0x39 of the header
    bool extendedHeader = false;  // 4.x and later: code page, key at 0x5C, field numbers
    int tableNameArea = 0;        // bytes reserved for the table name
    bool compactHeader = false;   // 3.0: the header ends right after the field names
    int maxBlockKiB = 0;
};

// The level for a WriterOptions version; throws ParadoxError for any other number.
const TableLevel& tableLevel(int version);

// Whether tables of this level know the field type.
bool levelKnowsType(const TableLevel& level, FieldType type);

// The first level that knows the type (30, 40 or 50), for messages.
int firstLevelWithType(FieldType type);

} // namespace dravena::paradox
