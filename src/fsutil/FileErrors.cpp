#include "FileErrors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace dravena {

namespace {

RuntimeError named(int number, const char* description, const QString& path) {
    return RuntimeError(number, QString::fromLatin1(description) + QStringLiteral(": ") + path);
}

bool folderOfExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

} // namespace

RuntimeError fileError(int errnoValue, const QString& path, PathRole role) {
    switch (errnoValue) {
    case ENOENT:
        if (role == PathRole::ExistingFile && folderOfExists(path))
            return named(errnum::FileNotFound, "File not found", path);
        return named(errnum::PathNotFound, "Path not found", path);
    case ENOTDIR:
    case ELOOP:
        return named(errnum::PathNotFound, "Path not found", path);
    case EACCES:
    case EPERM:
    case EROFS:
        return named(errnum::PermissionDenied, "Permission denied", path);
    case EEXIST:
        return named(errnum::FileAlreadyExists, "File already exists", path);
    case ENOSPC:
    case EDQUOT:
        return named(errnum::DiskFull, "Disk full", path);
    default:
        return RuntimeError(
            errnum::PathFileAccess,
            QStringLiteral("Path/File access error: ") + path + QStringLiteral(" (") +
                QString::fromLocal8Bit(std::strerror(errnoValue)) + QStringLiteral(")"));
    }
}

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace dravena
