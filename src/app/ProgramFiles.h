#pragma once

#include <QCursor>
#include <QIcon>
#include <QString>

namespace dravena {

// The folder that holds the program file, as the platform reports it.
QString programFolder();
QString pointerFilePath();  // HAND-M.CUR beside the program
QString skinFilePath();     // x/o.cjs beside the program
QString sampleFolderPath(); // Samples beside the program

// The icon both main windows show.
QIcon applicationIcon();

// Loads a standard cursor file (image and hot spot); fails with error 75 when it cannot be read.
QCursor loadPointerFile(const QString& path);

} // namespace dravena
