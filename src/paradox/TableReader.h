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
    std::string encoding;            // the character set text is read in, as iconv names it
    bool encodingGuessed = false;    // taken from the sort order, not from a code page
    int keyFields = 0;               // number of leading fields in the primary key
    std::uint64_t headerRecords = 0; // the record count the header states (recordCount() is
                                     // what the blocks hold)
};

struct ReaderOptions {
    int codePage = 0; // read text in this code page instead of the table's own; 0 = the table's
};

// Reads a Paradox table (.DB, with its .MB when present) record by record in file order.
// Memory stays bounded by one block, one record and the current blob. Every failure is a
// ParadoxError whose message names the file and the fault.
//
// Values: Alpha and Memo give UTF-8 text, Short/Long/Autoincrement int64, Number/Money double,
// Logical bool, Date/Time/Timestamp their structs, BCD a Decimal with exactly the field's decimal
// places, BLOB/formatted memo/OLE/Graphic/Bytes bytes (a Graphic without its 8-byte prefix). A
// blank field is NULL; the format keeps no empty Alpha apart from a blank one, so an empty Alpha
// is NULL too. Trailing spaces of Alpha values are data and are kept.
//
// Damage: a header, block chain or record count that cannot be trusted is an error before the
// first row, so recordCount() is exactly what next() delivers. Damage confined to one value
// costs that value, not the row, and warnings() says so: a memo/BLOB value whose .MB file is
// missing or unreadable, or whose reference in the record is bad, is NULL (values that fit in
// the record itself stay complete); so is a Time outside the day or a Timestamp that is not a
// finite number. Dates before year 1 or after 9999 are delivered as they are (astronomical
// years, 0 = 1 BC), with a warning. Text bytes without a character in the table's code page
// become U+FFFD and are counted in a warning at the end.
class TableReader {
public:
    explicit TableReader(const std::filesystem::path& dbFile);
    TableReader(const std::filesystem::path& dbFile, const ReaderOptions& options);
    ~TableReader();
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    const std::vector<Field>& fields() const;
    const TableInfo& info() const;

    // The number of records next() will deliver, known before the first one (taken from the
    // block chain, which is walked once when the table is opened).
    std::uint64_t recordCount() const;

    // Reads the next record into row (resized to the field count); false after the last one.
    bool next(std::vector<Value>& row);

    // Moves to the next record without reading its values; false after the last one. Its values
    // are then read one by one with read(), for as long as the reader stays on it.
    bool advance();
    // Reads a field's value of the record advance() moved to.
    void read(std::size_t field, Value& value);
    // The length in bytes of a memo/BLOB field's value in that record (0 for a blank), as the
    // record tells it without reading the value; -1 for fields of other types.
    std::int64_t storedLength(std::size_t field) const;

    // Problems met that did not stop reading (for example a missing .MB file).
    const std::vector<std::string>& warnings() const;
    // Whether a value could not be read and was delivered as NULL in its place.
    bool valuesLost() const;
    // How many values were so delivered.
    std::int64_t lostValueCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace dravena::paradox
