#include "FileCopy.h"

#include "FileErrors.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dravena {

namespace {

// A file descriptor that is closed on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and tells whether the close succeeded (write errors can surface here).
    bool close() {
        if (fd_ < 0)
            return true;
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

void writeAll(int out, const char* data, ssize_t size, const QString& to) {
    while (size > 0) {
        const ssize_t written = ::write(out, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw fileError(errno, to, PathRole::NewFile);
        }
        data += written;
        size -= written;
    }
}

// Plain read and write, for file systems where the kernel cannot copy between the files.
void copyByBuffer(int in, int out, const QString& from, const QString& to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw fileError(errno, from, PathRole::ExistingFile);
        }
        if (got == 0)
            return;
        writeAll(out, buffer.data(), got, to);
    }
}

void copyContent(int in, int out, const QString& from, const QString& to) {
    bool kernelCopied = false;
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (copied > 0) {
            kernelCopied = true;
            continue;
        }
        if (copied == 0)
            return;
        if (errno == EINTR)
            continue;
        const bool unsupported =
            errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL;
        if (unsupported && !kernelCopied)
            return copyByBuffer(in, out, from, to);
        throw fileError(errno, to, PathRole::NewFile);
    }
}

void flushFolderOf(const QString& path) {
    const int fd = ::open(nativePath(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void copyToNewFile(const QString& from, const QString& to) {
    // Non-blocking open, so that a FIFO named as the source cannot hang the program.
    Descriptor in(
        ::open(nativePath(from).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (in.get() < 0)
        throw fileError(errno, from, PathRole::ExistingFile);
    struct stat source {};
    if (::fstat(in.get(), &source) != 0)
        throw fileError(errno, from, PathRole::ExistingFile);
    if (!S_ISREG(source.st_mode))
        throw fileError(S_ISDIR(source.st_mode) ? EISDIR : EINVAL, from, PathRole::ExistingFile);
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

    Descriptor out(::open(nativePath(to).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
    if (out.get() < 0)
        throw fileError(errno, to, PathRole::NewFile);
    try {
        copyContent(in.get(), out.get(), from, to);
        if (::fsync(out.get()) != 0)
            throw fileError(errno, to, PathRole::NewFile);
        ::fchmod(out.get(), source.st_mode & 0777);
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        ::futimens(out.get(), times);
        if (!out.close())
            throw fileError(errno, to, PathRole::NewFile);
    } catch (...) {
        out.close();
        ::unlink(nativePath(to).constData());
        throw;
    }
    flushFolderOf(to);
}

} // namespace dravena
