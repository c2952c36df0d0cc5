#include "fsutil/TableFiles.h"
#include "TempFolder.h"
#include "base/RuntimeError.h"

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::TempFolder;

namespace {

QStringList namesOf(const QStringList& paths) {
    QStringList names;
    for (const QString& path : paths)
        names.append(path.section(u'/', -1));
    return names;
}

TEST(TableFilesTest, BaseNameComesFirstAndLetterCaseTwinsAreChosenByByteOrder) {
    TempFolder folder;
    for (const char* name : {"a.db", "a.db.db", "Twin.db", "TWIN.DB", "twin.db", "notes.txt"})
        folder.write(QString::fromUtf8(name));
    folder.makeFolder(QStringLiteral("dir.db"));
    const struct {
        const char* entry;
        std::optional<QString> file;
    } cases[] = {
        {"A", folder / "a.db"},       // a.db.db is listed as A too, but a.db is named so
        {"a.db", folder / "a.db.db"}, // the base name of a.db.db, as a rename types it
        {"twin", folder / "TWIN.DB"}, // the byte order decides among letter-case twins
        {"NOTES", std::nullopt},      {"DIR", std::nullopt}, // a folder is no table
        {"../A", std::nullopt},       {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findTableFile(folder.path(), QString::fromUtf8(c.entry)), c.file) << c.entry;
}

TEST(TableFilesTest, FamilyIsTheTableWithItsCompanionFiles) {
    TempFolder folder;
    for (const char* name :
         {"Orders.db", "ORDERS.MB", "orders.px", "Orders.X02", "Orders.Y0A", "orders.XG0",
          "Orders.YG1", "Orders.VAL", "orders.tv", "ORDERS.FAM", "Orders.txt", "OrdersX.MB",
          "Orders.DB.MB", "Orders.X123", "Orders.XZ1", "Orders.LCK", "Other.db", "Other.MB"})
        folder.write(QString::fromUtf8(name));
    EXPECT_EQ(namesOf(tableFamilyFiles(folder.path(), QStringLiteral("ORDERS"))),
              (QStringList{"Orders.db", "ORDERS.FAM", "ORDERS.MB", "orders.px", "orders.tv",
                           "Orders.VAL", "Orders.X02", "orders.XG0", "Orders.Y0A", "Orders.YG1"}));
    EXPECT_EQ(namesOf(tableFamilyFiles(folder.path(), QStringLiteral("other"))),
              (QStringList{"Other.db", "Other.MB"}));
    EXPECT_TRUE(tableFamilyFiles(folder.path(), QStringLiteral("MISSING")).isEmpty());

    // Two tables whose names differ only in letter case each keep their own companions.
    TempFolder twins;
    for (const char* name : {"a.db", "A.DB", "a.mb", "A.MB", "a.px"})
        twins.write(QString::fromUtf8(name));
    EXPECT_EQ(namesOf(tableFamilyFiles(twins.path(), QStringLiteral("A"))),
              (QStringList{"A.DB", "A.MB"}));
}

TEST(TableFilesTest, FolderThatCannotBeReadFails) {
    TempFolder folder;
    const QString file = folder.write(QStringLiteral("plain.db"));
    for (const QString& path : {folder / "missing", file}) {
        try {
            (void)findTableFile(path, QStringLiteral("PLAIN"));
            ADD_FAILURE() << "no failure for " << path.toStdString();
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), errnum::PathNotFound) << path.toStdString();
        }
    }
}

} // namespace
