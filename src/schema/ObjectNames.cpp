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

// The name cut to mostBytes; the n-th try hashes the name with n appended, so that a cut name
// that meets another can be cut anew.
QString cutName(const QByteArray& utf8, int mostBytes, int attempt) {
    QByteArray hashed = utf8;
    if (attempt > 0)
        hashed += '\0' + QByteArray::number(attempt);
    const QString hash =
        QStringLiteral("_%1").arg(fnv1a(hashed) & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
    return utf8Prefix(utf8, mostBytes - hash.size()) + hash;
}

} // namespace

QString fittedName(const QString& name, int mostBytes) {
    const QByteArray utf8 = name.toUtf8();
    return utf8.size() <= mostBytes ? name : cutName(utf8, mostBytes, 0);
}

QStringList fittedNames(const QStringList& names, int mostBytes) {
    QStringList fitted;
    QSet<QString> taken;
    for (const QString& name : names)
        if (name.toUtf8().size() <= mostBytes)
            taken.insert(name);
    for (const QString& name : names) {
        const QByteArray utf8 = name.toUtf8();
        if (utf8.size() <= mostBytes) {
            fitted.append(name);
            continue;
        }
        QString cut;
        for (int attempt = 0; cut.isEmpty() || taken.contains(cut); ++attempt)
            cut = cutName(utf8, mostBytes, attempt);
        taken.insert(cut);
        fitted.append(cut);
    }
    return fitted;
}

QString objectName(const QString& prefix, const QString& table, const QString& detail) {
    QString name = prefix + u'_' + table;
    if (!detail.isEmpty())
        name += u'_' + detail;
    return fittedName(name);
}

} // namespace dravena
