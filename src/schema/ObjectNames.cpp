#include "ObjectNames.h"

#include <QSet>

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

namespace {

bool fits(const QString& name, const NameLimit& limit) {
    return (limit.oneBytePerCharacter ? name.size() : name.toUtf8().size()) <= limit.bytes;
}

// The name cut to the limit; the n-th try hashes the name with n appended, so that a cut name
// that meets another can be cut anew. The hash is of the name's UTF-8 whatever the limit counts.
QString cutName(const QString& name, const NameLimit& limit, int attempt) {
    const QByteArray utf8 = name.toUtf8();
    QByteArray hashed = utf8;
    if (attempt > 0)
        hashed += '\0' + QByteArray::number(attempt);
    const QString hash =
        QStringLiteral("_%1").arg(fnv1a(hashed) & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
    const qsizetype room = limit.bytes - hash.size();
    if (!limit.oneBytePerCharacter)
        return utf8Prefix(utf8, room) + hash;
    qsizetype end = std::min(room, name.size());
    if (end > 0 && end < name.size() && name[end].isLowSurrogate())
        --end;
    return name.left(end) + hash;
}

} // namespace

QString fittedName(const QString& name, const NameLimit& limit) {
    return fits(name, limit) ? name : cutName(name, limit, 0);
}

QStringList fittedNames(const QStringList& names, const NameLimit& limit) {
    QStringList fitted;
    QSet<QString> taken;
    for (const QString& name : names)
        if (fits(name, limit))
            taken.insert(name);
    // Names read in a code page that is not theirs can come out alike ("??"): the first keeps
    // its name, a repeat is named as a cut one, so that the table can still be created.
    QSet<QString> given;
    for (const QString& name : names) {
        if (fits(name, limit) && !given.contains(name)) {
            given.insert(name);
            fitted.append(name);
            continue;
        }
        QString cut;
        for (int attempt = 0; cut.isEmpty() || taken.contains(cut); ++attempt)
            cut = cutName(name, limit, attempt);
        taken.insert(cut);
        fitted.append(cut);
    }
    return fitted;
}

QString objectName(const QString& prefix, const QString& table, const QString& detail,
                   const NameLimit& limit) {
    QString name = prefix + u'_' + table;
    if (!detail.isEmpty())
        name += u'_' + detail;
    return fittedName(name, limit);
}

} // namespace dravena
