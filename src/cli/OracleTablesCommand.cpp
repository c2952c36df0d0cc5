// dravena-cli oracle-tables: the server's table list as the tables window shows it.

#include "PasswordInput.h"
#include "app/RuntimeError.h"
#include "connections/ConnectionStrings.h"
#include "connections/DataAccess.h"
#include "transfer/ValueText.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace dravena::cli {

namespace {

struct Options {
    QString sid;
    QString user;
};

void printLine(std::FILE* out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
    std::fputc('\n', out);
}

std::optional<Options> parse(const QStringList& arguments) {
    std::optional<QString> sid;
    std::optional<QString> user;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        std::optional<QString>* target = nullptr;
        QString name = argument.section(u'=', 0, 0);
        if (name == QLatin1String("--sid"))
            target = &sid;
        else if (name == QLatin1String("--user"))
            target = &user;
        else if (name == QLatin1String("--password") || name == QLatin1String("--pwd")) {
            std::fputs("dravena-cli: the password is never taken from the command line; set "
                       "DRAVENA_PASSWORD or give it on standard input\n",
                       stderr);
            return std::nullopt;
        } else {
            printLine(stderr, QStringLiteral("dravena-cli: unknown option '%1'").arg(argument));
            return std::nullopt;
        }
        if (argument.contains(u'=')) {
            *target = argument.section(u'=', 1);
        } else if (i + 1 < arguments.size()) {
            *target = arguments[++i];
        } else {
            printLine(stderr, QStringLiteral("dravena-cli: %1 needs a value").arg(name));
            return std::nullopt;
        }
    }
    if (!sid || !user) {
        std::fputs("usage: dravena-cli oracle-tables --sid SID --user USER\n"
                   "  (password from DRAVENA_PASSWORD or standard input)\n",
                   stderr);
        return std::nullopt;
    }
    return Options{*sid, *user};
}

// The table names of the signed-on user, in the order the server sends them.
QStringList readOracleTables(const Options& options, const QString& password) {
    const std::unique_ptr<Connection> connection = dataAccess().createConnection();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(oracleConnectionString(options.sid, options.user, password));
    const std::unique_ptr<Recordset> recordset = dataAccess().createRecordset();
    recordset->open(QStringLiteral("SELECT table_name FROM user_tables"), *connection);
    QStringList names;
    const auto count = static_cast<std::int32_t>(recordset->recordCount());
    for (std::int32_t i = 1; i <= count; ++i) {
        names.append(valueText(recordset->fieldValue(0)));
        recordset->moveNext();
    }
    recordset->close();
    return names;
}

// The order of the tables window's lists: letter case ignored (ties in a fixed order).
void sortAsListed(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

} // namespace

int runOracleTables(const QStringList& arguments) {
    const std::optional<Options> options = parse(arguments);
    if (!options)
        return 2;
    try {
        QStringList names = readOracleTables(*options, readPassword());
        sortAsListed(names);
        for (const QString& name : names)
            printLine(stdout, name);
        return 0;
    } catch (const RuntimeError& e) {
        printLine(stderr, e.description());
        return 1;
    }
}

} // namespace dravena::cli
