#include "OdbcSetup.h"

#include "OdbcDiagnostics.h"

#include <QDir>
#include <QFileInfo>

#include <sql.h>
#include <sqlext.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace dravena {

namespace {

// The Driver= attribute of the driver's section, through the driver manager's own reading of
// odbcinst.ini; nothing when no section has that name.
std::optional<QString> registeredLibrary(const QString& driver) {
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return std::nullopt;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    std::optional<QString> library;
    std::vector<SQLCHAR> name(512);
    std::vector<SQLCHAR> attributes(4096);
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN r = SQLDrivers(
            env, direction, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength,
            attributes.data(), static_cast<SQLSMALLINT>(attributes.size()), &attributesLength);
        if (!SQL_SUCCEEDED(r))
            break;
        if (QString::fromUtf8(reinterpret_cast<const char*>(name.data())) != driver)
            continue;
        library = QString();
        // "Key=value" pairs, each ended by a null, the list by another.
        for (const char* pair = reinterpret_cast<const char*>(attributes.data()); *pair != '\0';
             pair += std::strlen(pair) + 1) {
            const QString text = QString::fromUtf8(pair);
            if (text.section(u'=', 0, 0)
                    .trimmed()
                    .compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0)
                library = text.section(u'=', 1).trimmed();
        }
        break;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return library;
}

} // namespace

OdbcDriverSetup inspectOdbcDriver(const QString& driver) {
    OdbcDriverSetup setup;
    setup.driver = driver;
    setup.iniFile = odbcinstIniFile();
    if (const std::optional<QString> library = registeredLibrary(driver)) {
        setup.registered = true;
        setup.library = *library;
    }
    if (setup.registered && !setup.library.isEmpty()) {
        dlerror();
        if (void* handle = dlopen(setup.library.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL)) {
            setup.loads = true;
            dlclose(handle);
        } else if (const char* why = dlerror()) {
            setup.loadError = QString::fromLocal8Bit(why);
        }
    } else if (setup.registered) {
        setup.loadError = QStringLiteral("its section has no Driver= line");
    }
    if (!setup.ready())
        setup.oracleLibrary = findOracleOdbcLibrary();
    return setup;
}

QString OdbcDriverSetup::problem() const {
    if (!registered)
        return driverNotRegisteredText(driver);
    if (!loads)
        return driverNotLoadedText(driver, library) + QStringLiteral(" The loader said: ") +
               loadError;
    return {};
}

QStringList OdbcDriverSetup::sectionToAdd() const {
    if (ready())
        return {};
    return {
        u'[' + driver + u']', QStringLiteral("Description = Oracle ODBC driver (Instant Client)"),
        QStringLiteral("Driver = ") +
            (oracleLibrary.isEmpty() ? QLatin1String(OracleLibraryPlaceholder) : oracleLibrary)};
}

QString findOracleOdbcLibrary() {
    QStringList folders;
    if (const QString home = qEnvironmentVariable("ORACLE_HOME"); !home.isEmpty())
        folders.append(home + QStringLiteral("/lib"));
    folders += qEnvironmentVariable("LD_LIBRARY_PATH").split(u':', Qt::SkipEmptyParts);
    const auto below = [&](const QString& top, const QString& pattern, const QString& tail) {
        for (const QFileInfo& found :
             QDir(top).entryInfoList({pattern}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            folders.append(found.filePath() + tail);
    };
    for (const QFileInfo& version :
         QDir(QStringLiteral("/usr/lib/oracle")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        below(version.filePath(), QStringLiteral("client*"), QStringLiteral("/lib"));
    below(QStringLiteral("/opt/oracle"), QStringLiteral("instantclient*"), {});
    below(QStringLiteral("/opt/oracle"), QStringLiteral("*"), QStringLiteral("/lib"));
    folders += {QStringLiteral("/usr/local/lib"), QStringLiteral("/usr/lib64"),
                QStringLiteral("/usr/lib/x86_64-linux-gnu"), QStringLiteral("/usr/lib")};
    QStringList found;
    for (const QString& folder : folders)
        for (const QFileInfo& file :
             QDir(folder).entryInfoList({QStringLiteral("libsqora.so*")}, QDir::Files))
            found.append(file.absoluteFilePath());
    if (found.isEmpty())
        return {};
    // The highest version: "libsqora.so.21.1" after "libsqora.so.19.1" and "libsqora.so.9.1".
    const auto version = [](const QString& file) {
        std::vector<int> numbers;
        for (const QString& part : QFileInfo(file).fileName().split(u'.'))
            if (bool number = false; part.toInt(&number), number)
                numbers.push_back(part.toInt());
        return numbers;
    };
    return *std::max_element(found.begin(), found.end(), [&](const QString& a, const QString& b) {
        return version(a) < version(b);
    });
}

} // namespace dravena
