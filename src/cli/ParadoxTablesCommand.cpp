// dravena-cli paradox-tables: the Paradox list as the tables window shows it.

#include "Options.h"
#include "TerminalDialogs.h"
#include "app/Ports.h"
#include "app/RuntimeError.h"
#include "fsutil/FileHelpers.h"
#include "tables/TableListing.h"

#include <cstdio>

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
    QStringList names;
    try {
        findParadoxTables(folder, [&names](const QString& entry) { names.append(entry); });
    } catch (const RuntimeError& e) {
        printLine(stderr, QStringLiteral("dravena-cli paradox-tables: ") + e.description());
        return 1;
    }
    sortAsListed(names);
    for (const QString& name : names)
        printLine(stdout, name);
    return terminal->reportCount() == 0 ? 0 : 1;
}

} // namespace dravena::cli
