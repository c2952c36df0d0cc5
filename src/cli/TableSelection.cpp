#include "TableSelection.h"

#include "TerminalDialogs.h"
#include "base/Ports.h"
#include "base/RuntimeError.h"
#include "drivers/TableNames.h"
#include "fsutil/TableFiles.h"
#include "fsutil/WildcardPattern.h"
#include "schema/ObjectNames.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace dravena::cli {

const Option allOption{"--all", nullptr};
const Option tablesFromOption{"--tables-from", "FILE"};
const Option excludeOption{"--exclude", "PATTERN", false, true};

QStringList listedParadoxTables(const char* command, const QString& folder, int* scanProblems) {
    const auto terminal = std::make_shared<TerminalDialogs>(command);
    const auto previous = ports().dialogs;
    ports().dialogs = terminal;
    std::vector<TablePlace> tables;
    try {
        findParadoxTables(folder, [&tables](const QString& entry, const QString& subFolder) {
            tables.push_back({subFolder, entry});
        });
    } catch (const RuntimeError&) {
        ports().dialogs = previous;
        throw;
    }
    ports().dialogs = previous;
    if (scanProblems != nullptr)
        *scanProblems = terminal->reportCount();
    // In the window's order, a table of a sub-folder under its path.
    std::stable_sort(tables.begin(), tables.end(), [](const TablePlace& a, const TablePlace& b) {
        return listedBefore(a.entry, b.entry) ||
               (!listedBefore(b.entry, a.entry) && listedBefore(a.subFolder, b.subFolder));
    });
    QStringList names;
    for (const TablePlace& table : tables)
        names.append(tablePath(table.subFolder, table.entry));
    return names;
}

bool isTablePattern(const QString& word) {
    return word.contains(u'*') || word.contains(u'?');
}

namespace {

// The listed table a name stands for: the listed spelling of its entry, else the one that differs
// only in letter case; empty when none.
QString listedTableNamed(const QStringList& listed, const QString& name) {
    QString wanted;
    try {
        splitTablePath(name); // a path that leaves the folder names no table
        wanted = listedTablePath(name);
    } catch (const RuntimeError&) {
        return {};
    }
    if (listed.contains(wanted))
        return wanted;
    const auto found = std::find_if(listed.begin(), listed.end(), [&](const QString& table) {
        return table.compare(wanted, Qt::CaseInsensitive) == 0;
    });
    return found == listed.end() ? QString() : *found;
}

} // namespace

TableChoice chooseTables(const QStringList& listed, const QStringList& words,
                         const QStringList& fromFile, bool all, const QStringList& excluded) {
    TableChoice choice;
    const auto fail = [&choice](const QString& fault) {
        choice.tables.clear();
        choice.fault = fault;
        return choice;
    };
    for (const QString& word : words + fromFile) {
        if (!isTablePattern(word)) {
            const QString table = listedTableNamed(listed, word);
            if (table.isEmpty())
                return fail(
                    QStringLiteral("%1: no such table in the folder; nothing was done").arg(word));
            choice.tables.append(table);
            continue;
        }
        const WildcardPattern pattern(word);
        bool matched = false;
        for (const QString& table : listed)
            if (pattern.matches(table)) {
                matched = true;
                if (!choice.tables.contains(table))
                    choice.tables.append(table);
            }
        if (!matched)
            return fail(
                QStringLiteral("%1: the pattern matches no table in the folder; nothing was done")
                    .arg(word));
    }
    if (all)
        for (const QString& table : listed)
            if (!choice.tables.contains(table))
                choice.tables.append(table);
    for (const QString& exclude : excluded) {
        const WildcardPattern pattern(exclude);
        const qsizetype before = choice.tables.size();
        choice.tables.removeIf([&](const QString& table) { return pattern.matches(table); });
        // A mistyped --exclude would send what was meant to stay: it is refused as well.
        if (std::none_of(listed.begin(), listed.end(),
                         [&](const QString& table) { return pattern.matches(table); }) &&
            before == choice.tables.size())
            return fail(QStringLiteral("%1: --exclude matches no table in the folder; nothing "
                                       "was done")
                            .arg(exclude));
    }
    if (choice.tables.isEmpty())
        return fail(QStringLiteral("no table chosen; nothing was done"));
    return choice;
}

bool choosesTables(const ParsedOptions& options) {
    return !options.words.isEmpty() || options.has("--all") || options.has("--tables-from");
}

bool tablesFromStandardInput(const ParsedOptions& options) {
    return options.has("--tables-from") && options.value("--tables-from") == QLatin1String("-");
}

std::optional<QStringList> tablesOfCommandLine(const ParsedOptions& options, int& status) {
    status = 2;
    if (!choosesTables(options)) {
        options.refuse(QStringLiteral("no TABLE given (name tables or patterns, or give --all or "
                                      "--tables-from FILE)"));
        return std::nullopt;
    }
    QStringList fromFile;
    if (options.has("--tables-from")) {
        QFile file;
        const QString path = options.value("--tables-from");
        const bool opened = tablesFromStandardInput(options)
                                ? file.open(stdin, QIODevice::ReadOnly)
                                : (file.setFileName(path), file.open(QIODevice::ReadOnly));
        if (!opened) {
            options.refuse(QStringLiteral("%1: cannot read the table names: %2")
                               .arg(path, file.errorString()));
            return std::nullopt;
        }
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            const QString name = line.trimmed();
            if (!name.isEmpty())
                fromFile.append(name);
        }
    }
    QStringList listed;
    try {
        listed = listedParadoxTables(qPrintable(options.command), options.value("--folder"));
    } catch (const RuntimeError& error) {
        // Not a fault of the command line: the folder cannot be read.
        printLine(stderr,
                  QStringLiteral("dravena-cli %1: %2: %3")
                      .arg(options.command, options.value("--folder"), error.description()));
        status = 1;
        return std::nullopt;
    }
    const TableChoice choice = chooseTables(listed, options.words, fromFile, options.has("--all"),
                                            options.valuesOf("--exclude"));
    if (!choice.fault.isEmpty()) {
        options.refuse(choice.fault);
        return std::nullopt;
    }
    return choice.tables;
}

QString serverTableNamed(const QString& table, const QStringList& serverTables,
                         const NameLimit& limit) {
    QString wanted = table;
    try {
        wanted = fittedName(splitTablePath(table).entry, limit); // as send names it
    } catch (const RuntimeError&) {
        return {}; // a name that leaves the folder names no table
    }
    if (serverTables.contains(wanted))
        return wanted;
    for (const QString& name : serverTables)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return {};
}

} // namespace dravena::cli
