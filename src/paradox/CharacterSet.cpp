#include "CharacterSet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace dravena::paradox {

namespace {

constexpr int dosDefault = 437;

// Sort-order ids of Paradox language drivers and the code page of their text.
constexpr std::array<std::pair<std::string_view, int>, 30> sortOrderIds{{
    {"ascii", dosDefault}, {"intl", 437},      {"intl850", 850},   {"nordan", 865},
    {"nordan40", 865},     {"swedfin", 437},   {"cyrr", 866},      {"czech", 852},
    {"polish", 852},       {"hun852dc", 852},  {"slovene", 852},   {"turk", 857},
    {"iceland", 861},      {"hebrew", 862},    {"grcp437", 737},   {"spanish", 437},
    {"thai", 874},         {"china", 936},     {"ansiintl", 1252}, {"ansii850", 1252},
    {"ansispan", 1252},    {"ansiswfn", 1252}, {"dbwinwe0", 1252}, {"dbwinus0", 1252},
    {"anturk", 1254},      {"ancyrr", 1251},   {"anczech", 1250},  {"angreek1", 1253},
    {"anpolish", 1250},    {"blrom800", -1},
}};

// Sort-order numbers of Paradox for DOS, the only clue in 3.x tables.
constexpr std::array<std::pair<std::uint8_t, int>, 18> dosSortOrders{{
    {0x00, dosDefault},
    {0xB7, 437},
    {0x54, 850},
    {0x82, 865},
    {0xE6, 865},
    {0xF0, 437},
    {0xC0, 866},
    {0x0D, 852},
    {0x8F, 852},
    {0xB1, 852},
    {0xFC, 852},
    {0xC6, 857},
    {0xD0, 861},
    {0x7D, 862},
    {0x4A, 737},
    {0x16, 437},
    {0xA6, 874},
    {0x14, -1},
}};

std::string lowerCase(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

struct ChosenCharacterSets {
    std::string all;
    std::map<std::string, std::string> byTable; // by upper-case table name
};

ChosenCharacterSets& chosen() {
    static ChosenCharacterSets sets;
    return sets;
}

std::string upperCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string encodingFor(int codePage) {
    return codePage == -1 ? std::string("HP-ROMAN8") : encodingForCodePage(codePage);
}

} // namespace

std::string encodingForCodePage(int codePage) {
    if (codePage <= 0) {
        return {};
    }
    return "CP" + std::to_string(codePage);
}

CharacterSetChoice characterSetForTable(int codePage, std::uint8_t sortOrder,
                                        std::string_view sortOrderId, bool hasSortOrderId) {
    if (codePage > 0) {
        return {encodingForCodePage(codePage), false};
    }
    if (hasSortOrderId) {
        const std::string id = lowerCase(sortOrderId);
        for (const auto& [name, page] : sortOrderIds) {
            if (name == id) {
                return {encodingFor(page), true};
            }
        }
    }
    for (const auto& [number, page] : dosSortOrders) {
        if (number == sortOrder) {
            return {encodingFor(page), true};
        }
    }
    return {encodingFor(dosDefault), true, true};
}

void chooseCharacterSets(std::string all, std::map<std::string, std::string> byTable) {
    chosen().all = std::move(all);
    chosen().byTable.clear();
    for (auto& [table, encoding] : byTable)
        chosen().byTable[upperCase(table)] = std::move(encoding);
}

CharacterSetChoice characterSetForFile(const std::filesystem::path& dbFile, int codePage,
                                       std::uint8_t sortOrder, std::string_view sortOrderId,
                                       bool hasSortOrderId) {
    const ChosenCharacterSets& sets = chosen();
    const auto own = sets.byTable.find(upperCase(dbFile.stem().string()));
    if (own != sets.byTable.end())
        return {own->second, false};
    if (!sets.all.empty())
        return {sets.all, false};
    return characterSetForTable(codePage, sortOrder, sortOrderId, hasSortOrderId);
}

} // namespace dravena::paradox
