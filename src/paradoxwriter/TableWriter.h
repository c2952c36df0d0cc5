#pragma once

#include "paradox/Field.h"
#include "paradox/Value.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace dravena::paradox {

struct WriterOptions {
    int version = 70;     // 30, 35, 40, 50 or 70
    int codePage = 1252;  // text is converted from UTF-8 to this code page
    int blockSizeKiB = 4; // 1 to 32 (versions before 4.0 allow only 1 to 4)
    // An existing table of the same name is refused unless this is set; either way the files
    // get their names only when finish() succeeds, so a failed write leaves nothing behind.
    bool replaceExisting = false;
};

// Writes a simple table that other Paradox readers accept: the .DB file and, when a field
// needs one, the .MB file beside it.
class TableWriter {
public:
    TableWriter(const std::filesystem::path& dbFile, std::vector<Field> fields,
                WriterOptions options = {});
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // Adds a row (one value per field; NULL is a blank, and a NULL Autoincrement gets the next
    // number). A value its field cannot hold throws ParadoxError and the row is not written.
    void append(const std::vector<Value>& row);
    // Completes the files; called by the destructor when not called before (which cannot
    // report a failure: call finish() to learn of one).
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace dravena::paradox
