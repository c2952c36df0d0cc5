#pragma once

#include "base/RuntimeError.h"

#include <QByteArray>
#include <QString>

namespace dravena {

// What a failing path was meant to be; it decides how "no such entry" is told.
enum class PathRole {
    ExistingFile, // a file that should be there: "File not found" unless its folder is missing
    NewFile,      // a file about to be created: a missing entry means its folder is missing
    Folder,       // a folder: "Path not found"
};

// The runtime error for a failed file-system call (errno value), naming the path.
RuntimeError fileError(int errnoValue, const QString& path, PathRole role);

// The bytes the operating system takes for a path.
QByteArray nativePath(const QString& path);

} // namespace dravena
