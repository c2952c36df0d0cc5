#pragma once

#include <QString>
#include <QStringList>

namespace dravena {

// Folder attribute values as the scanner sees them: directory 16, read-only 1 (no write
// permission), hidden 2 and system 4 (a name starting with "."), reparse point 1024 (a symbolic
// link). Fails with error 76 when the path cannot be examined.
int folderAttributes(const QString& path);

// True for the root folder of the file system.
bool isRootFolder(const QString& path);

// Extends folders (each entry ending in "/") with the sub-folders below them, breadth first:
// every level when recurse is true, one level otherwise. Hidden system folders (attributes
// exactly 22 or 1046) are neither listed nor entered, names the scanner refuses are skipped,
// an entry whose sub-folders cannot be listed (no permission, gone) is removed, and a folder
// reached again through a symbolic link is listed once. Failures elsewhere are reported.
void GetSubDirectories2016(QStringList& folders, bool recurse);

} // namespace dravena
