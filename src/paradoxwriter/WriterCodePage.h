#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dravena::paradox {

// The sort order ("language driver") recorded with a table's text.
struct SortOrder {
    std::uint8_t id = 0;   // header byte 0x29
    const char* name = ""; // the id string stored after the field names (4.x and later)
};

// The sort order that goes with a code page. Tables before 4.0 have no code-page field, so for
// them only code pages that a DOS sort order identifies are accepted (ParadoxError otherwise).
SortOrder sortOrderFor(int codePage, bool dosLevel);

// Converts UTF-8 text to a table's code page. Text that the code page cannot hold is refused
// with a ParadoxError rather than written as something else.
class CodePageEncoder {
public:
    explicit CodePageEncoder(int codePage);
    ~CodePageEncoder();
    CodePageEncoder(const CodePageEncoder&) = delete;
    CodePageEncoder& operator=(const CodePageEncoder&) = delete;

    int codePage() const { return codePage_; }
    std::string encode(std::string_view utf8) const;

private:
    int codePage_;
    void* handle_; // iconv_t
};

} // namespace dravena::paradox
