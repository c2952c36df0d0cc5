#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace dravena::paradox {

// The bytes of a small companion file (.PX header, index header, .VAL), read whole up to a
// limit. Every access is checked: reading past the end is a ParadoxError naming the file and
// what was being read, so a damaged file can only ever cost its own warning.
class SchemaBytes {
public:
    SchemaBytes(const std::filesystem::path& path, std::size_t limit);

    const std::string& name() const { return name_; }
    std::size_t size() const { return bytes_.size(); }

    std::uint8_t u8(std::size_t offset, const char* what) const;
    std::uint16_t u16(std::size_t offset, const char* what) const;
    std::uint32_t u32(std::size_t offset, const char* what) const;
    // The bytes at offset, which must lie within the file.
    const std::uint8_t* at(std::size_t offset, std::size_t length, const char* what) const;
    // A NUL-terminated string starting at offset that ends within `area` bytes.
    std::string cString(std::size_t offset, std::size_t area, const char* what) const;

    [[noreturn]] void fail(const std::string& what) const;

private:
    std::string name_;
    std::vector<std::uint8_t> bytes_;
};

// "0x2E": a byte as messages show it.
std::string hexByte(unsigned value);

} // namespace dravena::paradox
