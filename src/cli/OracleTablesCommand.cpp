// dravena-cli oracle-tables: the server's table list as the tables window shows it.

#include "Options.h"
#include "PasswordInput.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"
#include "schema/Statements.h"

#include <cstdio>

namespace dravena::cli {

int runOracleTables(const ParsedOptions& options) {
    try {
        QStringList names =
            oracleTableNames(options.value("--sid"), options.value("--user"), readPassword());
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
