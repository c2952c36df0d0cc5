#include "WriterHeader.h"

#include "WriterValues.h"

#include <cstring>

namespace dravena::paradox::writer {

HeaderBuilder::HeaderBuilder(const TableLevel& level, const std::vector<FieldLayout>& fields,
                             std::string codedTableName, int codePage, int blockSizeKiB)
    : level_(level), fields_(fields), tableName_(std::move(codedTableName)), codePage_(codePage),
      blockSizeKiB_(blockSizeKiB), sortOrder_(sortOrderFor(codePage, !level.extendedHeader)) {
    for (const auto& field : fields_)
        recordSize_ += field.bytes;
    if (tableName_.size() >= static_cast<std::size_t>(level_.tableNameArea))
        tableName_.resize(static_cast<std::size_t>(level_.tableNameArea) - 1);
    std::vector<std::uint8_t> probe(0x10000);
    const std::size_t used = putVariablePart(probe);
    size_ = level_.compactHeader ? used : (used + 2047) / 2048 * 2048;
}

std::size_t HeaderBuilder::variablePartStart() const {
    return level_.extendedHeader ? 0x78 : 0x58;
}

std::size_t HeaderBuilder::putVariablePart(std::vector<std::uint8_t>& out) const {
    const std::size_t n = fields_.size();
    std::size_t at = variablePartStart();
    for (const auto& field : fields_) {
        out[at++] = static_cast<std::uint8_t>(field.field.type);
        out[at++] = static_cast<std::uint8_t>(field.field.size);
    }
    at += 4 + 4 * n; // pointers that only mean something in memory
    std::memcpy(&out[at], tableName_.data(), tableName_.size());
    at += static_cast<std::size_t>(level_.tableNameArea);
    for (const auto& field : fields_) {
        std::memcpy(&out[at], field.codedName.data(), field.codedName.size());
        at += field.codedName.size() + 1;
    }
    if (level_.extendedHeader) {
        for (std::size_t i = 0; i < n; ++i, at += 2)
            putLittle16(&out[at], static_cast<std::uint16_t>(i + 1));
        const std::size_t idLength = std::strlen(sortOrder_.name);
        std::memcpy(&out[at], sortOrder_.name, idLength);
        at += idLength + 1;
    }
    return at;
}

std::vector<std::uint8_t> HeaderBuilder::build(const HeaderCounts& counts) const {
    std::vector<std::uint8_t> out(size_ < 0x10000 ? 0x10000 : size_);
    const std::size_t end = putVariablePart(out);
    out.resize(size_);
    std::uint8_t* h = out.data();
    putLittle16(h + 0x00, static_cast<std::uint16_t>(recordSize_));
    putLittle16(h + 0x02, static_cast<std::uint16_t>(size_));
    h[0x04] = 2; // unkeyed data file
    h[0x05] = static_cast<std::uint8_t>(blockSizeKiB_);
    putLittle32(h + 0x06, counts.records);
    putLittle16(h + 0x0A, counts.blocks);
    putLittle16(h + 0x0C, counts.blocks);
    putLittle16(h + 0x0E, counts.blocks > 0 ? 1 : 0);
    putLittle16(h + 0x10, counts.blocks);
    putLittle16(h + 0x21, static_cast<std::uint16_t>(fields_.size()));
    h[0x29] = sortOrder_.id;
    h[0x39] = level_.versionByte;
    putLittle16(h + 0x3A, counts.blocks);
    h[0x3E] = 0x1F;
    h[0x3F] = 0x0F;
    if (level_.extendedHeader) {
        putLittle32(h + 0x25, 0xFF00FF00u);
        putLittle32(h + 0x49, counts.autoIncrement);
        putLittle16(h + 0x51, static_cast<std::uint16_t>(end));
        h[0x56] = 0x20;
        const auto fileVersion = static_cast<std::uint16_t>(0x0100 + level_.versionByte);
        putLittle16(h + 0x58, fileVersion);
        putLittle16(h + 0x5A, fileVersion);
        putLittle16(h + 0x64, static_cast<std::uint16_t>(fields_.size() + 1));
        putLittle16(h + 0x6A, static_cast<std::uint16_t>(codePage_));
    }
    return out;
}

} // namespace dravena::paradox::writer
