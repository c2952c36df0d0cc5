// dravena-cli oracle-tables: the server's table list as the tables window shows it.

#include "Options.h"
#include "PasswordInput.h"
#include "app/RuntimeError.h"
#include "tables/TableListing.h"

#include <cstdio>

namespace dravena::cli {

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
            oracleTableNames(options->values[QStringLiteral("--sid")],
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
