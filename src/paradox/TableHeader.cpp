#include "TableHeader.h"

#include "ByteOrder.h"
#include "DataFile.h"
#include "Field.h"
#include "TextDecoder.h"

#include <cstdio>
#include <optional>

namespace dravena::paradox {

namespace {

using bytes::le16;
using bytes::le32;

constexpr std::size_t fixedPart = 0x58;
constexpr std::size_t extendedEnd = 0x78;
constexpr std::size_t maxNameLength = 255;
constexpr int bcdWidth = 17;
constexpr int maxBcdScale = 32;

class HeaderParser {
public:
    HeaderParser(const DataFile& file, std::vector<std::string>& warnings)
        : file_(file), warnings_(warnings) {}

    TableHeader parse();

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw ParadoxError(file_.name() + ": damaged header: " + what);
    }
    void warn(const std::string& what) { warnings_.push_back(file_.name() + ": " + what); }

    void readFixedPart(TableHeader& h);
    void readDescriptors(TableHeader& h, std::size_t base);
    void checkFieldSizes(TableHeader& h);
    // Parses the field names for one table-name area size; returns the offset after them, or
    // nothing when the layout does not fit the header.
    std::optional<std::size_t> readNames(TableHeader& h, std::size_t base, std::size_t nameArea,
                                         std::string& fault) const;
    // Parses the field numbers and the sort-order id of 4.x+ tables; returns the offset after
    // the id, or nothing when they are absent or malformed.
    std::optional<std::size_t> readSortOrderId(TableHeader& h, std::size_t pos) const;
    // Field names, then the sort-order id; true when the end matches the header's own count of
    // meaningful bytes.
    bool readVariablePart(TableHeader& h, std::size_t base, std::size_t nameArea,
                          std::string& fault, bool& namesRead) const;
    std::optional<std::string> cString(std::size_t& pos) const;

