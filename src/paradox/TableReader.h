#pragma once

#include "Field.h"
#include "Value.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace dravena::paradox {

// What the header says about a table.
struct TableInfo {
    int version = 0;  // 30, 35, 40, 50 or 70
    int codePage = 0; // 0 when the header names none
    bool encrypted = false;
    bool hasMemoFile = false;
};

// Reads a Paradox table (.DB, with its .MB when present) record by record in file order.
// Memory stays bounded by one block, one record and the current blob. Every failure is a
// ParadoxError whose message names the file and the fault.
class TableReader {
public:
    explicit TableReader(const std::filesystem::path& dbFile);
    ~TableReader();
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    const std::vector<Field>& fields() const;
    const TableInfo& info() const;

    // The number of records next() will deliver, known before the first one.
    std::uint64_t recordCount() const;

    // Reads the next record into row (resized to the field count); false after the last one.
    bool next(std::vector<Value>& row);

    // Problems met that did not stop reading (for example a missing .MB file).
    const std::vector<std::string>& warnings() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace dravena::paradox
