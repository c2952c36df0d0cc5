#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace dravena::paradox {

// Converts text from a table's character set to UTF-8. Single-byte character sets go through
// a 256-entry table built once; multi-byte ones through iconv. Bytes that have no character are
// replaced by U+FFFD and counted, so one bad byte never costs the row.
class TextDecoder {
public:
    // An encoding that iconv does not know falls back to ISO-8859-1, which keeps every byte
    // recoverable; usable() then is false.
    explicit TextDecoder(const std::string& encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    bool usable() const { return usable_; }
    const std::string& encoding() const { return encoding_; }

    // Replaces the contents of out with the UTF-8 form of size bytes at text.
    void decode(const std::uint8_t* text, std::size_t size, std::string& out);

    // Bytes replaced so far because they have no character in the encoding.
    std::uint64_t replacedBytes() const { return replaced_; }

private:
    struct Entry {
        std::uint8_t length = 0;
        std::array<char, 3> bytes{};
    };
    void decodeSingleByte(const std::uint8_t* text, std::size_t size, std::string& out);
    void decodeMultiByte(const std::uint8_t* text, std::size_t size, std::string& out);
    // False when the character set has characters of more than one byte.
    bool buildTable(void* converter);

    std::string encoding_;
    bool usable_ = true;
    bool singleByte_ = true;
    bool asciiIdentity_ = true;
    void* converter_ = nullptr; // iconv_t for multi-byte encodings
    std::array<Entry, 256> table_{};
    std::array<bool, 256> unmapped_{};
    std::uint64_t replaced_ = 0;
};

} // namespace dravena::paradox
