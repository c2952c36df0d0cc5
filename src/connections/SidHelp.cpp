#include "SidHelp.h"

#include "base/RuntimeError.h"

#include <array>

namespace dravena {

QString sidHelpIntroduction() {
    return QStringLiteral("This software works with Oracle 9i or higher.") +
           QStringLiteral("\r\r") +
           QStringLiteral("The SID is used to identify a particular database. The SID is usually "
                          "defined in the TNSNAMES.ORA file. The TNSNAMES.ORA file found in my "
                          "Oracle 9i folder looks like:");
}

QString sidHelpExampleLine(int index) {
    static constexpr std::array<const char*, SidHelpExampleLines> lines = {
        "TQRB =",
        " (DESCRIPTION =",
        "   (ADDRESS_LIST =",
        "     (ADDRESS = (PROTOCOL = TCP)(HOST = 10.0.0.12)(PORT = 1521))",
        "   )",
        "   (CONNECT_DATA =",
        "     (SID = TQRB)",
        "   )",
        " )",
    };
    if (index < 0 || index >= SidHelpExampleLines)
        throw RuntimeError(errnum::InvalidCall, QStringLiteral("Invalid procedure call"));
    return QString::fromLatin1(lines[static_cast<std::size_t>(index)]);
}

QString sidHelpConclusion() {
    return QStringLiteral("Therefore, my SID would be TQRB");
}

QString unsupportedTypesText() {
    return QStringLiteral("This software does not support the CLOB and NLOB data type in Oracle.");
}

} // namespace dravena
