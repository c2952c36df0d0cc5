#include "WriterBlobFile.h"

#include "WriterValues.h"
#include "paradox/Field.h"

#include <cstring>

namespace dravena::paradox::writer {

namespace {

constexpr std::uint64_t blockBytes = 4096;
constexpr std::size_t ownBlockThreshold = 2048;
constexpr int unitsPerBlock = 256;

} // namespace

BlobFileWriter::BlobFileWriter(const std::filesystem::path& mbFile) : file_(mbFile) {
    const std::array<std::uint8_t, blockBytes> zeros{};
    file_.append(zeros.data(), zeros.size());
}

std::uint64_t BlobFileWriter::reserve(std::uint64_t blocks) {
    const std::uint64_t offset = end_;
    end_ += blocks * blockBytes;
    if (end_ > 0xFFFFFF00u)
        throw ParadoxError(file_.target().string() + ": the memo file would exceed 4 GiB");
    return offset;
}

std::uint32_t BlobFileWriter::store(std::string_view value) {
    if (value.size() > ownBlockThreshold)
        return storeOwnBlock(value);
    return storeSubAllocated(value);
}

std::uint32_t BlobFileWriter::storeOwnBlock(std::string_view value) {
    const std::uint64_t blocks = (9 + value.size() + blockBytes - 1) / blockBytes;
    if (blocks > 0xFFFF)
        throw ParadoxError("a value of " + std::to_string(value.size()) +
                           " bytes is too long for the memo file");
    const std::uint64_t offset = reserve(blocks);
    std::array<std::uint8_t, 9> head{};
    head[0] = 2;
    putLittle16(&head[1], static_cast<std::uint16_t>(blocks));
    putLittle32(&head[3], static_cast<std::uint32_t>(value.size()));
    putLittle16(&head[7], modification);
    file_.writeAt(offset, head.data(), head.size());
    file_.writeAt(offset + head.size(), value.data(), value.size());
    const std::uint64_t used = head.size() + value.size();
    const std::array<std::uint8_t, blockBytes> zeros{};
    file_.writeAt(offset + used, zeros.data(), blocks * blockBytes - used);
    return static_cast<std::uint32_t>(offset) | 0xFF;
}

std::uint32_t BlobFileWriter::storeSubAllocated(std::string_view value) {
    const int units = static_cast<int>((value.size() + 15) / 16);
    if (haveSubBlock_ && (sub_.nextSlot < 0 || sub_.nextUnit + units > unitsPerBlock))
        flushSubBlock();
    if (!haveSubBlock_) {
        sub_ = SubBlock{};
        sub_.offset = reserve(1);
        sub_.bytes[0] = 3;
        putLittle16(&sub_.bytes[1], 1);
        haveSubBlock_ = true;
    }
    const int slot = sub_.nextSlot--;
    std::uint8_t* entry = &sub_.bytes[12 + 5 * static_cast<std::size_t>(slot)];
    entry[0] = static_cast<std::uint8_t>(sub_.nextUnit);
    entry[1] = static_cast<std::uint8_t>(units);
    putLittle16(entry + 2, modification);
    entry[4] = static_cast<std::uint8_t>(value.size() - static_cast<std::size_t>(units - 1) * 16);
    std::memcpy(&sub_.bytes[static_cast<std::size_t>(sub_.nextUnit) * 16], value.data(),
                value.size());
    sub_.nextUnit += units;
    return static_cast<std::uint32_t>(sub_.offset) | static_cast<std::uint32_t>(slot);
}

void BlobFileWriter::flushSubBlock() {
    file_.writeAt(sub_.offset, sub_.bytes.data(), sub_.bytes.size());
    if (sub_.nextUnit < unitsPerBlock && sub_.nextSlot >= 0)
        freeUnits_.emplace_back(sub_.offset, unitsPerBlock - sub_.nextUnit);
    haveSubBlock_ = false;
}

void BlobFileWriter::commit(bool replaceExisting) {
    if (haveSubBlock_)
        flushSubBlock();
    std::array<std::uint8_t, blockBytes> header{};
    header[0] = 0;
    putLittle16(&header[1], 1);
    putLittle16(&header[3], modification);
    constexpr std::uint8_t unknown[] = {0x82, 0x73, 0x02, 0x00, 0x29, 0x00};
    std::memcpy(&header[5], unknown, sizeof unknown);
    putLittle16(&header[0x0B], 0x1000);
    putLittle16(&header[0x0D], 0x1000);
    header[0x10] = 0x10;
    putLittle16(&header[0x11], 0x0040);
    putLittle16(&header[0x13], 0x0800);
    header[0x29] = 0xA1;
    header[0x2A] = 0x02;
    // Free-space list: sub-allocated blocks with room left, tagged 2, ended by a zero entry.
    std::size_t at = 0x38;
    for (const auto& [offset, units] : freeUnits_) {
        if (at + 12 > header.size())
            break;
        putLittle32(&header[at], static_cast<std::uint32_t>(offset) | 2);
        putLittle16(&header[at + 4], static_cast<std::uint16_t>(units));
        at += 6;
    }
    file_.writeAt(0, header.data(), header.size());
    file_.commit(replaceExisting);
}

} // namespace dravena::paradox::writer
