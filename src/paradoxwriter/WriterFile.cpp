#include "WriterFile.h"

#include "paradox/Field.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <unistd.h>

namespace dravena::paradox::writer {

namespace {

// Unique among the files this process writes at the same time, and among processes.
std::string temporarySuffix() {
    static std::atomic<unsigned> counter{0};
    return ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

} // namespace

WriterFile::WriterFile(const std::filesystem::path& target)
    : target_(target), temporary_(target.string() + temporarySuffix()) {
    file_ = std::fopen(temporary_.c_str(), "w+b");
    if (file_ == nullptr)
        fail("cannot create");
}

WriterFile::~WriterFile() {
    if (file_ != nullptr)
        std::fclose(file_);
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

void WriterFile::fail(const char* what) const {
    throw ParadoxError(target_.string() + ": " + what + ": " + std::strerror(errno));
}

void WriterFile::append(const void* data, std::size_t bytes) {
    writeAt(size_, data, bytes);
}

void WriterFile::writeAt(std::uint64_t offset, const void* data, std::size_t bytes) {
    if (file_ == nullptr) {
        errno = EBADF;
        fail("cannot write after closing");
    }
    if (::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0)
        fail("cannot seek");
    if (bytes > 0 && std::fwrite(data, 1, bytes, file_) != bytes)
        fail("cannot write");
    size_ = std::max(size_, offset + bytes);
}

void WriterFile::commit(bool replaceExisting) {
    const bool flushed = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (!flushed || closed != 0)
        fail("cannot write");
    if (replaceExisting) {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
            fail("cannot create");
    } else {
        // A hard link fails when the name exists, so nothing is ever replaced by accident.
        if (::link(temporary_.c_str(), target_.c_str()) == 0) {
            ::unlink(temporary_.c_str());
        } else {
            // Some file systems have no hard links; check, then rename.
            if (errno == EEXIST || std::filesystem::exists(target_)) {
                errno = EEXIST;
                fail("cannot create");
            }
            if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
                fail("cannot create");
        }
    }
    committed_ = true;
}

} // namespace dravena::paradox::writer
