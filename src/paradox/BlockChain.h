#pragma once

#include <cstdint>
#include <vector>

namespace dravena::paradox {

class Cipher;
class DataFile;
class Warnings;
struct TableHeader;

// One block of the record chain and the number of records it holds.
struct ChainBlock {
    std::uint16_t number = 0;
    std::uint16_t count = 0;
};

// The chain of data blocks of a table, walked once from the header's first block along the
// "next" words, reading only each block's header. Every block number is checked against the
// file and the header; a loop, a block outside the file or a record count that does not fit its
// block is a ParadoxError ("<file>: damaged block chain: ..."). At most 65535 entries.
class BlockChain {
public:
    static BlockChain walk(const DataFile& file, const TableHeader& header, const Cipher* cipher,
                           Warnings& warnings);

    const std::vector<ChainBlock>& blocks() const { return blocks_; }
    std::uint64_t recordCount() const { return records_; }

    static std::uint64_t blockOffset(const TableHeader& header, std::uint32_t number);

private:
    std::vector<ChainBlock> blocks_;
    std::uint64_t records_ = 0;
};

} // namespace dravena::paradox
