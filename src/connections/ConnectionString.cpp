#include "ConnectionString.h"

namespace dravena {

QString connectionStringValue(const QString& connectionString, const QString& key) {
    qsizetype pos = 0;
    const qsizetype n = connectionString.size();
    while (pos < n) {
        const qsizetype eq = connectionString.indexOf(u'=', pos);
        if (eq < 0)
            break;
        const QString name = connectionString.mid(pos, eq - pos).trimmed();
        qsizetype valueStart = eq + 1;
        qsizetype end;
        QString value;
        if (valueStart < n && connectionString.at(valueStart) == u'{') {
            const qsizetype close = connectionString.indexOf(u'}', valueStart + 1);
            end = close < 0 ? n : close + 1;
            value = connectionString.mid(valueStart + 1, (close < 0 ? n : close) - valueStart - 1);
            const qsizetype semi = connectionString.indexOf(u';', end);
            end = semi < 0 ? n : semi;
        } else {
            const qsizetype semi = connectionString.indexOf(u';', valueStart);
            end = semi < 0 ? n : semi;
            value = connectionString.mid(valueStart, end - valueStart);
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
