#include "SidHelp.h"

#include <QStringList>

namespace dravena {

QString sidHelpText() {
    const QString intro =
        QStringLiteral("This software works with Oracle 9i or higher.") + QStringLiteral("\r\r") +
        QStringLiteral("The SID is used to identify a particular database. The SID is usually "
                       "defined in the TNSNAMES.ORA file. The TNSNAMES.ORA file found in my "
                       "Oracle 9i folder looks like:");
    const QString separator = QStringLiteral("\r\n\r\n");
    const QStringList example = {
        QStringLiteral("TQRB ="),
        QStringLiteral(" (DESCRIPTION ="),
        QStringLiteral("   (ADDRESS_LIST ="),
        QStringLiteral("     (ADDRESS = (PROTOCOL = TCP)(HOST = 10.0.0.12)(PORT = 1521))"),
        QStringLiteral("   )"),
        QStringLiteral("   (CONNECT_DATA ="),
        QStringLiteral("     (SID = TQRB)"),
        QStringLiteral("   )"),
        QStringLiteral(" )"),
    };
    return intro + separator + example.join(QStringLiteral("\r\n")) + separator +
           QStringLiteral("Therefore, my SID would be TQRB");
}

QString unsupportedTypesText() {
    return QStringLiteral("This software does not support the CLOB and NLOB data type in Oracle.");
}

} // namespace dravena
