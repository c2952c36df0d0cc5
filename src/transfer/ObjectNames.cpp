#include "ObjectNames.h"

#include <QByteArray>

#include <cstdint>

namespace dravena {

namespace {

std::uint32_t fnv1a(const QByteArray& bytes) {
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

QString objectName(const QString& prefix, const QString& table, const QString& detail) {
    QString name = prefix + u'_' + table;
    if (!detail.isEmpty())
        name += u'_' + detail;
    const QByteArray utf8 = name.toUtf8();
    if (utf8.size() <= MaxObjectNameBytes)
        return name;
    const QString hash =
        QStringLiteral("_%1").arg(fnv1a(utf8) & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
    const qsizetype room = MaxObjectNameBytes - hash.size();
    qsizetype cut = room;
    // Back to the start of a character.
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return QString::fromUtf8(utf8.left(cut)) + hash;
}

} // namespace dravena
