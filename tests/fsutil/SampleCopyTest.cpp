// Which sample folder "Load Sample/Example Database" offers, and the user's copy of an installed
// copy's samples.

#include "fsutil/SampleCopy.h"
#include "TempFolder.h"
#include "app/RuntimeError.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::TempFolder;

namespace {

TEST(SampleCopy, BuildFolderAsItIsInstalledCopyCopiedOnceForTheUser) {
    struct Case {
        const char* what;
        bool beside;
        bool installed;
        const char* offered; // relative to the temporary folder
    };
    const Case cases[] = {
        {"build folder", true, false, "prefix/bin/Samples"},
        {"both", true, true, "prefix/bin/Samples"},
        {"installed copy", false, true, "data/dravena/Samples"},
        {"neither", false, false, "prefix/bin/Samples"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder top;
        top.makeFolder(QStringLiteral("prefix/bin"));
        if (c.beside)
            top.write(QStringLiteral("prefix/bin/Samples/CUSTOMER.DB"), "beside");
        if (c.installed) {
            top.write(QStringLiteral("prefix/share/dravena/Samples/CUSTOMER.DB"), "db");
            top.write(QStringLiteral("prefix/share/dravena/Samples/CUSTOMER.MB"), "mb");
            top.write(QStringLiteral("prefix/share/dravena/Samples/more/PARTS.DB"), "parts");
        }
        const QString bin = top / QStringLiteral("prefix/bin");
        const QString data = top / QStringLiteral("data");
        EXPECT_EQ(sampleFolderForUser(bin, data), top / QLatin1String(c.offered));
        EXPECT_EQ(top.exists(QStringLiteral("data")), QLatin1String(c.what) == "installed copy");
    }
}

TEST(SampleCopy, TheUsersCopyKeepsWhatTheUserChangedAndTheInstallationIsNotWritten) {
    TempFolder top;
    top.write(QStringLiteral("prefix/share/dravena/Samples/CUSTOMER.DB"), "db");
    top.write(QStringLiteral("prefix/share/dravena/Samples/ORDERS.DB"), "orders");
    top.makeFolder(QStringLiteral("prefix/bin"));
    const QString bin = top / QStringLiteral("prefix/bin");
    const QString data = top / QStringLiteral("data");
    const QString copy = sampleFolderForUser(bin, data);
    EXPECT_EQ(top.read(QStringLiteral("data/dravena/Samples/CUSTOMER.DB")), "db");
    // The user deletes one table and changes another: a second load keeps both changes.
    ASSERT_TRUE(QFile::remove(copy + QStringLiteral("/ORDERS.DB")));
    top.write(QStringLiteral("data/dravena/Samples/CUSTOMER.DB"), "changed");
    EXPECT_EQ(sampleFolderForUser(bin, data), copy);
    EXPECT_FALSE(top.exists(QStringLiteral("data/dravena/Samples/ORDERS.DB")));
    EXPECT_EQ(top.read(QStringLiteral("data/dravena/Samples/CUSTOMER.DB")), "changed");
    EXPECT_EQ(top.read(QStringLiteral("prefix/share/dravena/Samples/ORDERS.DB")), "orders");
    EXPECT_EQ(
        QDir(data + QStringLiteral("/dravena")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
        QStringList{QStringLiteral("Samples")});

    // A copy that cannot be made is a failure, and nothing is left under the copy's name.
    TempFolder other;
    other.write(QStringLiteral("prefix/share/dravena/Samples/CUSTOMER.DB"), "db");
    other.makeFolder(QStringLiteral("prefix/bin"));
    other.write(QStringLiteral("data/dravena"), "a file where the folder should be");
    EXPECT_THROW(
        sampleFolderForUser(other / QStringLiteral("prefix/bin"), other / QStringLiteral("data")),
        RuntimeError);
    EXPECT_FALSE(other.exists(QStringLiteral("data/dravena/Samples")));
}

} // namespace
