#include "ProgramFiles.h"

#include "RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dravena {

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

QString installedFilesFolder(const QString& executableFolder) {
    return QDir::cleanPath(executableFolder + u'/' +
                           QStringLiteral(DRAVENA_INSTALLED_FILES_FROM_EXECUTABLE));
}

QString findProgramFile(const QString& executableFolder, const QString& name) {
    const QString beside = executableFolder + u'/' + name;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = installedFilesFolder(executableFolder) + u'/' + name;
    return QFileInfo::exists(installed) ? installed : beside;
}

QString pointerFilePath() {
    return findProgramFile(programFolder(), QStringLiteral("HAND-M.CUR"));
}
QString skinFilePath() {
    return findProgramFile(programFolder(), QStringLiteral("x/o.cjs"));
}

} // namespace dravena