    const DataFile& file_;
    std::vector<std::string>& warnings_;
    std::vector<std::uint8_t> bytes_;
};

int levelFor(std::uint8_t versionByte) {
    if (versionByte == 0x03) {
        return 30;
    }
    if (versionByte == 0x04) {
        return 35;
    }
    if (versionByte <= 0x09) {
        return 40;
    }
    if (versionByte <= 0x0B) {
        return 50;
    }
    return 70;
}

// The width in the record of a fixed-size type, 0 for types whose size the descriptor gives.
int fixedWidth(std::uint8_t type) {
    switch (static_cast<FieldType>(type)) {
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoIncrement:
        return 4;
    case FieldType::Short:
        return 2;
    case FieldType::Money:
    case FieldType::Number:
    case FieldType::Timestamp:
        return 8;
    case FieldType::Logical:
        return 1;
    default:
        return 0;
    }
}

bool isBlobType(std::uint8_t type) {
    return type >= static_cast<std::uint8_t>(FieldType::Memo) &&
           type <= static_cast<std::uint8_t>(FieldType::Graphic);
}

bool isKnownType(std::uint8_t type) {
    return fixedWidth(type) != 0 || isBlobType(type) ||
           type == static_cast<std::uint8_t>(FieldType::Alpha) ||
           type == static_cast<std::uint8_t>(FieldType::Bcd) ||
           type == static_cast<std::uint8_t>(FieldType::Bytes);
}

TableHeader HeaderParser::parse() {
    if (file_.size() < fixedPart) {
        fail("the file has " + std::to_string(file_.size()) + " bytes, fewer than the " +
             std::to_string(fixedPart) + " of a table header");
    }
    bytes_.resize(fixedPart);
    file_.readAt(0, bytes_.data(), fixedPart);
    TableHeader h;
    readFixedPart(h);

    bytes_.resize(h.headerSize);
    if (file_.readAt(0, bytes_.data(), h.headerSize) != h.headerSize) {
        fail("the file ends inside the header");
    }
    std::size_t base = fixedPart;
    if (h.extended) {
        if (h.headerSize < extendedEnd) {
            fail("header size " + std::to_string(h.headerSize) + " leaves no room for fields");
        }
        base = extendedEnd;
        if (le32(&bytes_[0x25]) == 0xFF00FF00u) {
            h.key = le32(&bytes_[0x5C]);
        }
        h.codePage = le16(&bytes_[0x6A]);
    }
    readDescriptors(h, base);
    checkFieldSizes(h);

    const std::size_t primaryArea = h.versionByte >= 0x0C ? 261 : 79;
    const std::size_t otherArea = primaryArea == 261 ? 79 : 261;
    std::string fault;
    bool namesRead = false;
    TableHeader primary = h;
    if (readVariablePart(primary, base, primaryArea, fault, namesRead) || !h.extended) {
        if (!namesRead) {
            fail(fault);
        }
        return primary;
    }
    // The layout disagrees with the header's own length: try the other table-name area size.
    std::string otherFault;
    bool otherNamesRead = false;
    TableHeader other = h;
    if (readVariablePart(other, base, otherArea, otherFault, otherNamesRead)) {
        warn("field names found after a " + std::to_string(otherArea) + "-byte table-name area");
        return other;
    }
    if (!namesRead) {
        fail(fault);
    }
    return primary;
}

bool HeaderParser::readVariablePart(TableHeader& h, std::size_t base, std::size_t nameArea,
                                    std::string& fault, bool& namesRead) const {
    const auto namesEnd = readNames(h, base, nameArea, fault);
    namesRead = namesEnd.has_value();
    if (!namesRead) {
        return false;
    }
    if (!h.extended) {
        return true;
    }
    const auto end = readSortOrderId(h, *namesEnd);
    return end && *end == le16(&bytes_[0x51]);
}

void HeaderParser::readFixedPart(TableHeader& h) {
    const std::uint8_t* b = bytes_.data();
    h.recordSize = le16(b + 0x00);
    h.headerSize = le16(b + 0x02);
    h.fileType = b[0x04];
    const unsigned blockKiB = b[0x05];
    h.numRecords = le32(b + 0x06);
    h.usedBlocks = le16(b + 0x0A);
    h.fileBlocks = le16(b + 0x0C);
    h.firstBlock = le16(b + 0x0E);
    h.lastBlock = le16(b + 0x10);
    const unsigned numFields = le16(b + 0x21);
    h.primaryKeyFields = le16(b + 0x23);
    h.key = le32(b + 0x25);
    h.sortOrder = b[0x29];
    h.versionByte = b[0x39];
    h.autoIncrement = le32(b + 0x49);
    h.changeCount = b[0x2E];

    if (h.fileType != 0 && h.fileType != 2) {
        fail("file type " + std::to_string(h.fileType) + " is not a data table");
    }
    if (blockKiB < 1 || blockKiB > 32) {
        fail("block size of " + std::to_string(blockKiB) + " KiB is out of range");
    }
    h.blockSize = blockKiB * 1024u;
    if (h.versionByte < 3 || h.versionByte > 15) {
        fail("unknown version byte " + std::to_string(h.versionByte));
    }
    if (h.versionByte > 0x0C) {
        warn("version byte " + std::to_string(h.versionByte) + " is newer than 7.x");
    }
    h.version = levelFor(h.versionByte);
    h.extended = h.versionByte >= 5;
    if (h.recordSize == 0 || h.recordSize > h.blockSize - 6) {
        fail("record size " + std::to_string(h.recordSize) + " does not fit a block of " +
             std::to_string(h.blockSize) + " bytes");
    }
    if (numFields < 1 || numFields > 255) {
        fail("field count " + std::to_string(numFields) + " is out of range");
    }
    if (h.primaryKeyFields > numFields) {
        fail("key of " + std::to_string(h.primaryKeyFields) + " fields in a table of " +
             std::to_string(numFields));
    }
    if (h.headerSize < fixedPart) {
        fail("header size " + std::to_string(h.headerSize) + " is too small");
    }
    if (h.headerSize > file_.size()) {
        fail("header size " + std::to_string(h.headerSize) + " exceeds the file size " +
             std::to_string(file_.size()));
    }
    if ((h.firstBlock == 0) != (h.fileBlocks == 0)) {
        warn("first block " + std::to_string(h.firstBlock) + " with " +
             std::to_string(h.fileBlocks) + " blocks in the file");
    }
    if (b[0x14] != 0 || b[0x2A] != 0) {
        warn("the table was not closed cleanly");
    }
    h.fields.resize(numFields);
}

void HeaderParser::readDescriptors(TableHeader& h, std::size_t base) {
    const std::size_t n = h.fields.size();
    if (base + 2 * n > h.headerSize) {
        fail("field descriptors run past the header");
    }
    for (std::size_t i = 0; i < n; ++i) {
        RawField& f = h.fields[i];
        f.type = bytes_[base + 2 * i];
        f.sizeByte = bytes_[base + 2 * i + 1];
        f.width = f.sizeByte;
    }
}

void HeaderParser::checkFieldSizes(TableHeader& h) {
    std::size_t sum = 0;
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
        RawField& f = h.fields[i];
        const std::string which = "field " + std::to_string(i + 1);
        const int fixed = fixedWidth(f.type);
        if (f.type == static_cast<std::uint8_t>(FieldType::Bcd)) {
            if (f.sizeByte > maxBcdScale) {
                fail(which + ": BCD with " + std::to_string(f.sizeByte) + " decimal places");
            }
            f.width = bcdWidth;
        } else if (fixed != 0 && f.sizeByte != fixed) {
            fail(which + ": size " + std::to_string(f.sizeByte) + " for a " +
                 fieldTypeName(static_cast<FieldType>(f.type)) + " field");
        } else if (isBlobType(f.type) && f.sizeByte < 10) {
            fail(which + ": memo/BLOB size " + std::to_string(f.sizeByte) + " is below 10");
        } else if (f.sizeByte == 0) {
            fail(which + ": size 0");
        }
        if (!isKnownType(f.type)) {
            warn(which + ": unknown type code " + std::to_string(f.type) + ", read as raw bytes");
        }
        sum += static_cast<std::size_t>(f.width);
    }
    if (sum != h.recordSize) {
        fail("field sizes add up to " + std::to_string(sum) + ", the record size is " +
             std::to_string(h.recordSize));
    }
}

