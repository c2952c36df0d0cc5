#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace dravena {

// A temporary file in the temporary folder that has no name, so that it is gone when it is
// closed (or the process ends): rows put aside on disk so that memory stays small whatever a
// table's size. Written from start to end, then read anywhere. Failures are RuntimeErrors.
class SpillFile {
public:
    SpillFile();
    ~SpillFile();
    SpillFile(SpillFile&& other) noexcept;
    SpillFile& operator=(SpillFile&&) = delete;
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    // Appends the bytes; the offset at which they start.
    std::int64_t write(const void* data, std::size_t size);
    std::int64_t size() const { return size_; }
    // Closes the file now: its space goes back at once.
    void discard();

    // Reads size bytes at offset; rewind() then read(...) without offset reads from the start.
    void readAt(std::int64_t offset, void* data, std::size_t size);
    void rewind();
    // Reads the next size bytes; false at the end of the file.
    bool read(void* data, std::size_t size);

private:
    void toReading();

    std::FILE* file_ = nullptr;
    std::int64_t size_ = 0;
    bool reading_ = false;
};

} // namespace dravena
