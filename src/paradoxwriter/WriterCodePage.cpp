#include "WriterCodePage.h"

#include "paradox/Field.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace dravena::paradox {

namespace {

struct CodePageSortOrder {
    int codePage;
    SortOrder order;
    bool dos;
};

constexpr std::array<CodePageSortOrder, 15> sortOrders{{
    {437, {0x00, "ascii"}, true},
    {850, {0x00, "ascii"}, true},
    {737, {0x4A, "grcp437"}, true},
    {852, {0x0D, "czech"}, true},
    {857, {0xC6, "turk"}, true},
    {861, {0xD0, "iceland"}, true},
    {862, {0x7D, "hebrew"}, true},
    {865, {0x82, "nordan"}, true},
    {866, {0xC0, "cyrr"}, true},
    {936, {0x03, "china"}, false},
    {1250, {0xDC, "anczech"}, false},
    {1251, {0x8F, "ancyrr"}, false},
    {1252, {0x62, "ANSIINTL"}, false},
    {1253, {0x0E, "angreek1"}, false},
    {1254, {0xD5, "ANTURK"}, false},
}};

} // namespace

SortOrder sortOrderFor(int codePage, bool dosLevel) {
    for (const auto& entry : sortOrders) {
        if (entry.codePage == codePage && (entry.dos || !dosLevel))
            return entry.order;
    }
    if (dosLevel)
        throw ParadoxError("tables before version 4.0 cannot record code page " +
                           std::to_string(codePage) +
                           " (use a DOS code page such as 437, 850 or 866)");
    return {0x00, "ascii"};
}

CodePageEncoder::CodePageEncoder(int codePage) : codePage_(codePage), handle_(nullptr) {
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = codePage > 0 ? iconv_open(name.c_str(), "UTF-8") : reinterpret_cast<iconv_t>(-1);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw ParadoxError("code page " + std::to_string(codePage) + " is not supported");
    handle_ = cd;
}

CodePageEncoder::~CodePageEncoder() {
    iconv_close(static_cast<iconv_t>(handle_));
}

std::string CodePageEncoder::encode(std::string_view utf8) const {
    std::string out;
    if (utf8.empty())
        return out;
    iconv_t cd = static_cast<iconv_t>(handle_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(utf8.size() * 2 + 8);
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    std::size_t done = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        done = out.size() - outLeft;
        if (rc == static_cast<std::size_t>(-1) && errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (rc == static_cast<std::size_t>(-1) || rc > 0) {
            const std::size_t at = utf8.size() - inLeft;
            throw ParadoxError("text cannot be written in code page " + std::to_string(codePage_) +
                               " (character at byte " + std::to_string(at) +
                               " is not valid UTF-8 or has no equivalent)");
        }
    }
    out.resize(done);
    return out;
}

} // namespace dravena::paradox
