#include "ConnectionStrings.h"

#include "ConnectionString.h"

namespace dravena {

QString oracleConnectionString(const QString& sid, const QString& user, const QString& password) {
    return QStringLiteral("Driver={Microsoft ODBC for Oracle};Server=") +
           connectionStringPart(sid) + QStringLiteral(";Uid=") + connectionStringPart(user) +
           QStringLiteral(";Pwd=") + connectionStringPart(password) + u';';
}

QString paradoxConnectionString(const QString& folder) {
    const QString part = connectionStringPart(folder);
    return QStringLiteral("Driver={") + QString::fromLatin1(ParadoxDriverName) +
           QStringLiteral("};DriverID=538;Fil=Paradox 5.X;DefaultDir=") + part +
           QStringLiteral(";Dbq=") + part + QStringLiteral(";CollatingSequence=ASCII;");
}

} // namespace dravena
