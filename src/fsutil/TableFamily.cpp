#include "TableFamily.h"

#include "FileCopy.h"
#include "FileErrors.h"
#include "FileHelpers.h"
#include "FileListing.h"
#include "TableFiles.h"
#include "base/LocationTags.h"
#include "base/Ports.h"
#include "base/Trap.h"

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dravena {

namespace {

struct FileMove {
    QString from;
    QString to;
};

void refuseNameWithSeparator(const QString& newName) {
    if (newName.contains(u'/') || newName.contains(u'\\') || newName.contains(QChar(u'\0')))
        throw RuntimeError(errnum::BadFileName,
                           QStringLiteral("Bad file name: a table name cannot hold \"/\", \"\\\" "
                                          "or a NUL character: ") +
                               QString(newName).replace(QChar(u'\0'), QStringLiteral("\\0")));
}

bool pathExists(const QString& path) {
    struct stat info {};
    return ::lstat(nativePath(path).constData(), &info) == 0;
}

// Each file of the family and its path under the new base name, its extension kept.
std::vector<FileMove> plannedMoves(const QString& folder, const QString& entry,
                                   const QString& newName) {
    const QStringList family = tableFamilyFiles(folder, entry);
    if (family.isEmpty())
        throw RuntimeError(errnum::FileNotFound,
                           QStringLiteral("File not found: ") +
                               pathInFolder(folder, entry + QStringLiteral(".DB")));
    std::vector<FileMove> moves;
    for (const QString& path : family) {
        const QString name = GetFileName(path);
        moves.push_back({path, pathInFolder(folder, newName + name.mid(name.lastIndexOf(u'.')))});
    }
    return moves;
}

// Refuses the moves when a new path exists already, or names another file of the folder when
// letter case is ignored (it would join that file's table).
void refuseClashes(const QString& folder, const std::vector<FileMove>& moves) {
    QStringList family;
    for (const FileMove& move : moves)
        family.append(GetFileName(move.from));
    const QStringList present = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const FileMove& move : moves) {
        const QString wanted = tableNameCapitals(GetFileName(move.to));
        for (const QString& name : present)
            if (!family.contains(name) && tableNameCapitals(name) == wanted)
                throw RuntimeError(errnum::FileAlreadyExists,
                                   QStringLiteral("File already exists: ") +
                                       pathInFolder(folder, name));
        if (pathExists(move.to))
            throw RuntimeError(errnum::FileAlreadyExists,
                               QStringLiteral("File already exists: ") + move.to);
    }
}

// Copies every file or none: a failure removes the copies already made.
void copyAll(const std::vector<FileMove>& moves) {
    std::size_t done = 0;
    try {
        for (; done < moves.size(); ++done)
            copyToNewFile(moves[done].from, moves[done].to);
    } catch (...) {
        for (std::size_t i = 0; i < done; ++i)
            ::unlink(nativePath(moves[i].to).constData());
        throw;
    }
}

// Checks the new name and every new path, then copies the whole family; returns the originals.
QStringList copyTableFamily(const QString& folder, const QString& entry, const QString& newName) {
    refuseNameWithSeparator(newName);
    const std::vector<FileMove> moves = plannedMoves(folder, entry, newName);
    refuseClashes(folder, moves);
    copyAll(moves);
    QStringList originals;
    for (const FileMove& move : moves)
        originals.append(move.from);
    return originals;
}

} // namespace

void deleteTableFile(const QString& path) {
    yieldToEventLoop();
    ForceDeleteFile(path);
}

void deleteTableFiles(const QStringList& paths) {
    int number = 0;
    QStringList failures;
    for (const QString& path : paths) {
        try {
            deleteTableFile(path);
        } catch (const RuntimeError& e) {
            if (failures.isEmpty())
                number = e.number();
            failures.append(e.description());
        }
    }
    if (!failures.isEmpty())
        throw RuntimeError(number, failures.join(QStringLiteral("; ")));
}

bool renameTableFamily(const QString& folder, const QString& entry, const QString& newName) {
    Trap trap(tags::MainRenameFile);
    QStringList originals;
    if (!trap.step(100, [&] { originals = copyTableFamily(folder, entry, newName); }))
        return false;
    trap.step(102, [&] { deleteTableFiles(originals); });
    return true;
}

} // namespace dravena
