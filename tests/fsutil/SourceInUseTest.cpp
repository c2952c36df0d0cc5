#include "fsutil/SourceInUse.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace dravena;
using dravena::testing::TempFolder;

namespace {

// Lock records: bytes of no public layout, with no lock kind readable in them.
const QByteArray LockRecords = QByteArray::fromHex("0100020000000000a1b2c3d4000000000100");
template <std::size_t N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// A net file: control bytes, the net folder's path and the users' names as text.
const QByteArray NetFile = bytes("\x03\x00\x00\x00\\\\SERVER\\PDOXNET\\\x00\x00"
                                 "ALICE\x00\x00\x01\x02"
                                 "PDOXUSRS.LCK\x00\x00"
                                 "bob smith\x00");

// Each case is a folder of made files and what the lock reader must find for the table ORDERS.
// The faults it catches: a lock file whose kind cannot be read taken as harmless (a table being
// written sent without a word); an empty, left-behind lock file taken for a write lock; another
// table's lock or the folder's own lock taken for this table's; letter case of the files on a
// share not matched; the user names of the net file lost, or paths taken for names.
TEST(SourceInUseTest, LockFilesTellWhoMayHoldTheTableForWriting) {
    const struct Case {
        const char* name;
        std::vector<std::pair<const char*, QByteArray>> files;
        const char* table;
        TableLock::State state;
        QStringList users;
        const char* says;
    } cases[] = {
        {"no lock file",
         {{"orders.db", "x"}, {"PARADOX.LCK", LockRecords}, {"OTHER.LCK", LockRecords}},
         "ORDERS",
         TableLock::State::None,
         {},
         ""},
        {"held, users in the net file",
         {{"Orders.DB", "x"}, {"orders.lck", LockRecords}, {"PDOXUSRS.NET", NetFile}},
         "ORDERS",
         TableLock::State::Held,
         {"ALICE", "bob smith"},
         "may be held for writing by another program: users ALICE, bob smith"},
        {"a lock of a kind that cannot be read, no net file",
         {{"ORDERS.DB", "x"}, {"ORDERS.LCK", QByteArray(32, '\x02')}},
         "ORDERS",
         TableLock::State::Held,
         {},
         "user unknown (from the net file); kind of lock not readable"},
        {"empty lock file left behind",
         {{"ORDERS.DB", "x"}, {"ORDERS.LCK", ""}},
         "ORDERS",
         TableLock::State::NoRecords,
         {},
         "not held for writing"},
        {"sub-folder table, net file in the Paradox folder",
         {{"sub/ORDERS.DB", "x"}, {"sub/ORDERS.LCK", LockRecords}, {"pdoxusrs.net", NetFile}},
         "sub/ORDERS",
         TableLock::State::Held,
         {"ALICE", "bob smith"},
         "users ALICE, bob smith"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const auto& [file, content] : c.files)
            folder.write(QString::fromUtf8(file), content);
        const TableLock lock = tableLockOf(folder.path(), QString::fromUtf8(c.table));
        EXPECT_EQ(lock.state, c.state) << c.name;
        EXPECT_EQ(lock.forWriting(), c.state == TableLock::State::Held) << c.name;
        EXPECT_EQ(lock.users, c.users) << c.name;
        EXPECT_TRUE(lock.text().contains(QString::fromUtf8(c.says)))
            << c.name << ": " << qPrintable(lock.text());
    }
}

// A write another program makes between two snapshots is seen though it keeps the file's size
// and time (a record changed in place within one clock tick): the header's counters moved. A
// companion file's change is seen too; two snapshots of an untouched table agree.
TEST(SourceInUseTest, SnapshotsDifferAfterAnyWriteToTheTable) {
    TempFolder folder;
    QByteArray header(0x800, '\0');
    header[0x06] = 5; // numRecords
    const QString table = folder.write(QStringLiteral("ORDERS.DB"), header);
    folder.write(QStringLiteral("orders.mb"), "memo");
    const SourceSnapshot first = snapshotSource(folder.path(), QStringLiteral("ORDERS"));
    ASSERT_EQ(first.files.size(), 2u);
    EXPECT_EQ(snapshotSource(folder.path(), QStringLiteral("ORDERS")), first);

    struct stat info {};
    ASSERT_EQ(::stat(table.toUtf8().constData(), &info), 0);
    header[0x06] = 6;
    folder.write(QStringLiteral("ORDERS.DB"), header);
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, table.toUtf8().constData(), times, 0), 0);
    const SourceSnapshot second = snapshotSource(folder.path(), QStringLiteral("ORDERS"));
    EXPECT_EQ(second.files, first.files);
    EXPECT_NE(second, first);

    folder.write(QStringLiteral("orders.mb"), "memo grown");
    EXPECT_NE(snapshotSource(folder.path(), QStringLiteral("ORDERS")), second);
    EXPECT_EQ(snapshotSource(folder.path(), QStringLiteral("NONE")), SourceSnapshot{});
}

} // namespace
