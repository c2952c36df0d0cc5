#include "SpillFile.h"

#include "base/RuntimeError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <utility>

#include <stdlib.h>
#include <unistd.h>

namespace dravena {

namespace {

[[noreturn]] void fail(const char* what) {
    const int error = errno;
    throw RuntimeError(error == ENOSPC ? errnum::DiskFull : errnum::PathFileAccess,
                       QStringLiteral("%1 a temporary file failed: %2")
                           .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

// The file is made in the temporary folder ($TMPDIR, else /tmp) and its name removed at once.
SpillFile::SpillFile() {
    QByteArray name = QFile::encodeName(QDir::tempPath() + QStringLiteral("/dravena-rows-XXXXXX"));
    const int fd = mkstemp(name.data());
    if (fd < 0)
        fail("creating");
    unlink(name.constData());
    file_ = fdopen(fd, "w+b");
    if (!file_) {
        close(fd);
        fail("creating");
    }
}

SpillFile::~SpillFile() {
    if (file_)
        std::fclose(file_);
}

SpillFile::SpillFile(SpillFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), size_(other.size_), reading_(other.reading_) {}

void SpillFile::discard() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
}

std::int64_t SpillFile::write(const void* data, std::size_t size) {
    if (reading_) {
        if (fseeko(file_, 0, SEEK_END) != 0)
            fail("writing");
        reading_ = false;
    }
    if (size > 0 && std::fwrite(data, 1, size, file_) != size)
        fail("writing");
    const std::int64_t at = size_;
    size_ += static_cast<std::int64_t>(size);
    return at;
}

void SpillFile::toReading() {
    if (!reading_ && std::fflush(file_) != 0)
        fail("writing");
    reading_ = true;
}

void SpillFile::readAt(std::int64_t offset, void* data, std::size_t size) {
    toReading();
    if (fseeko(file_, offset, SEEK_SET) != 0 || std::fread(data, 1, size, file_) != size)
        fail("reading");
}

void SpillFile::rewind() {
    toReading();
    if (fseeko(file_, 0, SEEK_SET) != 0)
        fail("reading");
}

bool SpillFile::read(void* data, std::size_t size) {
    toReading();
    const std::size_t got = std::fread(data, 1, size, file_);
    if (got == size)
        return true;
    if (std::ferror(file_))
        fail("reading");
    return false;
}

} // namespace dravena
