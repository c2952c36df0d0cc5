// dravena-cli paradox-tables: the Paradox list as the tables window shows it.

#include "Options.h"
#include "TerminalDialogs.h"
#include "base/Ports.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"
#include "fsutil/FileHelpers.h"
#include "fsutil/TableFiles.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace dravena::cli {

int runParadoxTables(const ParsedOptions& options) {
    const QString folder = options.value("--folder");
    if (!IsFolder(folder)) {
        printLine(stderr, QStringLiteral("dravena-cli paradox-tables: not a folder: ") + folder);
        return 1;
    }
    // What the scan reports goes to the error output.
    const auto terminal = std::make_shared<TerminalDialogs>("paradox-tables");
    ports().dialogs = terminal;
    std::vector<TablePlace> tables;
    try {
        findParadoxTables(folder, [&tables](const QString& entry, const QString& subFolder) {
            tables.push_back({subFolder, entry});
        });
    } catch (const RuntimeError& e) {
        printLine(stderr, QStringLiteral("dravena-cli paradox-tables: ") + e.description());
        return 1;
    }
    // In the window's order, a table of a sub-folder under its path, as the other commands take
    // it.
    std::stable_sort(tables.begin(), tables.end(), [](const TablePlace& a, const TablePlace& b) {
        return listedBefore(a.entry, b.entry) ||
               (!listedBefore(b.entry, a.entry) && listedBefore(a.subFolder, b.subFolder));
    });
    for (const TablePlace& table : tables)
        printLine(stdout, tablePath(table.subFolder, table.entry));
    return terminal->reportCount() == 0 ? 0 : 1;
}

} // namespace dravena::cli
