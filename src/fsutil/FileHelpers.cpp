#include "FileHelpers.h"

namespace dravena {

QString GetFileName(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace dravena
