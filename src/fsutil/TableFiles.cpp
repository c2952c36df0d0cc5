#include "TableFiles.h"

#include "FileErrors.h"
#include "FileListing.h"
#include "WildcardPattern.h"

#include <algorithm>
#include <sys/stat.h>

namespace dravena {

namespace {

// The names of the regular files in the folder (links followed), sorted byte by byte.
QStringList regularFileNames(const QString& folder) {
    QStringList names;
    for (const QString& name : namesInFolder(folder)) {
        struct stat info {};
        if (::stat(nativePath(pathInFolder(folder, name)).constData(), &info) == 0 &&
            S_ISREG(info.st_mode))
            names.append(name);
    }
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    return names;
}

bool isTableFileName(const QString& name) {
    static const WildcardPattern tableFiles(QStringLiteral("*.db"));
    return tableFiles.matches(name);
}

// A name without its last extension (the part from its last "."); the whole name without one.
QString baseName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

// The extensions of a table's companion files, in capitals: MB, PX, VAL, TV, FAM, and the
// secondary indexes Xnn/Ynn (field number in two hex digits) and XGn/YGn.
bool isCompanionExtension(const QString& extension) {
    static const QStringList fixed = {QStringLiteral("MB"), QStringLiteral("PX"),
                                      QStringLiteral("VAL"), QStringLiteral("TV"),
                                      QStringLiteral("FAM")};
    if (fixed.contains(extension))
        return true;
    if (extension.size() != 3 || (extension[0] != u'X' && extension[0] != u'Y'))
        return false;
    return (extension[1] == u'G' || isHexDigit(extension[1])) && isHexDigit(extension[2]);
}

// The table file's name among the folder's file names, as findTableFile chooses it.
std::optional<QString> chooseTableFile(const QStringList& names, const QString& entry) {
    const QString wanted = tableNameCapitals(entry);
    if (wanted.isEmpty())
        return std::nullopt;
    std::optional<QString> listedAs;
    for (const QString& name : names) {
        if (!isTableFileName(name))
            continue;
        if (tableNameCapitals(baseName(name)) == wanted)
            return name;
        if (!listedAs && tableEntryName(name) == wanted)
            listedAs = name;
    }
    return listedAs;
}

} // namespace

QString tablePath(const QString& subFolder, const QString& entry) {
    return subFolder.isEmpty() ? entry : subFolder + u'/' + entry;
}

QString listedTablePath(const QString& typed) {
    const qsizetype slash = typed.lastIndexOf(u'/');
    return typed.left(slash + 1) + tableEntryName(typed.mid(slash + 1));
}

TablePlace splitTablePath(const QString& path) {
    const QStringList parts = path.split(u'/');
    for (const QString& part : parts)
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            throw RuntimeError(errnum::BadFileName,
                               QStringLiteral("Bad file name: %1 is not a table of the folder or "
                                              "one of its sub-folders")
                                   .arg(path));
    return {parts.mid(0, parts.size() - 1).join(u'/'), parts.back()};
}

QString tableNameCapitals(const QString& name) {
    QString capitals;
    capitals.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t code = name[i].unicode();
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        capitals.append(QChar::fromUcs4(QChar::toUpper(code)));
    }
    return capitals;
}

QString tableEntryName(const QString& fileName) {
    QString entry = tableNameCapitals(fileName);
    entry.remove(QStringLiteral(".DB"));
    return entry;
}

std::optional<QString> findTableFile(const QString& folder, const QString& entry) {
    const std::optional<QString> name = chooseTableFile(regularFileNames(folder), entry);
    if (!name)
        return std::nullopt;
    return pathInFolder(folder, *name);
}

QStringList tableFileNamesOf(const QString& folder, const QString& entry) {
    const QString wanted = tableNameCapitals(entry);
    QStringList found;
    for (const QString& name : regularFileNames(folder))
        if (isTableFileName(name) &&
            (tableNameCapitals(baseName(name)) == wanted || tableEntryName(name) == wanted))
            found.append(name);
    return found;
}

std::optional<QString> findTableFileOfPath(const QString& folder, const QString& tablePath) {
    const TablePlace place = splitTablePath(tablePath);
    return findTableFile(place.subFolder.isEmpty() ? folder : pathInFolder(folder, place.subFolder),
                         place.entry);
}

QStringList tableFamilyFiles(const QString& folder, const QString& entry) {
    const QStringList names = regularFileNames(folder);
    const std::optional<QString> table = chooseTableFile(names, entry);
    if (!table)
        return {};
    const QString base = baseName(*table);
    const QString baseCapitals = tableNameCapitals(base);
    // A letter-case twin of this table (another table file of the same base name in capitals)
    // could own any companion whose name differs in letter case: only exact names belong then.
    const bool twinned = std::any_of(names.begin(), names.end(), [&](const QString& name) {
        return name != *table && isTableFileName(name) &&
               tableNameCapitals(baseName(name)) == baseCapitals;
    });
    QStringList companions;
    for (const QString& name : names) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0 || !isCompanionExtension(tableNameCapitals(name.mid(dot + 1))))
            continue;
        const QString candidate = name.left(dot);
        if (twinned ? candidate == base : tableNameCapitals(candidate) == baseCapitals)
            companions.append(name);
    }
    std::sort(companions.begin(), companions.end(), nameBefore);
    QStringList family{pathInFolder(folder, *table)};
    for (const QString& name : companions)
        family.append(pathInFolder(folder, name));
    return family;
}

} // namespace dravena
