#pragma once

#include <QString>

namespace dravena {

// The folder that holds the program file, as the platform reports it.
QString programFolder();

// The folder an installed copy keeps the files shipped with it in, for a program in
// `executableFolder` (share/dravena beside the installed bin folder).
QString installedFilesFolder(const QString& executableFolder);

// Where the shipped file or folder `name` of a program in `executableFolder` lies: beside the
// executable (as in the build folder), else in the installed files folder. When neither holds
// it, the path beside the executable, so that whatever reports its absence names that place.
QString findProgramFile(const QString& executableFolder, const QString& name);

QString pointerFilePath(); // HAND-M.CUR of the program
QString skinFilePath();    // x/o.cjs of the program

} // namespace dravena
