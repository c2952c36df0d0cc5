#pragma once

#include <QString>

namespace dravena {

// The part of a path after its last "/"; the whole path when it has none.
QString GetFileName(const QString& path);

} // namespace dravena
