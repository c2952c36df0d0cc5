#pragma once

#include "TableSchema.h"

#include <filesystem>
#include <string>
#include <vector>

namespace dravena::paradox {

struct TableHeader;
class TextDecoder;

// What a .VAL file holds for its table.
struct ValidityChecks {
    std::vector<FieldCheck> checks;
    std::vector<Reference> references;
};

// Reads the validity checks and the child side of referential integrity from a table's .VAL
// (layouts 0x09 and 0x0B). Stale files (written for another state of the table), layouts we do
// not know and damaged files are ParadoxErrors naming the file; nothing of such a file is used.
// Parts that refer to a field the table does not have, or whose flags we do not know, are left
// out, each told in leftOut.
ValidityChecks readValidityFile(const std::filesystem::path& file, const TableHeader& table,
                                TextDecoder& text, std::vector<std::string>& leftOut);

} // namespace dravena::paradox
