#pragma once

#include "WriterCodePage.h"
#include "WriterLevel.h"
#include "WriterSchema.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dravena::paradox::writer {

// What changes in the header while rows are written.
struct HeaderCounts {
    std::uint32_t records = 0;
    std::uint16_t blocks = 0;
    std::uint32_t autoIncrement = 0; // highest value written
};

// The .DB header of an unkeyed table: fixed part, extended part (4.x and later), field
// descriptors, table name and field names. Its size is fixed once the fields are known.
class HeaderBuilder {
public:
    HeaderBuilder(const TableLevel& level, const std::vector<FieldLayout>& fields,
                  std::string codedTableName, int codePage, int blockSizeKiB);

    std::size_t size() const { return size_; }
    std::vector<std::uint8_t> build(const HeaderCounts& counts) const;

private:
    std::size_t variablePartStart() const;
    // Writes everything from the field descriptors on; returns the end offset.
    std::size_t putVariablePart(std::vector<std::uint8_t>& out) const;

    const TableLevel& level_;
    const std::vector<FieldLayout>& fields_;
    std::string tableName_;
    int codePage_;
    int blockSizeKiB_;
    SortOrder sortOrder_;
    int recordSize_ = 0;
    std::size_t size_ = 0;
};

} // namespace dravena::paradox::writer
