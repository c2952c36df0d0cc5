#pragma once

#include "WriterCodePage.h"
#include "WriterLevel.h"
#include "paradox/Field.h"

#include <string>
#include <vector>

namespace dravena::paradox::writer {

// One field as the writer lays it out.
struct FieldLayout {
    Field field;           // size filled in where the caller gave 0 for a fixed-size type
    std::string codedName; // the name in the table's code page
    int offset = 0;        // within the record
    int bytes = 0;         // in the record (BCD: 17)
    int leader = 0;        // memo and BLOB types: bytes of the value kept in the record
};

bool isBlobType(FieldType type);

// Checks the fields against the level and lays out the record. Throws ParadoxError naming the
// field for a duplicate or unusable name, an unknown type, a type the level does not know or a
// size the type does not allow.
std::vector<FieldLayout> layOutFields(const std::vector<Field>& fields, const TableLevel& level,
                                      const CodePageEncoder& encoder);

} // namespace dravena::paradox::writer
