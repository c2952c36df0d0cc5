#include "SampleCopy.h"

#include "FileCopy.h"
#include "FileErrors.h"
#include "base/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>

namespace dravena {

namespace {

// Copies the folder's files and sub-folders into the existing, empty folder `to`.
void copyTree(const QString& from, const QString& to) {
    const QFileInfoList entries =
        QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString target = to + u'/' + entry.fileName();
        if (entry.isDir() && !entry.isSymLink()) {
            if (!QDir().mkdir(target))
                throw fileError(errno, target, PathRole::Folder);
            copyTree(entry.filePath(), target);
        } else if (entry.isFile()) {
            copyToNewFile(entry.filePath(), target);
        }
    }
}

// Makes `copy` a copy of the folder `from`: built in a temporary folder beside it and renamed to
// its name only when complete. A copy that another run made meanwhile is kept.
void copyFolderOnce(const QString& from, const QString& copy) {
    const QString parent = QFileInfo(copy).path();
    if (!QDir().mkpath(parent))
        throw fileError(EACCES, parent, PathRole::Folder);
    QTemporaryDir building(copy + QStringLiteral(".partial-XXXXXX"));
    if (!building.isValid())
        throw fileError(EACCES, parent, PathRole::Folder);
    copyTree(from, building.path());
    if (std::rename(nativePath(building.path()).constData(), nativePath(copy).constData()) != 0 &&
        !QFileInfo(copy).isDir())
        throw fileError(errno, copy, PathRole::Folder);
}

} // namespace

QString sampleFolderForUser(const QString& executableFolder, const QString& userDataFolder) {
    const QString beside = executableFolder + QStringLiteral("/Samples");
    const QString installed = installedFilesFolder(executableFolder) + QStringLiteral("/Samples");
    if (QFileInfo::exists(beside) || !QFileInfo(installed).isDir())
        return beside;
    if (userDataFolder.isEmpty())
        throw fileError(ENOENT, QStringLiteral("$XDG_DATA_HOME"), PathRole::Folder);
    const QString copy = userDataFolder + QStringLiteral("/dravena/Samples");
    if (!QFileInfo(copy).isDir())
        copyFolderOnce(installed, copy);
    return copy;
}

QString sampleFolderForUser() {
    return sampleFolderForUser(
        programFolder(), QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

} // namespace dravena
