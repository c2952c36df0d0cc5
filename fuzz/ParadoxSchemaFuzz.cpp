// Fuzz target of the Paradox schema reader. An input is one table with its companion files:
//   byte 0       bit 0: the secondary index is a composite one (T.XG0), else T.X02
//   then three parts, each a 4-byte little-endian length and that many bytes: the .DB, the
//   .VAL and the .PX (an empty part leaves its file out); the rest is the secondary index.
// Every input must either fail with a ParadoxError (the .DB itself cannot be read) or give a
// schema whose every field reference lies within the table.
#include "FuzzFolder.h"
#include "paradox/TableSchema.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using dravena::paradox::ParadoxError;
using dravena::paradox::readTableSchema;
using dravena::paradox::TableSchema;

const std::filesystem::path& workFolder() {
    return fuzzFolder("dravena-schema-fuzz");
}

// Writes the part, or removes the file when the part is empty.
void place(const char* name, const std::uint8_t* data, std::size_t size) {
    const fs::path path = workFolder() / name;
    std::error_code ec;
    fs::remove(path, ec);
    if (size == 0) {
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Takes one length-prefixed part off the input.
std::size_t part(const std::uint8_t*& data, std::size_t& size) {
    if (size < 4) {
        size = 0;
        return 0;
    }
    std::size_t length = data[0] | (data[1] << 8) | (data[2] << 16) | (std::size_t{data[3]} << 24);
    data += 4;
    size -= 4;
    if (length > size) {
        length = size;
    }
    return length;
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool inTable(const TableSchema& s, int field) {
    return field >= 0 && static_cast<std::size_t>(field) < s.fields.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const bool composite = (data[0] & 1) != 0;
    ++data;
    --size;
    const char* names[] = {"T.DB", "T.VAL", "T.PX"};
    for (const char* name : names) {
        const std::size_t length = part(data, size);
        place(name, data, length);
        data += length;
        size -= length;
    }
    place("T.XG0", nullptr, 0);
    place("T.X02", nullptr, 0);
    place(composite ? "T.XG0" : "T.X02", data, size);
    try {
        const TableSchema s = readTableSchema(workFolder() / "T.DB");
        check(s.keyFields >= 0 && static_cast<std::size_t>(s.keyFields) <= s.fields.size());
        for (const auto& index : s.indexes) {
            check(!index.fields.empty());
            for (const auto& f : index.fields) {
                check(inTable(s, f.field));
            }
        }
        for (const auto& c : s.checks) {
            check(inTable(s, c.field));
        }
        for (const auto& r : s.references) {
            check(!r.fields.empty() && r.fields.size() == r.masterFields.size());
            for (int f : r.fields) {
                check(inTable(s, f));
            }
        }
    } catch (const ParadoxError&) {
    }
    return 0;
}
