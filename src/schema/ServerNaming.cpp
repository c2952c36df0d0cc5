#include "ServerNaming.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "drivers/Drivers.h"

#include <QRegularExpression>

namespace dravena {

namespace {

// The first value of the query's first row as text; empty when the query fails or finds none.
QString firstText(Connection& connection, const QString& sql) {
    try {
        const std::unique_ptr<Cursor> cursor = connection.query(sql);
        if (cursor->atEnd())
            return {};
        const auto* text = std::get_if<std::string>(&cursor->fieldValue(0));
        return text ? QString::fromStdString(*text).trimmed() : QString();
    } catch (const RuntimeError&) {
        return {}; // the server has no such view, or does not let the user read it
    }
}

} // namespace

NameLimit nameLimitOf(const QString& version, const QString& characterSet) {
    NameLimit limit;
    static const QRegularExpression release(QStringLiteral("^\\s*(\\d+)\\.(\\d+)"));
    if (const QRegularExpressionMatch m = release.match(version); m.hasMatch()) {
        const int major = m.captured(1).toInt();
        const int minor = m.captured(2).toInt();
        if (major > 12 || (major == 12 && minor >= 2))
            limit.bytes = LongObjectNameBytes;
    }
    // Oracle names a character set by its region, its bits per character, then its own name.
    static const QRegularExpression bits(QStringLiteral("^[A-Z]+?(\\d+)"));
    const QString set = characterSet.trimmed().toUpper();
    if (const QRegularExpressionMatch m = bits.match(set);
        m.hasMatch() && !set.contains(QLatin1String("UTF")))
        limit.oneBytePerCharacter = m.captured(1) == u'7' || m.captured(1) == u'8';
    return limit;
}

ServerNaming readServerNaming(Connection& connection) {
    ServerNaming naming;
    naming.version = firstText(connection, QStringLiteral("SELECT version FROM "
                                                          "product_component_version WHERE "
                                                          "UPPER(product) LIKE 'ORACLE%'"));
    naming.characterSet =
        firstText(connection, QStringLiteral("SELECT value FROM nls_database_parameters WHERE "
                                             "parameter = 'NLS_CHARACTERSET'"));
    naming.limit = nameLimitOf(naming.version, naming.characterSet);
    return naming;
}

ServerNaming readServerNaming(const QString& sid, const QString& user, const QString& password) {
    const std::unique_ptr<Connection> connection = dataAccess().createConnection();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(oracleConnectionString(sid, user, password));
    ServerNaming naming = readServerNaming(*connection);
    connection->close();
    return naming;
}

} // namespace dravena
