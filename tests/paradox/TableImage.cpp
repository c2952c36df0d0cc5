#include "TableImage.h"

#include "paradox/Cipher.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

namespace dravena::paradox::testing {

namespace {

void le16(std::uint8_t* p, unsigned v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void le32(std::uint8_t* p, std::uint32_t v) {
    le16(p, v & 0xFFFF);
    le16(p + 2, v >> 16);
}

int widthOf(const FieldLayout& f) {
    return f.type == 0x17 ? 17 : f.size;
}

} // namespace

TableImage::TableImage(TableLayout layout) : layout_(std::move(layout)) {}

int TableImage::recordSize() const {
    int sum = 0;
    for (const auto& f : layout_.fields) {
        sum += widthOf(f);
    }
    return sum;
}

int TableImage::fieldOffset(std::size_t field) const {
    int sum = 0;
    for (std::size_t i = 0; i < field; ++i) {
        sum += widthOf(layout_.fields[i]);
    }
    return sum;
}

std::uint16_t TableImage::headerSize() const {
    if (layout_.headerSize != 0) {
        return layout_.headerSize;
    }
    if (layout_.versionByte == 0x03) {
        return static_cast<std::uint16_t>(header(0, 0).size());
    }
    return 2048;
}

std::size_t TableImage::blockOffset(std::uint16_t block) const {
    return headerSize() + static_cast<std::size_t>(block - 1) * blockSize();
}

ByteVector TableImage::header(std::uint32_t numRecords, std::uint16_t blocks) const {
    const bool extended = layout_.versionByte >= 5;
    const std::size_t n = layout_.fields.size();
    ByteVector h(0x58 + (extended ? 0x20 : 0), 0);
    le16(&h[0x00], static_cast<unsigned>(recordSize()));
    h[0x04] = layout_.fileType;
    h[0x05] = static_cast<std::uint8_t>(layout_.blockKiB);
    le32(&h[0x06], numRecords);
    le16(&h[0x0A], blocks);
    le16(&h[0x0C], blocks);
    le16(&h[0x0E], blocks > 0 ? 1 : 0);
    le16(&h[0x10], blocks);
    le16(&h[0x21], static_cast<unsigned>(n));
    h[0x29] = layout_.sortOrder;
    h[0x39] = layout_.versionByte;
    le16(&h[0x3A], blocks);
    if (extended) {
        le32(&h[0x25], 0xFF00FF00u);
        le16(&h[0x58], 0x0100u + layout_.versionByte);
        le16(&h[0x5A], 0x0100u + layout_.versionByte);
        le32(&h[0x5C], layout_.key);
        le16(&h[0x64], static_cast<unsigned>(n + 1));
        le16(&h[0x6A], layout_.codePage);
        h[0x56] = 0x20;
    } else {
        le32(&h[0x25], layout_.key);
    }
    for (const auto& f : layout_.fields) {
        h.push_back(f.type);
        h.push_back(f.size);
    }
    h.resize(h.size() + 4 + 4 * n, 0);
    const std::size_t nameArea = layout_.versionByte >= 0x0C ? 261 : 79;
    const std::string tableName = "TEST.DB";
    const std::size_t areaStart = h.size();
    h.resize(areaStart + nameArea, 0);
    std::memcpy(&h[areaStart], tableName.data(), tableName.size());
    for (const auto& f : layout_.fields) {
        h.insert(h.end(), f.name.begin(), f.name.end());
        h.push_back(0);
    }
    if (extended) {
        for (std::size_t i = 0; i < n; ++i) {
            h.push_back(static_cast<std::uint8_t>(i + 1));
            h.push_back(0);
        }
        h.insert(h.end(), layout_.sortOrderId.begin(), layout_.sortOrderId.end());
        h.push_back(0);
        le16(&h[0x51], static_cast<unsigned>(h.size()));
    }
    const std::uint16_t size = layout_.headerSize != 0 ? layout_.headerSize
                                                       : (layout_.versionByte == 0x03
                                                              ? static_cast<std::uint16_t>(h.size())
                                                              : std::uint16_t{2048});
    if (h.size() > size) {
        throw std::logic_error("the header does not fit its size");
    }
    h.resize(size, 0);
    le16(&h[0x02], size);
    return h;
}

ByteVector TableImage::build(int perBlock) const {
    const int rs = recordSize();
    const int fit = static_cast<int>((blockSize() - 6) / static_cast<unsigned>(rs));
    const int per = perBlock > 0 ? std::min(perBlock, fit) : fit;
    const std::size_t blocks =
        (records.size() + static_cast<std::size_t>(per) - 1) / static_cast<std::size_t>(per);
    ByteVector file =
        header(static_cast<std::uint32_t>(records.size()), static_cast<std::uint16_t>(blocks));
    for (std::size_t b = 0; b < blocks; ++b) {
        ByteVector block(blockSize(), 0);
        const std::size_t first = b * static_cast<std::size_t>(per);
        const std::size_t count = std::min(records.size() - first, static_cast<std::size_t>(per));
        le16(&block[0], b + 1 < blocks ? static_cast<unsigned>(b + 2) : 0);
        le16(&block[2], static_cast<unsigned>(b));
        le16(&block[4], static_cast<unsigned>((static_cast<int>(count) - 1) * rs) & 0xFFFF);
        for (std::size_t r = 0; r < count; ++r) {
            std::memcpy(&block[6 + r * static_cast<std::size_t>(rs)], records[first + r].data(),
                        static_cast<std::size_t>(rs));
        }
        if (layout_.key != 0) {
            const Cipher cipher(layout_.key);
            for (std::uint32_t j = 0; j * Cipher::chunkSize < block.size(); ++j) {
                cipher.encryptBlockChunk(&block[j * Cipher::chunkSize],
                                         static_cast<std::uint32_t>(b + 1), j);
            }
        }
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

MemoImage::MemoImage() : data(4096, 0) {
    data[0] = 0;
    le16(&data[1], 1);
    le16(&data[0x0B], 0x1000);
    le16(&data[0x0D], 0x1000);
    data[0x10] = 0x10;
    le16(&data[0x11], 0x40);
    le16(&data[0x13], 0x800);
}

std::uint32_t MemoImage::addSingle(const ByteVector& value, std::uint16_t modification) {
    const auto offset = static_cast<std::uint32_t>(data.size());
    const std::size_t units = (9 + value.size() + 4095) / 4096;
    ByteVector block(units * 4096, 0);
    block[0] = 2;
    le16(&block[1], static_cast<unsigned>(units));
    le32(&block[3], static_cast<std::uint32_t>(value.size()));
    le16(&block[7], modification);
    std::copy(value.begin(), value.end(), block.begin() + 9);
    data.insert(data.end(), block.begin(), block.end());
    return offset | 0xFF;
}

std::vector<std::uint32_t> MemoImage::addSubAllocated(const std::vector<ByteVector>& values) {
    const auto offset = static_cast<std::uint32_t>(data.size());
    ByteVector block(4096, 0);
    block[0] = 3;
    le16(&block[1], 1);
    std::size_t unit = 21;
    std::vector<std::uint32_t> refs;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ByteVector& v = values[i];
        const unsigned slot = 63 - static_cast<unsigned>(i);
        const std::size_t units = (v.size() + 15) / 16;
        if ((unit + units) * 16 > 4096) {
            throw std::logic_error("values do not fit one sub-allocated block");
        }
        std::uint8_t* entry = &block[12 + 5 * slot];
        entry[0] = static_cast<std::uint8_t>(unit);
        entry[1] = static_cast<std::uint8_t>(units);
        le16(entry + 2, 1);
        entry[4] = static_cast<std::uint8_t>(v.size() - (units - 1) * 16);
        std::copy(v.begin(), v.end(), block.begin() + static_cast<std::ptrdiff_t>(unit * 16));
        unit += units;
        refs.push_back(offset | slot);
    }
    data.insert(data.end(), block.begin(), block.end());
    return refs;
}

std::uint32_t MemoImage::addFree(std::uint16_t units) {
    const auto offset = static_cast<std::uint32_t>(data.size());
    ByteVector block(units * 4096u, 0xAB);
    block[0] = 4;
    le16(&block[1], units);
    data.insert(data.end(), block.begin(), block.end());
    return offset;
}

ByteVector MemoImage::bytes(std::uint32_t key) const {
    ByteVector out = data;
    if (key != 0) {
        const Cipher cipher(key);
        for (std::size_t i = 0; i < out.size(); i += Cipher::chunkSize) {
            cipher.encryptMemoChunk(&out[i]);
        }
    }
    return out;
}

void putShort(std::uint8_t* p, int value) {
    const auto raw = static_cast<std::uint16_t>(static_cast<std::uint16_t>(value) ^ 0x8000u);
    p[0] = static_cast<std::uint8_t>(raw >> 8);
    p[1] = static_cast<std::uint8_t>(raw);
}

void putLong(std::uint8_t* p, std::int32_t value) {
    const std::uint32_t raw = static_cast<std::uint32_t>(value) ^ 0x80000000u;
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(raw >> (24 - 8 * i));
    }
}

void putDouble(std::uint8_t* p, double value) {
    std::uint64_t raw = std::bit_cast<std::uint64_t>(value);
    raw = (raw >> 63) != 0 ? ~raw : raw | (std::uint64_t{1} << 63);
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<std::uint8_t>(raw >> (56 - 8 * i));
    }
}

void putText(std::uint8_t* p, const std::string& text) {
    std::memcpy(p, text.data(), text.size());
}

void putBlob(std::uint8_t* p, int width, const ByteVector& value, std::uint32_t ref,
             const ByteVector& leaderBytes) {
    const std::size_t leader = static_cast<std::size_t>(width) - 10;
    std::memcpy(p, leaderBytes.data(), std::min(leader, leaderBytes.size()));
    le32(p + leader, ref);
    le32(p + leader + 4, static_cast<std::uint32_t>(value.size()));
    le16(p + leader + 8, ref != 0 ? 1 : 0);
}

void writeFile(const std::filesystem::path& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

ByteVector readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("dravena-paradox-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace dravena::paradox::testing
