#include "DataFile.h"

#include "Field.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dravena::paradox {

DataFile::DataFile(const std::filesystem::path& path) : name_(path.string()) {
    // Non-blocking, so that a named pipe in place of a table cannot stall the open.
    fd_ = ::open(name_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        throw ParadoxError(name_ + ": cannot open: " + std::strerror(errno));
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const std::string reason = S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file";
        ::close(fd_);
        throw ParadoxError(name_ + ": cannot open: " + reason);
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

DataFile::~DataFile() {
    ::close(fd_);
}

std::size_t DataFile::readAt(std::uint64_t offset, void* buffer, std::size_t size) const {
    auto* dst = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, dst + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ParadoxError(name_ + ": read error at byte " + std::to_string(offset + done) +
                               ": " + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

} // namespace dravena::paradox
