// dravena-cli oracle-tables: the server's table list as the tables window shows it.

#include "Options.h"
#include "SignOnDefaults.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"

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
        for (const QString& name : names)
            printLine(stdout, name);
        return 0;
    } catch (const RuntimeError& e) {
        printLine(stderr, e.description());
        return 1;
    }
}

} // namespace dravena::cli
