#include "ServerReadiness.h"

#include "TableSelection.h"
#include "base/RuntimeError.h"
#include "dataaccess/ConnectionString.h"
#include "dataaccess/ConnectionStrings.h"
#include "drivers/Drivers.h"
#include "drivers/TableNames.h"
#include "fsutil/TableFiles.h"
#include "odbc/OdbcSetup.h"
#include "schema/ServerNaming.h"

#include <QJsonArray>

namespace dravena::cli {

namespace {

QJsonObject setupJson(const OdbcDriverSetup& setup) {
    return {{"driver", setup.driver},
            {"odbcinst_ini", setup.iniFile},
            {"registered", setup.registered},
            {"library", setup.library},
            {"loads", setup.loads},
            {"load_error", setup.loadError},
            {"section_to_add", QJsonArray::fromStringList(setup.sectionToAdd())}};
}

// The ODBC setup's lines: all is well, or what is wrong and the section that puts it right.
QStringList setupLines(const OdbcDriverSetup& setup) {
    if (setup.ready())
        return {QStringLiteral("ODBC driver \"%1\" is registered in %2; its library %3 loads")
                    .arg(setup.driver, setup.iniFile, setup.library)};
    QStringList lines{setup.problem()};
    if (setup.oracleLibrary.isEmpty())
        lines.append(QStringLiteral("no Oracle ODBC library (libsqora.so.*) was found on this "
                                    "machine: the Driver path below is a placeholder; install the "
                                    "Oracle Instant Client with its ODBC package and write its "
                                    "libsqora.so path there"));
    lines.append(QStringLiteral("add these lines to %1%2:")
                     .arg(setup.iniFile, setup.registered
                                             ? QStringLiteral(" in place of its section")
                                             : QString()));
    return lines;
}

// Whether the signed-on user may create tables: nothing when the server does not say.
std::optional<bool> mayCreateTables(Connection& connection, QString& why) {
    try {
        const std::unique_ptr<Cursor> privileges =
            connection.query(QStringLiteral("SELECT privilege FROM session_privs WHERE privilege "
                                            "IN ('CREATE TABLE', 'CREATE ANY TABLE')"));
        return !privileges->atEnd();
    } catch (const RuntimeError& error) {
        why = error.description();
        return std::nullopt;
    }
}

QString limitText(const ServerNaming& naming) {
    QString text = QStringLiteral("the server's longest name is %1 %2")
                       .arg(naming.limit.bytes)
                       .arg(naming.limit.oneBytePerCharacter ? QStringLiteral("characters")
                                                             : QStringLiteral("bytes of UTF-8"));
    text += naming.version.isEmpty()
                ? QStringLiteral(" (the server tells no version: taken as before 12.2")
                : QStringLiteral(" (version %1").arg(naming.version);
    text += naming.characterSet.isEmpty()
                ? QStringLiteral("; no database character set told)")
                : QStringLiteral(", character set %1)").arg(naming.characterSet);
    return text + QStringLiteral("; longer names are cut to it");
}

} // namespace

ServerReadiness checkServerReadiness(const SignOn& signOn, const QStringList& tables) {
    ServerReadiness readiness;
    const QString connection = oracleConnectionString(signOn.sid, signOn.user, signOn.password);
    const OdbcDriverSetup setup =
        inspectOdbcDriver(connectionStringValue(connection, QStringLiteral("Driver")));
    readiness.lines = setupLines(setup);
    readiness.iniSection = setup.sectionToAdd();
    readiness.json.insert("odbc", setupJson(setup));
    readiness.json.insert("sid", signOn.sid);
    readiness.json.insert("user", signOn.user);
    QJsonValue createTable; // null: not known
    QJsonObject tablesThere;
    QString signOnError;
    ServerNaming naming;
    if (!setup.ready()) {
        signOnError = QStringLiteral("not tried: the ODBC driver is not set up");
    } else {
        try {
            const QStringList serverTables =
                oracleTableNames(signOn.sid, signOn.user, signOn.password);
            const std::unique_ptr<Connection> server = dataAccess().createConnection();
            server->setCursorLocation(ClientSideCursor);
            server->open(connection);
            naming = readServerNaming(*server);
            QString why;
            const std::optional<bool> create = mayCreateTables(*server, why);
            server->close();
            readiness.lines.append(
                QStringLiteral("signed on to %1 as %2").arg(signOn.sid, signOn.user));
            if (!create) {
                readiness.lines.append(
                    QStringLiteral("whether %1 may create tables could not be read: %2")
                        .arg(signOn.user, why));
            } else {
                createTable = *create;
                readiness.lines.append(
                    *create ? QStringLiteral("%1 may create tables").arg(signOn.user)
                            : QStringLiteral("%1 may not create tables (the session holds "
                                             "neither CREATE TABLE nor CREATE ANY TABLE): the "
                                             "server would refuse every table")
                                  .arg(signOn.user));
                readiness.refused = readiness.refused || !*create;
            }
            readiness.lines.append(limitText(naming));
            for (const QString& table : tables) {
                const QString there = serverTableNamed(table, serverTables, naming.limit);
                if (there.isEmpty())
                    continue;
                tablesThere.insert(table, there);
                readiness.tableLines[table].append(
                    QStringLiteral("the server already has it as \"%1\": send asks before "
                                   "replacing it (--overwrite yes|no)")
                        .arg(there));
            }
        } catch (const RuntimeError& error) {
            signOnError = error.description();
        }
    }
    if (!signOnError.isEmpty()) {
        readiness.refused = true;
        // Before the lines of the ODBC setup that end with the section to add.
        readiness.lines.insert(setup.ready() ? readiness.lines.size() : 0,
                               QStringLiteral("signing on to the server failed: ") + signOnError);
    }
    readiness.names = naming.limit;
    readiness.json.insert("signed_on", signOnError.isEmpty());
    readiness.json.insert("sign_on_error", signOnError);
    readiness.json.insert("create_table", createTable);
    readiness.json.insert("server_version", naming.version);
    readiness.json.insert("character_set", naming.characterSet);
    readiness.json.insert("name_bytes", naming.limit.bytes);
    readiness.json.insert("name_counts", naming.limit.oneBytePerCharacter
                                             ? QStringLiteral("characters")
                                             : QStringLiteral("bytes of UTF-8"));
    readiness.json.insert("tables_on_server", tablesThere);
    readiness.json.insert("refused", readiness.refused);
    readiness.json.insert("lines", QJsonArray::fromStringList(readiness.lines));
    return readiness;
}

std::optional<ServerReadiness>
serverReadinessOfCommandLine(const ParsedOptions& options, const QStringList& tables, int& status) {
    status = 0;
    if (!options.has("--sid") && !options.has("--user"))
        return std::nullopt;
    std::optional<SignOn> signOn = signOnOfCommandLine(options);
    if (!signOn) {
        status = 2;
        return std::nullopt;
    }
    const std::optional<QString> password =
        passwordOfCommandLine(options, tablesFromStandardInput(options));
    if (!password) {
        status = 1;
        return std::nullopt;
    }
    signOn->password = *password;
    return checkServerReadiness(*signOn, tables);
}

} // namespace dravena::cli
