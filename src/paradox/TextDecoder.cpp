#include "TextDecoder.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace dravena::paradox {

namespace {

constexpr char replacement[] = "\xEF\xBF\xBD";
constexpr std::size_t replacementLength = 3;

iconv_t invalidConverter() {
    return reinterpret_cast<iconv_t>(-1);
}

bool isMultiByte(const std::string& encoding) {
    static constexpr const char* names[] = {"CP932", "CP936",     "CP949", "CP950",
                                            "GBK",   "SHIFT_JIS", "BIG5",  "EUC-KR"};
    for (const char* name : names) {
        if (encoding == name) {
            return true;
        }
    }
    return false;
}

} // namespace

TextDecoder::TextDecoder(const std::string& encoding) : encoding_(encoding) {
    iconv_t converter = iconv_open("UTF-8", encoding_.c_str());
    if (converter == invalidConverter()) {
        usable_ = false;
        encoding_ = "ISO-8859-1";
        converter = iconv_open("UTF-8", encoding_.c_str());
        if (converter == invalidConverter()) {
            // Without any converter: bytes below 0x80 as they are, the rest replaced.
            for (unsigned b = 0; b < 256; ++b) {
                table_[b].length = 1;
                table_[b].bytes[0] = static_cast<char>(b);
                unmapped_[b] = b >= 0x80;
            }
            return;
        }
    }
    // A character set that iconv finds a byte of cut off is read through iconv whole.
    if ((!usable_ || !isMultiByte(encoding_)) && (buildTable(converter) || !usable_)) {
        iconv_close(converter);
        return;
    }
    singleByte_ = false;
    converter_ = converter;
}

TextDecoder::~TextDecoder() {
    if (converter_ != nullptr) {
        iconv_close(static_cast<iconv_t>(converter_));
    }
}

bool TextDecoder::buildTable(void* converter) {
    auto* cd = static_cast<iconv_t>(converter);
    bool singleByte = true;
    for (unsigned b = 0; b < 256; ++b) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char in = static_cast<char>(b);
        char* inPtr = &in;
        std::size_t inLeft = 1;
        std::array<char, 8> out{};
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (rc == static_cast<std::size_t>(-1) && errno == EINVAL)
            singleByte = false; // the first byte of a longer character
        const std::size_t length = out.size() - outLeft;
        Entry& entry = table_[b];
        if (rc == static_cast<std::size_t>(-1) || length == 0 || length > entry.bytes.size() ||
            (b != 0 && out[0] == 0)) {
            std::memcpy(entry.bytes.data(), replacement, replacementLength);
            entry.length = replacementLength;
            unmapped_[b] = true;
        } else {
            std::memcpy(entry.bytes.data(), out.data(), length);
            entry.length = static_cast<std::uint8_t>(length);
        }
        if (b < 0x80 && (entry.length != 1 || entry.bytes[0] != static_cast<char>(b))) {
            asciiIdentity_ = false;
        }
    }
    return singleByte;
}

void TextDecoder::decode(const std::uint8_t* text, std::size_t size, std::string& out) {
    if (singleByte_) {
        decodeSingleByte(text, size, out);
    } else {
        decodeMultiByte(text, size, out);
    }
}

void TextDecoder::decodeSingleByte(const std::uint8_t* text, std::size_t size, std::string& out) {
    if (asciiIdentity_) {
        // Plain ASCII is copied as it is; test eight bytes at a time for a high bit.
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, text + i, sizeof word);
            if ((word & 0x8080808080808080ull) != 0) {
                break;
            }
        }
        while (i < size && text[i] < 0x80) {
            ++i;
        }
        if (i == size) {
            out.assign(reinterpret_cast<const char*>(text), size);
            return;
        }
    }
    out.resize(size * 3);
    char* dst = out.data();
    for (std::size_t i = 0; i < size; ++i) {
        const Entry& entry = table_[text[i]];
        if (entry.length == 1) {
            *dst++ = entry.bytes[0];
        } else {
            std::memcpy(dst, entry.bytes.data(), entry.length);
            dst += entry.length;
        }
        replaced_ += unmapped_[text[i]] ? 1 : 0;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

void TextDecoder::decodeMultiByte(const std::uint8_t* text, std::size_t size, std::string& out) {
    auto cd = static_cast<iconv_t>(converter_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(size * 4 + 8);
    char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(text));
    std::size_t inLeft = size;
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (rc != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        // An invalid or cut-off sequence: one replacement character per skipped byte.
        if (outLeft < replacementLength) {
            const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
        }
        std::memcpy(outPtr, replacement, replacementLength);
        outPtr += replacementLength;
        outLeft -= replacementLength;
        ++inPtr;
        --inLeft;
        ++replaced_;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
}

} // namespace dravena::paradox
