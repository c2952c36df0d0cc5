#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace dravena::paradox {

// The iconv name of a Windows/DOS code page number ("CP850"), "" for 0.
std::string encodingForCodePage(int codePage);

// The character set of a table's text. Tables from 4.0 on name their code page; when they do
// not (code page 0), and in 3.x tables, the sort order (its id string, else its number) is the
// only clue. A sort order that says nothing about the characters ("ascii") gives the DOS default
// CP437. `guessed` tells whether the answer came from the sort order; `withoutClue` that not even
// the sort order is known, so the DOS default was taken blindly.
struct CharacterSetChoice {
    std::string encoding;
    bool guessed = false;
    bool withoutClue = false;
};
CharacterSetChoice characterSetForTable(int codePage, std::uint8_t sortOrder,
                                        std::string_view sortOrderId, bool hasSortOrderId);

// The character sets the user chose (dravena-cli --code-page), as iconv names them ("CP1251"):
// `all` for every table ("" for each table's own), `byTable` by table name (a file name without
// its extension, any letter case) for single tables. Chosen once before any table is read; the
// tables window chooses none and reads each table's own.
void chooseCharacterSets(std::string all, std::map<std::string, std::string> byTable);

// The character set of the table file's text: the one chosen for it, else characterSetForTable.
CharacterSetChoice characterSetForFile(const std::filesystem::path& dbFile, int codePage,
                                       std::uint8_t sortOrder, std::string_view sortOrderId,
                                       bool hasSortOrderId);

} // namespace dravena::paradox
