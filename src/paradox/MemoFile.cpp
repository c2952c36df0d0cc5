#include "MemoFile.h"

#include "CompanionFiles.h"

#include "ByteOrder.h"
#include "Cipher.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <system_error>

namespace dravena::paradox {

namespace {

constexpr std::uint64_t unit = 4096;
constexpr std::uint8_t singleBlobType = 2;
constexpr std::uint8_t subAllocatedType = 3;
constexpr std::size_t singleBlobHead = 9;
constexpr unsigned slotCount = 64;
constexpr unsigned slotTable = 12;
constexpr unsigned firstDataUnit = 21;

} // namespace

std::optional<std::filesystem::path> MemoFile::locate(const std::filesystem::path& dbFile) {
    std::filesystem::path exact = dbFile;
    exact.replace_extension(".MB");
    std::error_code ec;
    if (std::filesystem::is_regular_file(exact, ec)) {
        return exact;
    }
    const std::string wanted = dbFile.stem().string() + ".mb";
    const std::filesystem::path folder =
        dbFile.has_parent_path() ? dbFile.parent_path() : std::filesystem::path(".");
    std::filesystem::path caseMatch;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name == dbFile.stem().string() + ".mb") {
            return it->path();
        }
        if (caseMatch.empty() && sameLettersIgnoringCase(name, wanted)) {
            caseMatch = it->path();
        }
    }
    if (!caseMatch.empty()) {
        return caseMatch;
    }
    return std::nullopt;
}

MemoFile::MemoFile(const std::filesystem::path& path, const Cipher* cipher)
    : file_(path), cipher_(cipher) {}

bool MemoFile::readRange(std::uint64_t offset, std::size_t size, std::uint8_t* out) {
    if (offset > file_.size() || size > file_.size() - offset) {
        return false;
    }
    if (cipher_ == nullptr) {
        return file_.readAt(offset, out, size) == size;
    }
    // Encrypted files decrypt in whole 256-byte chunks.
    const std::uint64_t first = offset / Cipher::chunkSize * Cipher::chunkSize;
    const std::uint64_t end =
        (offset + size + Cipher::chunkSize - 1) / Cipher::chunkSize * Cipher::chunkSize;
    if (end > file_.size()) {
        return false;
    }
    scratch_.resize(static_cast<std::size_t>(end - first));
    if (file_.readAt(first, scratch_.data(), scratch_.size()) != scratch_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < scratch_.size(); i += Cipher::chunkSize) {
        cipher_->decryptMemoChunk(scratch_.data() + i);
    }
    std::memcpy(out, scratch_.data() + (offset - first), size);
    return true;
}

bool MemoFile::read(std::uint32_t blobRef, std::uint32_t length, Bytes& out, std::string& fault) {
    const std::uint64_t offset = blobRef & 0xFFFFFF00u;
    const unsigned slot = blobRef & 0xFFu;
    if (offset == 0) {
        fault = "the value points at the file's header block";
        return false;
    }
    if (offset % unit != 0) {
        fault = "the value points inside a block (byte " + std::to_string(offset) + ")";
        return false;
    }
    // Values one after another mostly share a sub-allocated block: the one in hand needs no read.
    if (offset == subBlockOffset_ && slot < slotCount) {
        return readSubAllocated(offset, slot, length, out, fault);
    }
    std::uint8_t head[3];
    if (!readRange(offset, sizeof head, head)) {
        fault = "the value points past the end of the file (byte " + std::to_string(offset) + ")";
        return false;
    }
    if (head[0] == singleBlobType && slot == 0xFF) {
        return readSingle(offset, length, out, fault);
    }
    if (head[0] == subAllocatedType && slot < slotCount) {
        return readSubAllocated(offset, slot, length, out, fault);
    }
    fault = "the value points at a block of type " + std::to_string(head[0]) + " (slot " +
            std::to_string(slot) + ") at byte " + std::to_string(offset);
    return false;
}

bool MemoFile::readSingle(std::uint64_t offset, std::uint32_t length, Bytes& out,
                          std::string& fault) {
    std::uint8_t head[singleBlobHead];
    if (!readRange(offset, sizeof head, head)) {
        fault = "block at byte " + std::to_string(offset) + " is cut off";
        return false;
    }
    const std::uint64_t units = bytes::le16(head + 1);
    const std::uint32_t stored = bytes::le32(head + 3);
    if (stored != length) {
        fault = "block at byte " + std::to_string(offset) + " holds " + std::to_string(stored) +
                " bytes, the record says " + std::to_string(length);
        return false;
    }
    if (singleBlobHead + std::uint64_t{length} > units * unit) {
        fault = "block at byte " + std::to_string(offset) + " is too small for its value";
        return false;
    }
    if (offset + singleBlobHead + length > file_.size()) {
        fault = "value at byte " + std::to_string(offset) + " runs past the end of the file";
        return false;
    }
    out.resize(length);
    if (!readRange(offset + singleBlobHead, length, out.data())) {
        fault = "value at byte " + std::to_string(offset) + " cannot be read in full";
        return false;
    }
    return true;
}

bool MemoFile::readSubAllocated(std::uint64_t offset, unsigned slot, std::uint32_t length,
                                Bytes& out, std::string& fault) {
    if (subBlockOffset_ != offset) {
        subBlock_.resize(unit);
        if (!readRange(offset, unit, subBlock_.data())) {
            subBlockOffset_ = 0;
            fault = "block at byte " + std::to_string(offset) + " is cut off";
            return false;
        }
        subBlockOffset_ = offset;
    }
    const std::uint8_t* entry = subBlock_.data() + slotTable + 5 * slot;
    const unsigned start = entry[0];
    const unsigned units = entry[1];
    const unsigned lastBytes = entry[4];
    const auto where = [&] {
        return "slot " + std::to_string(slot) + " of the block at byte " + std::to_string(offset);
    };
    if (start == 0) {
        fault = where() + " is free (the value was deleted)";
        return false;
    }
    if (start < firstDataUnit || units < 1 || lastBytes < 1 || lastBytes > 16) {
        fault = where() + " is damaged";
        return false;
    }
    const std::uint64_t stored = (units - 1) * 16u + lastBytes;
    if (stored != length || start * 16u + stored > unit) {
        fault = where() + " holds " + std::to_string(stored) + " bytes, the record says " +
                std::to_string(length);
        return false;
    }
    out.assign(subBlock_.data() + start * 16u, subBlock_.data() + start * 16u + stored);
    return true;
}

} // namespace dravena::paradox
