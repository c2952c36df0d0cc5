#include "ConnectionStrings.h"

#include "ConnectionString.h"

namespace dravena {

QString oracleConnectionString(const QString& sid, const QString& user, const QString& password) {
    return QStringLiteral("Driver={Microsoft ODBC for Oracle};Server=") + sid +
           QStringLiteral(";Uid=") + user + QStringLiteral(";Pwd=") + password + u';';
}

QString paradoxConnectionString(const QString& folder) {
    return QStringLiteral("Driver={") + QString::fromLatin1(ParadoxDriverName) +
           QStringLiteral("};DriverID=538;Fil=Paradox 5.X;DefaultDir=") + folder +
           QStringLiteral(";Dbq=") + folder + QStringLiteral(";CollatingSequence=ASCII;");
}

} // namespace dravena
