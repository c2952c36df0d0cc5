#include "TableSchema.h"

#include "CharacterSet.h"
#include "CompanionFiles.h"
#include "DataFile.h"
#include "IndexFiles.h"
#include "TableHeader.h"
#include "TextDecoder.h"
#include "ValidityFile.h"

#include <algorithm>
#include <cctype>

namespace dravena::paradox {

namespace {

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// .Xnn and .XGn (letter 'x'): secondary indexes; .Ynn and .YGn (letter 'y'): their partners,
// which hold only the index's tree.
bool isIndexFile(const std::string& extension, char letter) {
    if (extension.size() == 3 && extension[0] == letter && extension[1] == 'g') {
        return isHexDigit(extension[2]);
    }
    return extension.size() == 3 && extension[0] == letter && isHexDigit(extension[1]) &&
           isHexDigit(extension[2]);
}

bool isSecondaryIndex(const std::string& extension) {
    return isIndexFile(extension, 'x');
}

// A .Ynn/.YGn whose .Xnn/.XGn is gone: the definition of its index is lost with it.
void findOrphanTrees(const std::filesystem::path& dbFile, TableSchema& schema) {
    const auto definitions = companionFiles(dbFile, isSecondaryIndex);
    for (const auto& tree :
         companionFiles(dbFile, [](const std::string& e) { return isIndexFile(e, 'y'); })) {
        const std::string extension = tree.extension().string().substr(2);
        const bool defined =
            std::any_of(definitions.begin(), definitions.end(), [&](const auto& definition) {
                return sameLettersIgnoringCase(definition.extension().string().substr(2),
                                               extension);
            });
        if (!defined) {
            schema.leftOut.push_back(tree.string() + ": the index file " + dbFile.stem().string() +
                                     ".X" + extension +
                                     " that defines its index is missing; the index is left out");
        }
    }
}

bool hasAutoIncrement(const TableHeader& header) {
    for (const RawField& f : header.fields) {
        if (f.type == static_cast<std::uint8_t>(FieldType::AutoIncrement)) {
            return true;
        }
    }
    return false;
}

void readPrimaryIndex(const std::filesystem::path& dbFile, const TableHeader& header,
                      TableSchema& schema) {
    const auto found = companionFiles(dbFile, [](const std::string& e) { return e == "px"; });
    if (found.empty()) {
        if (schema.keyFields > 0) {
            schema.warnings.push_back(dbFile.string() +
                                      ": no primary index (.PX) beside the table; the key is "
                                      "taken from the table header");
        }
        return;
    }
    try {
        checkPrimaryIndex(found.front(), header);
    } catch (const ParadoxError& e) {
        schema.warnings.push_back(std::string(e.what()) +
                                  "; the key is taken from the table header");
    }
}

} // namespace

TableSchema readTableSchema(const std::filesystem::path& dbFile) {
    TableSchema schema;
    TableHeader header;
    {
        const DataFile file(dbFile);
        header = readTableHeader(file, schema.warnings);
    }
    const CharacterSetChoice charset = characterSetForFile(
        dbFile, header.codePage, header.sortOrder, header.sortOrderId, header.hasSortOrderId);
    TextDecoder text(charset.encoding);
    // A field name with control characters is told by the table's reader, which names the
    // column alike.
    std::vector<std::string> namesTold;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const RawField& raw = header.fields[i];
        Field field;
        field.name = fieldName(header, i, text, dbFile.string(), namesTold);
        field.type = static_cast<FieldType>(raw.type);
        field.size =
            raw.type == static_cast<std::uint8_t>(FieldType::Bcd) ? raw.sizeByte : raw.width;
        schema.fields.push_back(std::move(field));
    }
    schema.keyFields = header.fileType == 0 ? header.primaryKeyFields : 0;
    // Before 4.x these bytes count changes rather than numbers issued.
    if (header.version >= 40 && hasAutoIncrement(header)) {
        schema.highestAutoIncrement = header.autoIncrement;
    }
    readPrimaryIndex(dbFile, header, schema);

    for (const auto& file : companionFiles(dbFile, isSecondaryIndex)) {
        try {
            schema.indexes.push_back(readSecondaryIndex(file, header, text));
        } catch (const ParadoxError& e) {
            schema.leftOut.push_back(std::string(e.what()) + "; the index is left out");
        }
    }
    findOrphanTrees(dbFile, schema);
    const auto validity = companionFiles(dbFile, [](const std::string& e) { return e == "val"; });
    if (!validity.empty()) {
        try {
            ValidityChecks read = readValidityFile(validity.front(), header, text, schema.leftOut);
            schema.checks = std::move(read.checks);
            schema.references = std::move(read.references);
        } catch (const ParadoxError& e) {
            schema.leftOut.push_back(std::string(e.what()) +
                                     "; its checks and references are left out");
        }
    }
    return schema;
}

} // namespace dravena::paradox
