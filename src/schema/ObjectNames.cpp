#include "ObjectNames.h"

#include <algorithm>

namespace dravena {

std::uint32_t fnv1a(const QByteArray& bytes) {
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

QString utf8Prefix(const QByteArray& utf8, qsizetype most) {
    qsizetype end = std::min(most, utf8.size());
    while (end > 0 && end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end; // not in the middle of a character
    return QString::fromUtf8(utf8.left(end));
}

QString objectName(const QString& prefix, const QString& table, const QString& detail) {
    QString name = prefix + u'_' + table;
    if (!detail.isEmpty())
        name += u'_' + detail;
    const QByteArray utf8 = name.toUtf8();
    if (utf8.size() <= MaxObjectNameBytes)
        return name;
    const QString hash =
        QStringLiteral("_%1").arg(fnv1a(utf8) & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
    return utf8Prefix(utf8, MaxObjectNameBytes - hash.size()) + hash;
}

} // namespace dravena
