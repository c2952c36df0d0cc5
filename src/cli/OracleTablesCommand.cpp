// dravena-cli oracle-tables: the server's table list as the tables window shows it.

#include "Options.h"
#include "SignOnDefaults.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"
#include "schema/Statements.h"

#include <cstdio>

namespace dravena::cli {

int runOracleTables(const ParsedOptions& options) {
    const auto signOn = signOnOfCommandLine(options);
    if (!signOn)
        return 2;
    const auto password = passwordOfCommandLine(options, false);
    if (!password)
        return 1;
    try {
        QStringList names = oracleTableNames(signOn->sid, signOn->user, *password);
        sortAsListed(names);
        for (const QString& name : names) {
            const QString loaded = tableOfLoadingName(name);
            printLine(stdout, loaded.isEmpty()
                                  ? name
                                  : name + QStringLiteral(" (partial copy of %1)").arg(loaded));
        }
        return 0;
    } catch (const RuntimeError& e) {
        printLine(stderr, e.description());
        return 1;
    }
}

} // namespace dravena::cli
