#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dravena::paradox {

// The files beside a table file that share its base name (letter case ignored) and whose
// lower-cased extension, without the dot, satisfies `wanted`; sorted by name.
std::vector<std::filesystem::path>
companionFiles(const std::filesystem::path& dbFile,
               const std::function<bool(const std::string&)>& wanted);

// Whether two names are equal with ASCII letter case ignored.
bool sameLettersIgnoringCase(const std::string& a, const std::string& b);

} // namespace dravena::paradox
