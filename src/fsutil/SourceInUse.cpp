#include "SourceInUse.h"

#include "FileErrors.h"
#include "FileListing.h"
#include "TableFiles.h"
#include "base/RuntimeError.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dravena {

namespace {

// The fixed and extended header of a table file: its counts, blocks, change counters and update
// stamp.
constexpr qsizetype FixedHeaderBytes = 0x78;
// More of a net file than this is not looked at for names.
constexpr qsizetype MostNetFileBytes = 64 * 1024;
constexpr int MostUsers = 8;
constexpr qsizetype LongestUserName = 30;

struct FileFacts {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
};

FileFacts factsOf(const QString& path) {
    struct stat info {};
    if (::stat(nativePath(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return {true, static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// Up to `most` bytes from the start of the file, opened for reading only; empty when it cannot be
// read.
QByteArray startOf(const QString& path, qsizetype most) {
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    QByteArray bytes(most, '\0');
    qsizetype got = 0;
    while (got < most) {
        const ssize_t n = ::read(fd, bytes.data() + got, static_cast<std::size_t>(most - got));
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    bytes.truncate(got);
    return bytes;
}

// The file of the folder whose name is `name` with letter case ignored; empty when none.
QString fileNamed(const QString& folder, const QString& name) {
    try {
        for (const QString& found : namesInFolder(folder))
            if (found.compare(name, Qt::CaseInsensitive) == 0 &&
                factsOf(pathInFolder(folder, found)).exists)
                return pathInFolder(folder, found);
    } catch (const RuntimeError&) {
        // a folder that cannot be listed holds no lock file we can read
    }
    return {};
}

// The names a net file holds as text: runs of printable characters that are not paths or file
// names, in the order they come, each once.
QStringList userNamesIn(const QByteArray& netFile) {
    QStringList names;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= netFile.size() && names.size() < MostUsers; ++i) {
        const bool printable = i < netFile.size() && netFile[i] >= 0x20 && netFile[i] < 0x7F;
        if (printable)
            continue;
        const QString run = QString::fromLatin1(netFile.mid(start, i - start)).trimmed();
        start = i + 1;
        const bool hasLetter =
            std::any_of(run.begin(), run.end(), [](QChar c) { return c.isLetter(); });
        if (run.size() < 2 || run.size() > LongestUserName || !hasLetter ||
            run.contains(QRegularExpression(QStringLiteral("[\\\\/:.]"))) || names.contains(run))
            continue;
        names.append(run);
    }
    return names;
}

} // namespace

QString TableLock::text() const {
    if (state == State::None)
        return {};
    const QString file = lockFile.mid(lockFile.lastIndexOf(u'/') + 1);
    if (state == State::NoRecords)
        return QStringLiteral("its lock file %1 is empty (left behind, or the table is open "
                              "without a lock): not held for writing")
            .arg(file);
    const QString who = users.isEmpty() ? QStringLiteral("user unknown")
                        : users.size() == 1
                            ? QStringLiteral("user %1").arg(users.front())
                            : QStringLiteral("users %1").arg(users.join(QStringLiteral(", ")));
    return QStringLiteral("may be held for writing by another program: %1 (from the net file); "
                          "kind of lock not readable; lock file %2, %3 bytes, written %4")
        .arg(who, file)
        .arg(size)
        .arg(lockWritten);
}

TableLock tableLockOf(const QString& folder, const QString& tablePath) {
    TableLock lock;
    QString tableFile;
    try {
        tableFile = findTableFileOfPath(folder, tablePath).value_or(QString());
    } catch (const RuntimeError&) {
        return lock; // reading the table tells what is wrong
    }
    if (tableFile.isEmpty())
        return lock;
    const qsizetype slash = tableFile.lastIndexOf(u'/');
    const QString tableFolder = tableFile.left(slash);
    const QString fileName = tableFile.mid(slash + 1);
    const qsizetype dot = fileName.lastIndexOf(u'.');
    lock.lockFile = fileNamed(tableFolder, fileName.left(dot) + QStringLiteral(".LCK"));
    if (lock.lockFile.isEmpty())
        return lock;
    const FileFacts facts = factsOf(lock.lockFile);
    lock.size = facts.size;
    lock.lockWritten = QDateTime::fromMSecsSinceEpoch(facts.modifiedNs / 1000000, Qt::UTC)
                           .toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"));
    lock.state = facts.size > 0 ? TableLock::State::Held : TableLock::State::NoRecords;
    QString netFile = fileNamed(tableFolder, QStringLiteral("PDOXUSRS.NET"));
    if (netFile.isEmpty())
        netFile = fileNamed(folder, QStringLiteral("PDOXUSRS.NET"));
    if (!netFile.isEmpty())
        lock.users = userNamesIn(startOf(netFile, MostNetFileBytes));
    return lock;
}

SourceSnapshot snapshotSource(const QString& folder, const QString& tablePath) {
    SourceSnapshot snapshot;
    try {
        const TablePlace place = splitTablePath(tablePath);
        const QString tableFolder =
            place.subFolder.isEmpty() ? folder : pathInFolder(folder, place.subFolder);
        const QStringList files = tableFamilyFiles(tableFolder, place.entry);
        for (const QString& path : files) {
            const FileFacts facts = factsOf(path);
            snapshot.files.push_back({path, facts.size, facts.modifiedNs});
        }
        if (!files.isEmpty())
            snapshot.header = startOf(files.front(), FixedHeaderBytes);
    } catch (const RuntimeError&) {
        // reading the table tells what is wrong
    }
    return snapshot;
}

} // namespace dravena
