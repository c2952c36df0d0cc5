#include "fsutil/TableFamily.h"
#include "TempFolder.h"
#include "base/LocationTags.h"
#include "support/ScriptedDialogs.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::FileSizeLimit;
using dravena::testing::ScopedDialogs;
using dravena::testing::TempFolder;

namespace {

// The files of the folder with their contents, "name=content" sorted by name.
QStringList filesOf(const TempFolder& folder) {
    QStringList files;
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files, QDir::Name))
        files.append(name + u'=' + QString::fromUtf8(folder.read(name)));
    return files;
}

// A table with companions in mixed letter case, and a neighbour.
void writeOrders(const TempFolder& folder) {
    folder.write(QStringLiteral("orders.db"), "table");
    folder.write(QStringLiteral("ORDERS.MB"), "memos");
    folder.write(QStringLiteral("Orders.X02"), "index");
    folder.write(QStringLiteral("Other.db"), "other");
}

const QStringList ordersFiles = {"ORDERS.MB=memos", "Orders.X02=index", "Other.db=other",
                                 "orders.db=table"};

// The reports of the rename: the description of each, all at the given line with its tag.
QStringList reported(ScopedDialogs& dialogs, int line) {
    QStringList descriptions;
    for (const auto& box : dialogs->reports()) {
        const QString where = "\r\n" + QString::fromUtf8(tags::MainRenameFile) + "at line " +
                              QString::number(line) + "\r\r";
        EXPECT_TRUE(box.text.contains(where)) << box.text.toStdString();
        descriptions.append(box.text.section(where, 0, 0));
    }
    return descriptions;
}

TEST(TableFamilyTest, RenameMovesTheWholeFamilyKeepingEachExtensionAsOnDisk) {
    ScopedDialogs dialogs;
    TempFolder folder;
    writeOrders(folder);
    EXPECT_TRUE(
        renameTableFamily(folder.path(), QStringLiteral("ORDERS"), QStringLiteral("Sales")));
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(filesOf(folder), (QStringList{"Other.db=other", "Sales.MB=memos", "Sales.X02=index",
                                            "Sales.db=table"}));
}

// Whatever is refused, every file stays where it was and nothing new appears.
TEST(TableFamilyTest, RefusedRenamesLeaveEveryFileInPlace) {
    struct Case {
        const char* entry;
        QString newName;
        const char* leftover; // a file of no table, already in the folder
        QString report;       // its description, with the folder for "%1"
    };
    const QString nul = QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b");
    const Case cases[] = {
        {"ORDERS", "Other", nullptr, "File already exists: %1/Other.db"},
        {"ORDERS", "OTHER", nullptr, "File already exists: %1/Other.db"},    // letter case ignored
        {"ORDERS", "Sales", "sales.mb", "File already exists: %1/sales.mb"}, // a companion clash
        {"ORDERS", "ORDERS", nullptr, "File already exists: %1/ORDERS.MB"},  // the same name
        {"GONE", "Sales", nullptr, "File not found: %1/GONE.DB"},
        {"ORDERS", "sub/Sales", nullptr,
         "Bad file name: a table name cannot hold \"/\", \"\\\" "
         "or a NUL character: sub/Sales"},
        {"ORDERS", "..\\Sales", nullptr,
         "Bad file name: a table name cannot hold \"/\", \"\\\" "
         "or a NUL character: ..\\Sales"},
        {"ORDERS", nul, nullptr,
         "Bad file name: a table name cannot hold \"/\", \"\\\" or a "
         "NUL character: a\\0b"},
    };
    for (const Case& c : cases) {
        ScopedDialogs dialogs;
        TempFolder folder;
        writeOrders(folder);
        QStringList before = ordersFiles;
        if (c.leftover) {
            folder.write(QString::fromLatin1(c.leftover), "stray");
            before.append(QString::fromLatin1(c.leftover) + "=stray");
            before.sort();
        }
        EXPECT_FALSE(renameTableFamily(folder.path(), QString::fromLatin1(c.entry), c.newName))
            << c.newName.toStdString();
        EXPECT_EQ(reported(dialogs, 100), QStringList{c.report.arg(folder.path())})
            << c.newName.toStdString();
        EXPECT_EQ(filesOf(folder), before) << c.newName.toStdString();
    }
}

TEST(TableFamilyTest, ACopyFailingPartWayRemovesTheCopiesAlreadyMade) {
    ScopedDialogs dialogs;
    TempFolder folder;
    writeOrders(folder);
    const QByteArray memos(256 * 1024, 'm');
    folder.write(QStringLiteral("ORDERS.MB"), memos);
    {
        FileSizeLimit limit(64 * 1024); // the table file fits, its memo file does not
        EXPECT_FALSE(
            renameTableFamily(folder.path(), QStringLiteral("ORDERS"), QStringLiteral("Sales")));
    }
    const QStringList descriptions = reported(dialogs, 100);
    ASSERT_EQ(descriptions.size(), 1);
    EXPECT_TRUE(descriptions[0].startsWith("Path/File access error: " + (folder / "Sales.MB")));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{"ORDERS.MB", "Orders.X02", "Other.db", "orders.db"}));
    EXPECT_EQ(folder.read(QStringLiteral("ORDERS.MB")), memos);
}

} // namespace
