#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace dravena::paradox::writer {

// A file being written under a temporary name beside its final place. It appears under its
// final name only when committed, so a writer that fails half-way never leaves a broken table
// (or replaces a good one). Every failure is a ParadoxError naming the file.
class WriterFile {
public:
    explicit WriterFile(const std::filesystem::path& target);
    ~WriterFile(); // removes the temporary file unless committed
    WriterFile(const WriterFile&) = delete;
    WriterFile& operator=(const WriterFile&) = delete;

    const std::filesystem::path& target() const { return target_; }
    std::uint64_t size() const { return size_; }

    void append(const void* data, std::size_t bytes);
    void writeAt(std::uint64_t offset, const void* data, std::size_t bytes);

    // Closes the file and gives it its final name; replaceExisting = false refuses to replace a
    // file that appeared there in the meantime.
    void commit(bool replaceExisting);

private:
    [[noreturn]] void fail(const char* what) const;

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    bool committed_ = false;
};

} // namespace dravena::paradox::writer
