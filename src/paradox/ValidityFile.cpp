#include "ValidityFile.h"

#include "CompanionFiles.h"
#include "RecordDecoder.h"
#include "SchemaBytes.h"
#include "TableHeader.h"
#include "TextDecoder.h"
#include "Warnings.h"

#include <cstdio>

namespace dravena::paradox {

namespace {

constexpr std::size_t fileLimit = 4 * 1024 * 1024;
constexpr std::size_t firstRecord = 0x35;
constexpr std::size_t recordFixed = 0x1C;
constexpr std::size_t lookupPart = 0x1A + 0x36;
constexpr std::size_t lookupName = 0x1A;
constexpr std::size_t pathArea = 0x4F;
constexpr std::size_t nameLimit = 256;
constexpr std::size_t referenceSize = 0x1E0;
constexpr unsigned maxReferenceFields = 16;
constexpr int bcdWidth = 17;

// A field as the .VAL's footer lists it.
struct ListedField {
    std::string name;
    std::uint8_t type = 0;
    std::uint8_t size = 0;
};

class ValidityParser {
public:
    ValidityParser(const std::filesystem::path& file, const TableHeader& table, TextDecoder& text,
                   std::vector<std::string>& warnings)
        : b_(file, fileLimit), table_(table), text_(text), warnings_(warnings) {}

    ValidityChecks parse();

private:
    void warn(const std::string& what) { warnings_.push_back(b_.name() + ": " + what); }
    std::string decoded(const std::string& raw) {
        std::string out;
        text_.decode(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size(), out);
        return out;
    }
    std::vector<ListedField> readFooter(std::size_t offset) const;
    // The table field (0-based) of a listed field, matched by name; -1 when it has none or its
    // type or size differ.
    int tableField(const ListedField& listed) const;
    std::size_t readCheck(std::size_t pos, const std::vector<ListedField>& listed,
                          ValidityChecks& out);
    Value readValue(const std::uint8_t* p, const RawField& field);
    void readReferences(std::size_t offset, ValidityChecks& out);
    void readReference(std::size_t r, ValidityChecks& out);

