#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace dravena::paradox {

// A file opened for reading at explicit offsets. Failures are ParadoxErrors naming the file.
class DataFile {
public:
    explicit DataFile(const std::filesystem::path& path);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    const std::string& name() const { return name_; }
    std::uint64_t size() const { return size_; }

    // Reads up to size bytes at offset; returns how many were read (fewer only at the end).
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t size) const;

private:
    std::string name_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace dravena::paradox
