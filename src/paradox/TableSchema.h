#pragma once

#include "Field.h"
#include "Value.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dravena::paradox {

// One field of a secondary index: the table field (0-based) and its sort direction.
struct IndexField {
    int field = 0;
    bool descending = false;
    friend bool operator==(const IndexField&, const IndexField&) = default;
};

// A secondary index (.Xnn or .XGn file).
struct SecondaryIndex {
    std::string file;               // the index file's name, without folder
    std::string name;               // the index name (.XGn), else the field's name
    std::vector<IndexField> fields; // in index order
    bool unique = false;
    bool caseInsensitive = false;
    bool maintained = false; // kept up to date by every change of the table
};

// The validity checks of one field (.VAL). Minimum, maximum and default are NULL when absent.
struct FieldCheck {
    int field = 0; // 0-based
    bool required = false;
    Value minimum;
    Value maximum;
    Value defaultValue;
    std::string picture;     // "" when none
    std::string lookupTable; // the lookup table's file name ("" when none)
};

// Referential integrity, child side: these fields hold a key of the master table.
struct Reference {
    std::string name;
    std::vector<int> fields;       // 0-based fields of this table
    std::string masterTable;       // the master's file name as stored ("primary.db")
    std::vector<int> masterFields; // 0-based fields of the master table
    bool cascadeUpdate = false;    // a changed master key is carried into the children
};

// What a table's files say about its schema beyond the field types: the key, the secondary
// indexes, the validity checks and the references, the autoincrement counter.
struct TableSchema {
    std::vector<Field> fields;
    int keyFields = 0; // the key is the first keyFields fields
    // The highest autoincrement number issued (tables of level 4 on with an autoincrement field).
    std::optional<std::uint32_t> highestAutoIncrement;
    std::vector<SecondaryIndex> indexes;
    std::vector<FieldCheck> checks;
    std::vector<Reference> references;
    // What the companion files hold that cannot be used: an index, the checks and references
    // of a .VAL, or a part of one, whose file is damaged, stale, empty, another table's, of a
    // layout we do not know, or missing beside its partner (a .Ynn without its .Xnn). Each names
    // its file, what is left out and why; what such a file would have said is never guessed.
    std::vector<std::string> leftOut;
    // Oddities that cost no object (a missing or disagreeing .PX: the header has the key).
    std::vector<std::string> warnings;
};

// Reads the schema of a table from its .DB header and the companion files beside it (.PX,
// .Xnn/.XGn, .VAL). Fails with a ParadoxError only when the .DB itself cannot be read.
TableSchema readTableSchema(const std::filesystem::path& dbFile);

} // namespace dravena::paradox
