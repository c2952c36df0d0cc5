// dravena-cli oracle-tables: the server's table list as the tables window shows it.

#include "Options.h"
#include "PasswordInput.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"

#include <cstdio>

namespace dravena::cli {

int runOracleTables(const ParsedOptions& options) {
    try {
        QStringList names =
            oracleTableNames(options.value("--sid"), options.value("--user"), readPassword());
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
