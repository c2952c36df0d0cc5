#include "SchemaBytes.h"

#include "ByteOrder.h"
#include "DataFile.h"
#include "Field.h"

#include <algorithm>
#include <cstdio>

namespace dravena::paradox {

SchemaBytes::SchemaBytes(const std::filesystem::path& path, std::size_t limit) {
    const DataFile file(path);
    name_ = file.name();
    bytes_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), limit)));
    bytes_.resize(file.readAt(0, bytes_.data(), bytes_.size()));
}

void SchemaBytes::fail(const std::string& what) const {
    throw ParadoxError(name_ + ": " + what);
}

const std::uint8_t* SchemaBytes::at(std::size_t offset, std::size_t length,
                                    const char* what) const {
    if (offset > bytes_.size() || length > bytes_.size() - offset) {
        fail(std::string(what) + " at byte " + std::to_string(offset) + " runs past the end (" +
             std::to_string(bytes_.size()) + " bytes)");
    }
    return bytes_.data() + offset;
}

std::uint8_t SchemaBytes::u8(std::size_t offset, const char* what) const {
    return *at(offset, 1, what);
}

std::uint16_t SchemaBytes::u16(std::size_t offset, const char* what) const {
    return bytes::le16(at(offset, 2, what));
}

std::uint32_t SchemaBytes::u32(std::size_t offset, const char* what) const {
    return bytes::le32(at(offset, 4, what));
}

std::string SchemaBytes::cString(std::size_t offset, std::size_t area, const char* what) const {
    const std::size_t available = offset < bytes_.size() ? bytes_.size() - offset : 0;
    const std::uint8_t* p = at(offset, std::min(area, available), what);
    const std::size_t length = std::min(area, available);
    const auto* end = std::find(p, p + length, std::uint8_t{0});
    if (end == p + length) {
        fail(std::string(what) + " at byte " + std::to_string(offset) + " is not terminated");
    }
    return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));
}

std::string hexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

} // namespace dravena::paradox
