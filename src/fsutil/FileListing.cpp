#include "FileListing.h"

#include "FileErrors.h"
#include "WildcardPattern.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace dravena {

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

bool isOdd(char32_t code) {
    return code < 32 || (code >= 127 && code <= 159) || code == U'?' || code == 0xFFFD;
}

} // namespace

bool nameBefore(const QString& first, const QString& second) {
    const int folded = first.compare(second, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : first < second;
}

QString pathInFolder(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QStringList namesInFolder(const QString& folder) {
    const Directory directory(::opendir(nativePath(pathInFolder(folder, {})).constData()));
    if (!directory)
        throw fileError(errno, folder, PathRole::Folder);
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory.get());
        if (entry == nullptr)
            break;
        if (entry->d_type != DT_DIR)
            names.append(QFile::decodeName(entry->d_name));
    }
    if (errno != 0)
        throw fileError(errno, folder, PathRole::Folder);
    return names;
}

QStringList ListFiles(const QString& folder, const QString& pattern) {
    const WildcardPattern wanted(pattern);
    QStringList names;
    for (const QString& name : namesInFolder(folder))
        if (wanted.matches(name) && CanOpenFile(pathInFolder(folder, name)))
            names.append(name);
    std::sort(names.begin(), names.end(), nameBefore);
    return names;
}

bool CanOpenFile(const QString& path) {
    const QByteArray native = nativePath(path);
    struct stat info {};
    if (path.isEmpty() || ::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // Non-blocking, so that a FIFO put in place of the file meanwhile cannot hang the scan.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

bool HasOddCharacters(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            ++i; // a character outside the basic plane: fine in UTF-8
            continue;
        }
        if (c.isSurrogate() || isOdd(c.unicode()))
            return true;
    }
    return false;
}

} // namespace dravena
