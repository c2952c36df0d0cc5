#pragma once

#include <QString>
#include <QStringList>

namespace dravena {

// The bare names of the files in `folder` (with or without a trailing "/") that match the
// wildcard `pattern` without regard to letter case and that CanOpenFile can open, hidden ones
// included, folders never. Sorted by name, letter case ignored. A folder that cannot be listed
// raises 76 (missing), 70 (no permission) or 75.
QStringList ListFiles(const QString& folder, const QString& pattern);

// The names in the folder (with or without a trailing "/") that the system does not mark as
// folders, in the system's order. A folder that cannot be listed raises 76, 70 or 75.
QStringList namesInFolder(const QString& folder);

// The order of file names in listings: letter case ignored, names that differ only in letter case
// in byte order.
bool nameBefore(const QString& first, const QString& second);

// The path of a name in a folder given with or without a trailing "/".
QString pathInFolder(const QString& folder, const QString& name);

// True when the path names a regular file that can be opened for reading; never fails.
bool CanOpenFile(const QString& path);

// True when the name holds a character that the folder scanner refuses: a control character
// (below 32, or 127 to 159), "?", or a character that cannot be written as UTF-8 text (an unpaired
// surrogate, or the replacement character that stands for undecodable bytes).
bool HasOddCharacters(const QString& name);

} // namespace dravena
