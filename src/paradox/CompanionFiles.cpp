#include "CompanionFiles.h"

#include <algorithm>
#include <cctype>

namespace dravena::paradox {

bool sameLettersIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::vector<std::filesystem::path>
companionFiles(const std::filesystem::path& dbFile,
               const std::function<bool(const std::string&)>& wanted) {
    const std::string stem = dbFile.stem().string();
    const std::filesystem::path folder =
        dbFile.has_parent_path() ? dbFile.parent_path() : std::filesystem::path(".");
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::filesystem::path& path = it->path();
        std::string extension = path.extension().string();
        if (extension.size() < 2 || !sameLettersIgnoringCase(path.stem().string(), stem)) {
            continue;
        }
        extension.erase(0, 1);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (wanted(extension) && it->is_regular_file(ec)) {
            found.push_back(path);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace dravena::paradox
