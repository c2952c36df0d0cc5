#pragma once

#include <QString>

namespace dravena {

// Copies the regular file `from` to the new file `to`, keeping its permissions and modification
// time, and flushes the copy to disk. It never replaces an existing file (error 58). When the
// copy fails part-way, the partial file is removed and the error is raised; `from` is never
// touched.
void copyToNewFile(const QString& from, const QString& to);

} // namespace dravena
