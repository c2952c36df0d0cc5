#include "IndexFiles.h"

#include "CompanionFiles.h"
#include "SchemaBytes.h"
#include "TableHeader.h"
#include "TextDecoder.h"

#include <cstdio>
#include <optional>

namespace dravena::paradox {

namespace {

constexpr std::size_t headerLimit = 64 * 1024;
constexpr std::size_t nameLimit = 256;
constexpr std::uint16_t descendingBit = 0x8000;
constexpr std::uint8_t flagDescending = 0x10;
constexpr std::uint8_t flagUnique = 0x20;
constexpr std::uint8_t flagKnown = 0x31;

enum IndexFileType : std::uint8_t {
    SingleUnmaintained = 3,
    SingleMaintained = 5,
    CompositeUnmaintained = 6,
    CompositeMaintained = 8,
};

// The variable part of a 4.x+ index header: field names, field numbers, sort order, index name.
struct IndexNames {
    std::vector<std::string> fieldNames;
    std::vector<std::uint16_t> numbers;
    std::string indexName;
};

std::optional<IndexNames> readNames(const SchemaBytes& b, std::size_t base, unsigned fields,
                                    std::size_t nameArea, bool composite) {
    try {
        IndexNames names;
        std::size_t pos = base + 6 * std::size_t{fields} + 4 + nameArea;
        for (unsigned i = 0; i < fields; ++i) {
            names.fieldNames.push_back(b.cString(pos, nameLimit, "field name"));
            pos += names.fieldNames.back().size() + 1;
        }
        for (unsigned i = 0; i < fields; ++i) {
            names.numbers.push_back(b.u16(pos, "field number"));
            pos += 2;
        }
        pos += b.cString(pos, nameLimit, "sort order name").size() + 1;
        if (composite) {
            names.indexName = b.cString(pos, nameLimit, "index name");
            pos += names.indexName.size() + 1;
        }
        if (pos != b.u16(0x51, "end of the names")) {
            return std::nullopt;
        }
        return names;
    } catch (const ParadoxError&) {
        return std::nullopt;
    }
}

} // namespace

SecondaryIndex readSecondaryIndex(const std::filesystem::path& file, const TableHeader& table,
                                  TextDecoder& text) {
    const SchemaBytes b(file, headerLimit);
    const std::uint8_t fileType = b.u8(0x04, "file type");
    if (fileType != SingleUnmaintained && fileType != SingleMaintained &&
        fileType != CompositeUnmaintained && fileType != CompositeMaintained) {
        b.fail("file type " + std::to_string(fileType) + " is not a secondary index");
    }
    const bool composite = fileType == CompositeUnmaintained || fileType == CompositeMaintained;
    const unsigned fields = b.u16(0x21, "field count");
    const unsigned keyCount = b.u16(0x23, "key field count");
    const std::uint8_t version = b.u8(0x39, "version");
    // The index record holds the indexed fields, then the table's key (or, for an unkeyed
    // table, two fields that find the record).
    const unsigned tableKey = table.fileType == 0 ? table.primaryKeyFields : 2;
    if (fields < 2 || fields > 255 || keyCount <= tableKey || keyCount > fields) {
        b.fail(std::to_string(keyCount) + " key fields of " + std::to_string(fields) +
               " do not fit a table with " + std::to_string(tableKey) + " key fields");
    }
    const unsigned indexed = keyCount - tableKey;
    const bool extended = version >= 5;
    const std::size_t base = extended ? 0x78 : 0x58;

    std::vector<std::uint16_t> numbers;
    std::vector<std::string> fieldNames;
    std::string indexName;
    if (!extended) {
        if (composite || indexed != 1) {
            b.fail("a composite index of a 3.x table: layout not known");
        }
        numbers.push_back(b.u8(0x15, "first indexed field"));
    } else {
        const std::size_t first = version >= 0x0C ? 261 : 79;
        auto names = readNames(b, base, fields, first, composite);
        if (!names) {
            names = readNames(b, base, fields, first == 261 ? 79 : 261, composite);
        }
        if (!names) {
            b.fail("field names and numbers do not end where the header says");
        }
        numbers = std::move(names->numbers);
        fieldNames = std::move(names->fieldNames);
        indexName = std::move(names->indexName);
    }

    const std::uint8_t flags = version >= 0x0C ? b.u8(0x55, "index flags") : 0;
    if ((flags & ~flagKnown) != 0) {
        b.fail("unknown index flags " + hexByte(flags));
    }
    SecondaryIndex index;
    index.file = file.filename().string();
    index.maintained = fileType == SingleMaintained || fileType == CompositeMaintained;
    index.unique = (flags & flagUnique) != 0;
    for (unsigned i = 0; i < indexed; ++i) {
        const unsigned number = numbers.at(i) & ~descendingBit;
        if (number < 1 || number > table.fields.size()) {
            b.fail("indexed field number " + std::to_string(number) + " is not a field of the " +
                   std::to_string(table.fields.size()) + " of the table");
        }
        const RawField& field = table.fields[number - 1];
        const std::uint8_t* descriptor = b.at(base + 2 * i, 2, "field descriptor");
        if (descriptor[0] != field.type || descriptor[1] != field.sizeByte ||
            (!fieldNames.empty() && !sameLettersIgnoringCase(fieldNames[i], field.name))) {
            b.fail("indexed field " + std::to_string(i + 1) + " does not match the table's field " +
                   std::to_string(number) + " (the index is older than the table's layout)");
        }
        const bool descending = (numbers[i] & descendingBit) != 0 || (flags & flagDescending) != 0;
        index.fields.push_back({static_cast<int>(number - 1), descending});
    }
    if (b.u8(0x15, "first indexed field") != index.fields.front().field + 1) {
        b.fail("the first indexed field disagrees with the field numbers");
    }
    // Unknown in the format: the case-insensitive flag. Bit 0x01 of a named single-field
    // ascending index on text is the one reading that no sample contradicts.
    const FieldType firstType = static_cast<FieldType>(table.fields[index.fields[0].field].type);
    index.caseInsensitive = composite && indexed == 1 && (flags & 0x01) != 0 &&
                            (flags & flagDescending) == 0 && firstType == FieldType::Alpha;
    const std::string& rawName = composite ? indexName : table.fields[index.fields[0].field].name;
    text.decode(reinterpret_cast<const std::uint8_t*>(rawName.data()), rawName.size(), index.name);
    return index;
}

void checkPrimaryIndex(const std::filesystem::path& file, const TableHeader& table) {
    const SchemaBytes b(file, headerLimit);
    if (b.u8(0x04, "file type") != 1) {
        b.fail("file type " + std::to_string(b.u8(0x04, "file type")) + " is not a primary index");
    }
    const unsigned keyFields = b.u16(0x21, "key field count");
    if (keyFields != table.primaryKeyFields) {
        b.fail("the primary index has " + std::to_string(keyFields) +
               " key fields, the table header " + std::to_string(table.primaryKeyFields));
    }
    for (unsigned i = 0; i < keyFields; ++i) {
        const std::uint8_t* descriptor = b.at(0x58 + 2 * std::size_t{i}, 2, "key descriptor");
        if (descriptor[0] != table.fields[i].type || descriptor[1] != table.fields[i].sizeByte) {
            b.fail("key field " + std::to_string(i + 1) +
                   " differs in type or size from the table's field");
        }
    }
}

} // namespace dravena::paradox
