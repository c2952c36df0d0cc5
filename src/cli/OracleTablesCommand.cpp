// dravena-cli oracle-tables: the server's table list as the tables window shows it.

#include "Options.h"
#include "PasswordInput.h"
#include "ServerTables.h"
#include "app/RuntimeError.h"

#include <algorithm>
#include <cstdio>

namespace dravena::cli {

namespace {

// The order of the tables window's lists: letter case ignored (ties in a fixed order).
void sortAsListed(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

} // namespace

int runOracleTables(const QStringList& arguments) {
    const auto options = parseOptions("oracle-tables", arguments,
                                      {QStringLiteral("--sid"), QStringLiteral("--user")});
    if (!options)
        return 2;
    if (!options->values.contains(QStringLiteral("--sid")) ||
        !options->values.contains(QStringLiteral("--user")) || !options->words.isEmpty()) {
        std::fputs("usage: dravena-cli oracle-tables --sid SID --user USER\n"
                   "  (password from DRAVENA_PASSWORD or standard input)\n",
                   stderr);
        return 2;
    }
    try {
        QStringList names =
            readServerTables(options->values[QStringLiteral("--sid")],
                             options->values[QStringLiteral("--user")], readPassword());
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
