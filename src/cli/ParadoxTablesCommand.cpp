// dravena-cli paradox-tables: the Paradox list as the tables window shows it.

#include "Options.h"
#include "TableSelection.h"
#include "base/RuntimeError.h"
#include "fsutil/FileHelpers.h"

#include <cstdio>

namespace dravena::cli {

int runParadoxTables(const ParsedOptions& options) {
    const QString folder = options.value("--folder");
    if (!IsFolder(folder)) {
        printLine(stderr, QStringLiteral("dravena-cli paradox-tables: not a folder: ") + folder);
        return 1;
    }
    int problems = 0;
    QStringList tables;
    try {
        tables = listedParadoxTables("paradox-tables", folder, &problems);
    } catch (const RuntimeError& e) {
        printLine(stderr, QStringLiteral("dravena-cli paradox-tables: ") + e.description());
        return 1;
    }
    for (const QString& table : tables)
        printLine(stdout, table);
    return problems == 0 ? 0 : 1;
}

} // namespace dravena::cli