    SchemaBytes b_;
    const TableHeader& table_;
    TextDecoder& text_;
    std::vector<std::string>& warnings_;
};

ValidityChecks ValidityParser::parse() {
    const std::uint8_t changeCount = b_.u8(0x00, "change count");
    const std::uint8_t version = b_.u8(0x01, "version");
    if (version != 0x09 && version != 0x0B) {
        b_.fail("layout " + hexByte(version) + " is not known" +
                (version == 0x01 ? " (a 3.x validity file)" : ""));
    }
    if (changeCount != table_.changeCount) {
        b_.fail("stale: written for another state of the table (" + hexByte(changeCount) +
                ", the table has " + hexByte(table_.changeCount) + ")");
    }
    const unsigned count = b_.u8(0x02, "number of checks");
    const std::size_t footer = b_.u32(0x09, "footer offset");
    const std::size_t references = b_.u32(0x0D, "referential integrity offset");
    const std::vector<ListedField> listed = readFooter(footer);

    ValidityChecks out;
    std::size_t pos = firstRecord;
    for (unsigned i = 0; i < count; ++i) {
        pos = readCheck(pos, listed, out);
    }
    if (pos != (references != 0 ? references : footer)) {
        b_.fail("the checks end at byte " + std::to_string(pos) + ", not where the header says");
    }
    if (references != 0) {
        readReferences(references, out);
    }
    return out;
}

std::vector<ListedField> ValidityParser::readFooter(std::size_t offset) const {
    const unsigned n = b_.u16(offset, "field count");
    std::vector<ListedField> listed(n);
    const std::size_t types = offset + 6 + 2 * std::size_t{n};
    for (unsigned i = 0; i < n; ++i) {
        const std::uint8_t* pair = b_.at(types + 2 * std::size_t{i}, 2, "field type");
        listed[i].type = pair[0];
        listed[i].size = pair[1];
    }
    std::size_t pos = types + 2 * std::size_t{n} + pathArea;
    for (unsigned i = 0; i < n; ++i) {
        listed[i].name = b_.cString(pos, nameLimit, "field name");
        pos += listed[i].name.size() + 1;
    }
    return listed;
}

int ValidityParser::tableField(const ListedField& listed) const {
    for (std::size_t i = 0; i < table_.fields.size(); ++i) {
        const RawField& field = table_.fields[i];
        if (sameLettersIgnoringCase(field.name, listed.name)) {
            return field.type == listed.type && field.sizeByte == listed.size ? static_cast<int>(i)
                                                                              : -1;
        }
    }
    return -1;
}

Value ValidityParser::readValue(const std::uint8_t* p, const RawField& field) {
    Warnings ignored;
    RecordDecoder decoder({field}, text_, nullptr, b_.name(), ignored);
    std::vector<Value> row;
    decoder.decode(p, row, 0);
    return row.at(0);
}

std::size_t ValidityParser::readCheck(std::size_t pos, const std::vector<ListedField>& listed,
                                      ValidityChecks& out) {
    const unsigned index = b_.u8(pos, "check's field");
    const std::size_t pictureLength = b_.u8(pos + 1, "picture length");
    const unsigned required = b_.u8(pos + 2, "required flag");
    const unsigned lookupFlags = b_.u8(pos + 3, "lookup flags");
    const bool hasLookup = b_.u32(pos + 0x04, "lookup") != 0;
    const bool hasMinimum = b_.u32(pos + 0x0C, "minimum") != 0;
    const bool hasMaximum = b_.u32(pos + 0x10, "maximum") != 0;
    const bool hasDefault = b_.u32(pos + 0x14, "default") != 0;
    const bool hasPicture = b_.u32(pos + 0x18, "picture") != 0;
    if (index >= listed.size()) {
        b_.fail("a check names field " + std::to_string(index + 1) + " of " +
                std::to_string(listed.size()));
    }
    const ListedField& field = listed[index];
    const std::size_t width = field.type == static_cast<std::uint8_t>(FieldType::Bcd)
                                  ? bcdWidth
                                  : std::size_t{field.size};
    pos += recordFixed;
    const std::size_t lookupAt = pos;
    pos += hasLookup ? lookupPart : 0;
    const std::size_t minimumAt = pos;
    pos += hasMinimum ? width : 0;
    const std::size_t maximumAt = pos;
    pos += hasMaximum ? width : 0;
    const std::size_t defaultAt = pos;
    pos += hasDefault ? width : 0;
    const std::size_t pictureAt = pos;
    pos += hasPicture ? pictureLength : 0;
    b_.at(lookupAt, pos - lookupAt, "check");

    const int target = tableField(field);
    if (target < 0) {
        warn("the checks of field \"" + decoded(field.name) +
             "\" are left out: the table has no such field of that type and size");
        return pos;
    }
    if (required > 1 || (lookupFlags & ~0x03u) != 0) {
        warn("the checks of field \"" + decoded(field.name) + "\" are left out: unknown flags " +
             hexByte(required) + " " + hexByte(lookupFlags));
        return pos;
    }
    const RawField& raw = table_.fields[static_cast<std::size_t>(target)];
    const bool blob = raw.type >= static_cast<std::uint8_t>(FieldType::Memo) &&
                      raw.type <= static_cast<std::uint8_t>(FieldType::Graphic);
    FieldCheck check;
    check.field = target;
    check.required = required == 1;
    if (hasLookup) {
        check.lookupTable = decoded(b_.cString(lookupAt, lookupName, "lookup table name"));
    }
    if (blob && (hasMinimum || hasMaximum || hasDefault)) {
        warn("the minimum, maximum and default of memo/BLOB field \"" + decoded(field.name) +
             "\" are left out");
    } else {
        if (hasMinimum) {
            check.minimum = readValue(b_.at(minimumAt, width, "minimum"), raw);
        }
        if (hasMaximum) {
            check.maximum = readValue(b_.at(maximumAt, width, "maximum"), raw);
        }
        if (hasDefault) {
            check.defaultValue = readValue(b_.at(defaultAt, width, "default"), raw);
        }
    }
    if (hasPicture && pictureLength > 0) {
        check.picture = decoded(b_.cString(pictureAt, pictureLength, "picture"));
    }
    out.checks.push_back(std::move(check));
    return pos;
}

void ValidityParser::readReferences(std::size_t offset, ValidityChecks& out) {
    const unsigned count = b_.u16(offset, "number of references");
    b_.at(offset + 2, std::size_t{count} * referenceSize, "references");
    for (unsigned i = 0; i < count; ++i) {
        readReference(offset + 2 + std::size_t{i} * referenceSize, out);
    }
}

void ValidityParser::readReference(std::size_t r, ValidityChecks& out) {
    Reference reference;
    reference.name = decoded(b_.cString(r, 0x40, "reference name"));
    const std::string childName = b_.cString(r + 0x40, 0x40, "child field name");
    reference.masterTable = decoded(b_.cString(r + 0xD4, 0x72, "master table"));
    const unsigned updateRule = b_.u16(r + 0x19A, "update rule");
    const unsigned otherRule = b_.u16(r + 0x19C, "second rule");
    const unsigned fields = b_.u16(r + 0x19E, "number of fields");
    const std::string which = "reference \"" + reference.name + "\"";
    if (updateRule > 1 || otherRule != 0) {
        warn(which + " is left out: unknown rules " + std::to_string(updateRule) + " and " +
             std::to_string(otherRule));
        return;
    }
    if (fields < 1 || fields > maxReferenceFields) {
        warn(which + " is left out: " + std::to_string(fields) + " fields");
        return;
    }
    reference.cascadeUpdate = updateRule == 1;
    for (unsigned i = 0; i < fields; ++i) {
        const unsigned child = b_.u16(r + 0x1A0 + 2 * std::size_t{i}, "child field");
        const unsigned master = b_.u16(r + 0x1C0 + 2 * std::size_t{i}, "master field");
        if (child < 1 || child > table_.fields.size() || master < 1 || master > 255) {
            warn(which + " is left out: it names field " + std::to_string(child) + " of " +
                 std::to_string(table_.fields.size()) + " and master field " +
                 std::to_string(master));
            return;
        }
        reference.fields.push_back(static_cast<int>(child - 1));
        reference.masterFields.push_back(static_cast<int>(master - 1));
    }
    if (fields == 1 &&
        !sameLettersIgnoringCase(childName, table_.fields[reference.fields[0]].name)) {
        warn(which + " is left out: its field \"" + decoded(childName) +
             "\" is not the table's field " + std::to_string(reference.fields[0] + 1));
        return;
    }
    out.references.push_back(std::move(reference));
}

} // namespace

ValidityChecks readValidityFile(const std::filesystem::path& file, const TableHeader& table,
                                TextDecoder& text, std::vector<std::string>& leftOut) {
    // The parts left out count only when the file as a whole could be read.
    std::vector<std::string> parts;
    ValidityChecks checks = ValidityParser(file, table, text, parts).parse();
    leftOut.insert(leftOut.end(), parts.begin(), parts.end());
    return checks;
}

} // namespace dravena::paradox
