#include "BlockChain.h"

#include "ByteOrder.h"
#include "Cipher.h"
#include "DataFile.h"
#include "Field.h"
#include "TableHeader.h"
#include "Warnings.h"

#include <array>
#include <bitset>

namespace dravena::paradox {

namespace {

constexpr std::size_t blockHeaderSize = 6;

} // namespace

std::uint64_t BlockChain::blockOffset(const TableHeader& header, std::uint32_t number) {
    return header.headerSize + static_cast<std::uint64_t>(number - 1) * header.blockSize;
}

BlockChain BlockChain::walk(const DataFile& file, const TableHeader& header, const Cipher* cipher,
                            Warnings& warnings) {
    BlockChain chain;
    const std::string prefix = file.name() + ": damaged block chain: ";
    const auto fail = [&](const std::string& what) { throw ParadoxError(prefix + what); };

    if (header.fileBlocks == 0 || header.firstBlock == 0) {
        if (header.numRecords != 0) {
            warnings.add(file.name() + ": the header counts " + std::to_string(header.numRecords) +
                         " records but the table has no " + "data blocks");
        }
        return chain;
    }
    const std::uint64_t dataBytes = file.size() - header.headerSize;
    const std::uint64_t physical = (dataBytes + header.blockSize - 1) / header.blockSize;
    const std::uint64_t maxPerBlock = (header.blockSize - blockHeaderSize) / header.recordSize;

    std::bitset<65536> visited;
    std::array<std::uint8_t, Cipher::chunkSize> buf{};
    std::uint32_t previous = 0;
    std::uint32_t number = header.firstBlock;
    while (number != 0) {
        const std::string which = "block " + std::to_string(number);
        if (number > physical) {
            fail(which + " lies beyond the end of the file (" + std::to_string(physical) +
                 " blocks)");
        }
        if (number > header.fileBlocks) {
            fail(which + " exceeds the header's " + std::to_string(header.fileBlocks) + " blocks");
        }
        if (visited.test(number)) {
            fail(which + " is reached twice (the chain loops)");
        }
        visited.set(number);

        const std::uint64_t offset = blockOffset(header, number);
        const std::uint64_t present =
            std::min<std::uint64_t>(header.blockSize, file.size() - offset);
        const std::size_t want = cipher != nullptr ? Cipher::chunkSize : blockHeaderSize;
        if (present < want) {
            fail(which + " is cut off after " + std::to_string(present) + " bytes");
        }
        file.readAt(offset, buf.data(), want);
        if (cipher != nullptr) {
            cipher->decryptBlockChunk(buf.data(), number, 0);
        }
        const std::uint32_t next = bytes::le16(&buf[0]);
        const std::uint32_t back = bytes::le16(&buf[2]);
        const auto lastOffset = static_cast<std::int16_t>(bytes::le16(&buf[4]));

        std::uint64_t count = 0;
        if (lastOffset >= 0) {
            if (lastOffset % header.recordSize != 0) {
                fail(which + ": last record offset " + std::to_string(lastOffset) +
                     " is not a multiple of the record size " + std::to_string(header.recordSize));
            }
            count = static_cast<std::uint64_t>(lastOffset) / header.recordSize + 1;
            if (count > maxPerBlock) {
                fail(which + ": " + std::to_string(count) + " records do not fit a block");
            }
            std::uint64_t needed = blockHeaderSize + count * header.recordSize;
            if (cipher != nullptr) {
                needed = (needed + Cipher::chunkSize - 1) / Cipher::chunkSize * Cipher::chunkSize;
            }
            if (needed > present) {
                fail(which + ": " + std::to_string(count) + " records need " +
                     std::to_string(needed) + " bytes, the file holds " + std::to_string(present));
            }
        } else if (lastOffset != -static_cast<int>(header.recordSize)) {
            warnings.add(file.name() + ": " + which + " has the odd empty marker " +
                         std::to_string(lastOffset));
        }
        if (back != previous) {
            warnings.once("previous", file.name() + ": " + which + " names block " +
                                          std::to_string(back) + " as its predecessor, not " +
                                          std::to_string(previous));
        }
        chain.blocks_.push_back(
            {static_cast<std::uint16_t>(number), static_cast<std::uint16_t>(count)});
        chain.records_ += count;
        previous = number;
        number = next;
    }

    if (previous != header.lastBlock) {
        warnings.add(file.name() + ": the chain ends at block " + std::to_string(previous) +
                     ", the header names block " + std::to_string(header.lastBlock));
    }
    if (chain.blocks_.size() != header.usedBlocks) {
        warnings.add(file.name() + ": the chain has " + std::to_string(chain.blocks_.size()) +
                     " blocks, the header counts " + std::to_string(header.usedBlocks));
    }
    if (chain.records_ != header.numRecords) {
        warnings.add(file.name() + ": the blocks hold " + std::to_string(chain.records_) +
                     " records, the header counts " + std::to_string(header.numRecords));
    }
    return chain;
}

} // namespace dravena::paradox
