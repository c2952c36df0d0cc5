#pragma once

#include "TableSchema.h"

#include <filesystem>

namespace dravena::paradox {

struct TableHeader;
class TextDecoder;

// The definition of a secondary index (.Xnn or .XGn) of the table. A file that cannot be read,
// whose layout we do not know or that does not match the table's fields (left over from an
// older layout of the table) is a ParadoxError naming the file.
SecondaryIndex readSecondaryIndex(const std::filesystem::path& file, const TableHeader& table,
                                  TextDecoder& text);

// Checks the primary index (.PX) against the table header, whose key it must describe: the
// same number of key fields, of the same types and sizes. A disagreement is a ParadoxError.
void checkPrimaryIndex(const std::filesystem::path& file, const TableHeader& table);

} // namespace dravena::paradox
