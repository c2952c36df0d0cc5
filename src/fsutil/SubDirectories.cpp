#include "SubDirectories.h"

#include "FileHelpers.h"
#include "FileListing.h"
#include "base/LocationTags.h"
#include "base/ObjectRef.h"
#include "base/Ports.h"
#include "base/RuntimeError.h"
#include "base/Trap.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dravena {

namespace {

constexpr int HiddenSystemFolder = 22;
constexpr int LinkedHiddenSystemFolder = 1046;
constexpr int PathLimit = 260;

using FolderIdentity = std::pair<dev_t, ino_t>;
using VisitedFolders = std::set<FolderIdentity>;

[[noreturn]] void throwForErrno(int error, const QString& path) {
    if (error == EACCES || error == EPERM)
        throw RuntimeError(errnum::PermissionDenied, QStringLiteral("Permission denied: ") + path);
    throw RuntimeError(errnum::PathNotFound, QStringLiteral("Path not found: ") + path);
}

bool scanned(const QString& path) {
    const int attributes = folderAttributes(path);
    return (attributes != HiddenSystemFolder && attributes != LinkedHiddenSystemFolder) ||
           isRootFolder(path);
}

// The folder object of a path (line 112 of the scan): the path itself, when it names a folder.
QString getFolder(const QString& path) {
    if (!IsFolder(path))
        throw RuntimeError(errnum::PathNotFound, QStringLiteral("Path not found: ") + path);
    return path;
}

// The names of the sub-folders of a folder, sorted so that scans are repeatable.
QStringList subFolderNames(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = opendir(path.constData());
    if (dir == nullptr)
        throwForErrno(errno, folder);
    QStringList names;
    while (const dirent* entry = readdir(dir)) {
        QByteArray child = path + entry->d_name;
        struct stat info {};
        if (stat(child.constData(), &info) == 0 && S_ISDIR(info.st_mode))
            names.push_back(QFile::decodeName(entry->d_name));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// True the first time a folder (followed through links) is scanned.
bool firstVisit(const QString& folder, VisitedFolders& visited) {
    struct stat info {};
    if (stat(QFile::encodeName(folder).constData(), &info) != 0)
        return true;
    return visited.insert({info.st_dev, info.st_ino}).second;
}

void scanFolders(QStringList& folders, bool recurse, VisitedFolders& visited) {
    Trap trap(tags::AddFolderGetSubDirectories2016);
    QStringList found;
    const QStringList entries = folders;
    trap.line(106);
    for (const QString& folder : entries) {
        if (!trap.test(108, [&] { return IsFolder(folder); }))
            continue;
        if (!trap.test(110, [&] { return folder.size() < PathLimit; }))
            continue;
        ObjectRef<const QString> folderObject;
        trap.step(112, [&] { folderObject = std::make_unique<const QString>(getFolder(folder)); });
        trap.step(114, [] { yieldToEventLoop(); });
        if (!trap.test(116, [&] { return scanned(*folderObject); }))
            continue;
        // A folder met again through a symbolic link is neither listed twice nor entered again.
        if (!firstVisit(folder, visited)) {
            folders.removeOne(folder);
            continue;
        }
        try {
            trap.line(118);
            for (const QString& name : subFolderNames(folder)) {
                yieldToEventLoop();
                if (name.size() >= PathLimit || HasOddCharacters(name) || name.contains(u'?') ||
                    name == u"." || name == u"..")
                    continue;
                found.push_back(folder + name + u'/');
            }
        } catch (const RuntimeError& e) {
            // A folder that cannot be listed is dropped; its siblings are still scanned.
            if (e.number() == errnum::PermissionDenied || e.number() == errnum::PathNotFound)
                folders.removeOne(folder);
        } catch (...) {
        }
    }
    if (recurse && !found.isEmpty())
        trap.step(150, [&] { scanFolders(found, true, visited); });
    trap.line(152);
    for (const QString& folder : std::as_const(found)) {
        if (!trap.test(154, [&] { return IsFolder(folder); }))
            continue;
        trap.step(156, [] { yieldToEventLoop(); });
        if (trap.test(158, [&] { return scanned(folder); }))
            trap.step(160, [&] { folders.push_back(folder); });
    }
}

} // namespace

int folderAttributes(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    const QByteArray native = QFile::encodeName(trimmed);
    struct stat self {};
    if (lstat(native.constData(), &self) != 0)
        throwForErrno(errno, path);
    const bool isLink = S_ISLNK(self.st_mode);
    struct stat target = self;
    if (isLink && stat(native.constData(), &target) != 0)
        throwForErrno(errno, path);
    int attributes = 0;
    if (S_ISDIR(target.st_mode))
        attributes |= 16;
    if (access(native.constData(), W_OK) != 0)
        attributes |= 1;
    if (QFileInfo(trimmed).fileName().startsWith(u'.'))
        attributes |= 2 | 4;
    if (isLink)
        attributes |= 1024;
    return attributes;
}

bool isRootFolder(const QString& path) {
    QString trimmed = path;
    while (trimmed.endsWith(u'/'))
        trimmed.chop(1);
    return trimmed.isEmpty();
}

void GetSubDirectories2016(QStringList& folders, bool recurse) {
    VisitedFolders visited;
    scanFolders(folders, recurse, visited);
}

} // namespace dravena
