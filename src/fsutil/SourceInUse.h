#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace dravena {

// A Paradox table another program may have in use: the lock files of the Paradox engine's
// network locking beside it, and what its files look like at one moment. Both only read: no file
// of the folder is created, opened for writing or changed.

// What the lock files tell of one table (docs/paradox-locks.md). No public description of the
// records of a lock file exists: the kind of a lock is never read from its bytes, so any lock
// record may be a write lock.
struct TableLock {
    enum class State {
        None,      // the table has no lock file
        NoRecords, // an empty lock file: left behind, or the table open without a lock
        Held,      // a lock file with lock records: the table may be held for writing
    };
    State state = State::None;
    QString lockFile;      // the table's lock file (full path), when it has one
    QString lockWritten;   // when the lock file was last written, "2026-12-08 03:00 UTC"
    std::int64_t size = 0; // of the lock file
    QStringList users;     // the users the net file names; empty when none could be read

    // Another program holds the table, or may hold it, for writing.
    bool forWriting() const { return state == State::Held; }
    // The finding in words, without the table's name: "may be held for writing by another
    // program: ...". Empty for State::None.
    QString text() const;
};

// The lock files of the table of `tablePath` ("sub/NAME" or a bare entry) below `folder`: its
// own NAME.LCK, and the net file PDOXUSRS.NET (in the table's folder, else in `folder`) for the
// users' names. Names are matched without regard to letter case. Never fails: a file that cannot
// be read tells nothing.
TableLock tableLockOf(const QString& folder, const QString& tablePath);

// The table's files at one moment: each file of its family (name, size, modification time) and
// the table file's fixed header, whose record count, block numbers and change counters move with
// every write. Two snapshots that differ mean the table was written between them.
struct SourceSnapshot {
    struct File {
        QString name;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        bool operator==(const File&) const = default;
    };
    std::vector<File> files;
    QByteArray header;
    bool operator==(const SourceSnapshot&) const = default;
};

// The snapshot of the table of `tablePath` below `folder`; empty when it has no table file or
// its folder cannot be read.
SourceSnapshot snapshotSource(const QString& folder, const QString& tablePath);

} // namespace dravena
