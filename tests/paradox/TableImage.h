#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Hand-assembled Paradox files for tests: every byte is laid out here, independently of the
// engine's writer, so that tests can also build damaged and unusual files.
namespace dravena::paradox::testing {

using ByteVector = std::vector<std::uint8_t>;

struct FieldLayout {
    std::uint8_t type = 0x01;
    std::uint8_t size = 10; // the descriptor's size byte (decimal places for BCD)
    std::string name;       // bytes in the table's code page
};

struct TableLayout {
    std::uint8_t versionByte = 0x0C;
    std::uint8_t fileType = 2;
    unsigned blockKiB = 2;
    std::uint16_t codePage = 1252;
    std::uint8_t sortOrder = 0x62;
    std::string sortOrderId = "ANSIINTL";
    std::uint16_t headerSize = 0; // 0: 2048 (the end of the names for version 3.0)
    std::uint32_t key = 0;        // encryption key, 0 = plain
    std::vector<FieldLayout> fields;
};

class TableImage {
public:
    explicit TableImage(TableLayout layout);

    int recordSize() const;
    int fieldOffset(std::size_t field) const;
    ByteVector blankRecord() const { return ByteVector(static_cast<std::size_t>(recordSize())); }
    void addRecord(ByteVector record) { records.push_back(std::move(record)); }

    // Header plus blocks chained 1, 2, ... in order, each holding up to perBlock records
    // (0 = as many as fit), encrypted when the layout has a key.
    ByteVector build(int perBlock = 0) const;
    ByteVector header(std::uint32_t numRecords, std::uint16_t blocks) const;
    std::uint32_t blockSize() const { return layout_.blockKiB * 1024u; }
    std::uint16_t headerSize() const;
    std::size_t blockOffset(std::uint16_t block) const;

    std::vector<ByteVector> records;

private:
    TableLayout layout_;
};

// The .MB file: the header block, then blocks appended in order.
class MemoImage {
public:
    MemoImage();
    // A single-blob block; returns the reference to store in the record.
    std::uint32_t addSingle(const ByteVector& value, std::uint16_t modification = 1);
    // A sub-allocated block holding the values in slots 63, 62, ...; returns their references.
    std::vector<std::uint32_t> addSubAllocated(const std::vector<ByteVector>& values);
    // A free block of the given number of 4 KiB units; returns its offset.
    std::uint32_t addFree(std::uint16_t units);
    ByteVector bytes(std::uint32_t key = 0) const;

    ByteVector data;
};

// Value encodings of the record.
void putShort(std::uint8_t* p, int value);
void putLong(std::uint8_t* p, std::int32_t value);
void putDouble(std::uint8_t* p, double value);
void putText(std::uint8_t* p, const std::string& text);
// Leader (first bytes of the value) and the 10-byte tail of a memo/BLOB field of width bytes.
void putBlob(std::uint8_t* p, int width, const ByteVector& value, std::uint32_t ref,
             const ByteVector& leaderBytes);

void writeFile(const std::filesystem::path& path, const ByteVector& bytes);
ByteVector readFile(const std::filesystem::path& path);

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace dravena::paradox::testing
