#pragma once

#include <cstdint>
#include <filesystem>

namespace dravena::bench {

// A table for the reading benchmarks: written once by our writer into a folder under the
// system's temporary folder and reused by later runs.
struct BenchTable {
    std::filesystem::path withMemoFile;    // NAME.DB with its NAME.MB
    std::filesystem::path withoutMemoFile; // a copy of NAME.DB alone, in a folder of its own
    std::uint64_t rows = 0;
};

// Twelve mixed fields: Long, two Alpha, Money, Number, Short, Date, Time, Timestamp, Logical,
// BCD and a Memo whose values are mostly short (in the record), every 10th 200 bytes and every
// 1000th 3000 bytes (in the memo file).
BenchTable benchTable(const char* name, std::uint64_t rows);

} // namespace dravena::bench