std::optional<std::string> HeaderParser::cString(std::size_t& pos) const {
    const std::size_t limit = bytes_.size();
    std::size_t end = pos;
    while (end < limit && bytes_[end] != 0) {
        ++end;
    }
    if (end >= limit || end - pos > maxNameLength) {
        return std::nullopt;
    }
    std::string s(reinterpret_cast<const char*>(&bytes_[pos]), end - pos);
    pos = end + 1;
    return s;
}

std::optional<std::size_t> HeaderParser::readNames(TableHeader& h, std::size_t base,
                                                   std::size_t nameArea, std::string& fault) const {
    const std::size_t n = h.fields.size();
    std::size_t pos = base + 6 * n + 4 + nameArea;
    if (pos > h.headerSize) {
        fault = "field names would start past the header";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < n; ++i) {
        auto name = cString(pos);
        if (!name) {
            fault = "name of field " + std::to_string(i + 1) + " is unterminated or too long";
            return std::nullopt;
        }
        h.fields[i].name = std::move(*name);
    }
    return pos;
}

std::optional<std::size_t> HeaderParser::readSortOrderId(TableHeader& h, std::size_t pos) const {
    const std::size_t n = h.fields.size();
    if (pos + 2 * n > h.headerSize) {
        return std::nullopt;
    }
    std::vector<bool> seen(n + 1, false);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t number = le16(&bytes_[pos + 2 * i]);
        if (number < 1 || number > n || seen[number]) {
            return std::nullopt;
        }
        seen[number] = true;
    }
    pos += 2 * n;
    auto id = cString(pos);
    if (!id) {
        return std::nullopt;
    }
    h.sortOrderId = std::move(*id);
    h.hasSortOrderId = true;
    return pos;
}
} // namespace

TableHeader readTableHeader(const DataFile& file, std::vector<std::string>& warnings) {
    return HeaderParser(file, warnings).parse();
}

std::string fieldName(const TableHeader& header, std::size_t index, TextDecoder& text,
                      const std::string& file, std::vector<std::string>& warnings) {
    const std::string& raw = header.fields.at(index).name;
    std::string decoded;
    text.decode(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size(), decoded);
    std::string name;
    std::string shown; // the name as stored, its control characters written as \xNN
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const auto c = static_cast<unsigned char>(decoded[i]);
        // C0 controls and DEL; C1 controls are U+0080..U+009F, "\xC2\x80".."\xC2\x9F" in UTF-8.
        const bool c1 = c == 0xC2 && i + 1 < decoded.size() &&
                        (static_cast<unsigned char>(decoded[i + 1]) & 0xE0) == 0x80;
        if (c >= 0x20 && c != 0x7F && !c1) {
            name += decoded[i];
            shown += decoded[i];
            continue;
        }
        char escaped[16];
        std::snprintf(escaped, sizeof escaped, "\\x%02X",
                      c1 ? static_cast<unsigned char>(decoded[++i]) : c);
        shown += escaped;
        name += '_';
    }
    if (shown != name) {
        warnings.push_back(file + ": field " + std::to_string(index + 1) + " \"" + shown +
                           "\" holds control characters; it is named \"" + name + "\"");
    }
    return name;
}

} // namespace dravena::paradox
