#pragma once

#include "WriterFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace dravena::paradox::writer {

// Writes a .MB file: the header block, then values of up to 2048 bytes packed into
// sub-allocated 4 KiB blocks (64 slots each) and longer values in blocks of their own.
class BlobFileWriter {
public:
    explicit BlobFileWriter(const std::filesystem::path& mbFile);

    // Stores a value (1 byte or more) and returns the reference for the record's tail:
    // block offset | slot index (0xFF for a block of its own).
    std::uint32_t store(std::string_view value);

    // Writes the pending block and the header, then gives the file its final name.
    void commit(bool replaceExisting);

    const std::filesystem::path& target() const { return file_.target(); }

    static constexpr std::uint16_t modification = 1;

private:
    struct SubBlock {
        std::uint64_t offset = 0;
        int nextSlot = 63; // slots are handed out from 63 downwards
        int nextUnit = 21; // data starts after the slot table, in 16-byte units
        std::array<std::uint8_t, 4096> bytes{};
    };

    std::uint32_t storeOwnBlock(std::string_view value);
    std::uint32_t storeSubAllocated(std::string_view value);
    void flushSubBlock();
    std::uint64_t reserve(std::uint64_t blocks);

    WriterFile file_;
    std::uint64_t end_ = 4096; // the header block comes first
    bool haveSubBlock_ = false;
    SubBlock sub_;
    // Sub-allocated blocks with room left, for the header's free-space list.
    std::vector<std::pair<std::uint64_t, int>> freeUnits_;
};

} // namespace dravena::paradox::writer
