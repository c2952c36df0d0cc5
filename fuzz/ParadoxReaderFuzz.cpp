// Fuzz target of the Paradox table reader. An input is one table:
//   byte 0       code page override selector (0 = the table's own)
//   bytes 1..4   length n of the .DB part, little-endian
//   n bytes      the .DB file
//   the rest     the .MB file (absent when empty)
// Every input must either read consistently or fail with a ParadoxError.
#include "FuzzFolder.h"
#include "paradox/TableReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using dravena::paradox::ParadoxError;
using dravena::paradox::ReaderOptions;
using dravena::paradox::TableReader;
using dravena::paradox::Value;

const std::filesystem::path& workFolder() {
    return fuzzFolder("dravena-fuzz");
}

void writeFile(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    static constexpr int codePages[] = {0, 0, 0, 0, 936, 932, 866, 1252, 12345};
    ReaderOptions options;
    options.codePage = codePages[data[0] % (sizeof codePages / sizeof codePages[0])];
    std::size_t dbSize = data[1] | (data[2] << 8) | (data[3] << 16) | (std::size_t{data[4]} << 24);
    data += 5;
    size -= 5;
    if (dbSize > size) {
        dbSize = size;
    }
    const fs::path db = workFolder() / "T.DB";
    const fs::path mb = workFolder() / "T.MB";
    writeFile(db, data, dbSize);
    if (size > dbSize) {
        writeFile(mb, data + dbSize, size - dbSize);
    } else {
        std::error_code ec;
        fs::remove(mb, ec);
    }
    try {
        TableReader reader(db, options);
        std::vector<Value> row;
        std::uint64_t rows = 0;
        while (reader.next(row)) {
            ++rows;
            if (row.size() != reader.fields().size()) {
                std::abort();
            }
        }
        if (rows != reader.recordCount()) {
            std::abort();
        }
    } catch (const ParadoxError&) {
    }
    return 0;
}
