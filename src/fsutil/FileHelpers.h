#pragma once

#include <QString>

namespace dravena {

// The part of a path after its last "/"; the whole path when it has none, "" when it ends in "/".
QString GetFileName(const QString& path);

// True when the path's modification time can be read (a file or a folder); never fails.
bool FileExists(const QString& path);

// True when the path names a folder (links followed); false when missing or unreadable.
bool IsFolder(const QString& path);

// Lets pending window events run, then deletes exactly the file at the path, with a forced second
// attempt. Never fails and never tells whether the file is gone.
void RemoveFile(const QString& path);

// Deletes the file at the path, read-only or not. Raises 53 (missing, or a folder), 76 (folder
// missing), 70 (no permission) or 75 (any other failure).
void ForceDeleteFile(const QString& path);

// Renames a file by copying it to the new path and then removing the old one, under a reporting
// trap (line 100 the copy, line 102 the removal). The old file is removed only when the copy is
// complete; an existing file at the new path is never replaced. Never fails outward.
void RenameFile(const QString& oldPath, const QString& newPath);

} // namespace dravena
