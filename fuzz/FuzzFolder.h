#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// The folder a fuzz target writes its table files into: DRAVENA_FUZZ_TMP (scripts/fuzz-paradox
// makes and removes it), else one per process under /dev/shm or the temporary folder.
inline const std::filesystem::path& fuzzFolder(const char* name) {
    static const std::filesystem::path folder = [name] {
        namespace fs = std::filesystem;
        if (const char* given = std::getenv("DRAVENA_FUZZ_TMP"); given != nullptr && *given != 0) {
            return fs::path(given);
        }
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path f = base / (std::string(name) + "-" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}
