// dravena-cli paradox-tables: the Paradox list as the tables window shows it.

#include "Options.h"
#include "TerminalDialogs.h"
#include "app/Ports.h"
#include "app/RuntimeError.h"
#include "fsutil/FileHelpers.h"
#include "tables/TableListing.h"

#include <cstdio>

namespace dravena::cli {

int runParadoxTables(const QStringList& arguments) {
    const auto options = parseOptions("paradox-tables", arguments, {QStringLiteral("--folder")});
    if (!options)
        return 2;
    const QString folder = options->values.value(QStringLiteral("--folder"));
    if (folder.isEmpty() || !options->words.isEmpty()) {
        std::fputs("usage: dravena-cli paradox-tables --folder DIR\n", stderr);
        return 2;
    }
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
