#include "FileHelpers.h"

#include "FileCopy.h"
#include "FileErrors.h"
#include "base/LocationTags.h"
#include "base/Ports.h"
#include "base/Trap.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace dravena {

namespace {

bool statPath(const QString& path, struct stat& info) {
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &info) == 0;
}

} // namespace

QString GetFileName(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

bool FileExists(const QString& path) {
    struct stat info {};
    return statPath(path, info);
}

bool IsFolder(const QString& path) {
    struct stat info {};
    return statPath(path, info) && S_ISDIR(info.st_mode);
}

void RemoveFile(const QString& path) {
    yieldToEventLoop();
    try {
        if (!path.isEmpty() && ::unlink(nativePath(path).constData()) == 0)
            return;
        ForceDeleteFile(path);
    } catch (...) {
        // The caller is never told: a file that cannot be deleted simply stays.
    }
}

void ForceDeleteFile(const QString& path) {
    const QByteArray native = nativePath(path);
    struct stat info {};
    if (path.isEmpty() || ::lstat(native.constData(), &info) != 0)
        throw fileError(path.isEmpty() ? ENOENT : errno, path, PathRole::ExistingFile);
    if (S_ISDIR(info.st_mode))
        throw RuntimeError(errnum::FileNotFound, QStringLiteral("File not found: ") + path);
    // Here a file's own write permission never blocks its deletion (only its folder's does), so
    // a read-only file needs nothing more than the deletion itself.
    if (::unlink(native.constData()) != 0)
        throw fileError(errno, path, PathRole::ExistingFile);
}

void RenameFile(const QString& oldPath, const QString& newPath) {
    Trap trap(tags::MainRenameFile);
    bool copied = false;
    trap.step(100, [&] {
        copyToNewFile(oldPath, newPath);
        copied = true;
    });
    // Without a complete copy the old file holds the only copy of the data: it stays.
    if (copied)
        trap.step(102, [&] { RemoveFile(oldPath); });
}

} // namespace dravena
