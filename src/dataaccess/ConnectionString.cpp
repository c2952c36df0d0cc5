#include "ConnectionString.h"

namespace dravena {

QString connectionStringPart(const QString& value) {
    if (!value.contains(u';') && !value.startsWith(u'{'))
        return value;
    QString braced = value;
    braced.replace(u'}', QStringLiteral("}}"));
    return u'{' + braced + u'}';
}

QString connectionStringValue(const QString& connectionString, const QString& key) {
    const QStringView text(connectionString);
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf(u'=', pos);
        if (eq < 0)
            break;
        const QStringView name = text.mid(pos, eq - pos).trimmed();
        QString value;
        qsizetype end = eq + 1;
        if (end < text.size() && text[end] == u'{') {
            // Braced: up to the first "}" that is not doubled.
            for (++end; end < text.size(); ++end) {
                if (text[end] == u'}') {
                    if (end + 1 < text.size() && text[end + 1] == u'}') {
                        value += u'}';
                        ++end;
                        continue;
                    }
                    ++end;
                    break;
                }
                value += text[end];
            }
            const qsizetype semi = text.indexOf(u';', end);
            end = semi < 0 ? text.size() : semi;
        } else {
            const qsizetype semi = text.indexOf(u';', end);
            const qsizetype stop = semi < 0 ? text.size() : semi;
            value = text.mid(end, stop - end).toString();
            end = stop;
        }
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
        pos = end + 1;
    }
    return {};
}

bool isParadoxConnectionString(const QString& connectionString) {
    return connectionStringValue(connectionString, QStringLiteral("Driver"))
               .compare(QString::fromLatin1(ParadoxDriverName), Qt::CaseInsensitive) == 0;
}

} // namespace dravena
