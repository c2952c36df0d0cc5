#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravena::paradox {

class DataFile;
class TextDecoder;

// A field descriptor as stored: type code, size byte and the name in the table's code page.
struct RawField {
    std::uint8_t type = 0;
    std::uint8_t sizeByte = 0;
    int width = 0; // bytes in the record (17 for BCD)
    std::string name;
};

// The parts of a .DB header that reading rows needs, validated.
struct TableHeader {
    std::uint16_t recordSize = 0;
    std::uint16_t headerSize = 0;
    std::uint8_t fileType = 0;
    std::uint32_t blockSize = 0;
    std::uint32_t numRecords = 0;
    std::uint16_t usedBlocks = 0;
    std::uint16_t fileBlocks = 0;
    std::uint16_t firstBlock = 0;
    std::uint16_t lastBlock = 0;
    std::uint16_t primaryKeyFields = 0;
    std::uint8_t versionByte = 0;
    int version = 0; // 30, 35, 40, 50 or 70
    bool extended = false;
    std::uint32_t key = 0; // 0 = not encrypted
    std::uint8_t sortOrder = 0;
    int codePage = 0;
    bool hasSortOrderId = false;
    std::string sortOrderId;
    std::uint32_t autoIncrement = 0; // 0x49: the highest autoincrement number issued (4.x+)
    std::uint8_t changeCount = 0;    // 0x2E: copied into the table's .VAL when it is written
    std::vector<RawField> fields;
};

// Reads and checks the header of a .DB file. Faults that make rows unreadable are ParadoxErrors
// ("<file>: damaged header: ..."); oddities that do not are added to warnings.
TableHeader readTableHeader(const DataFile& file, std::vector<std::string>& warnings);

// The name of field `index` (0-based) of the table in UTF-8. Control characters, which no column
// of the server should be named with, are replaced by "_"; such a name is added to warnings with
// the file, the field as stored and the name it gets.
std::string fieldName(const TableHeader& header, std::size_t index, TextDecoder& text,
                      const std::string& file, std::vector<std::string>& warnings);

} // namespace dravena::paradox
