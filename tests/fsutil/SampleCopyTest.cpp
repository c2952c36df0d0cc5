// Which sample folder "Load Sample/Example Database" offers, and the user's copy of an installed
// copy's samples.

#include "fsutil/SampleCopy.h"
#include "TempFolder.h"
#include "base/RuntimeError.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::TempFolder;

namespace {

// prefix/bin, and an installed copy's samples under prefix/share when asked.
void lay(TempFolder& top, bool installed) {
    top.makeFolder(QStringLiteral("prefix/bin"));
    if (!installed)
        return;
    for (const char* file : {"CUSTOMER.DB", "CUSTOMER.MB", "ORDERS.DB", "more/PARTS.DB"})
        top.write(QStringLiteral("prefix/share/dravena/Samples/") + file, file);
}

QString offered(const TempFolder& top) {
    return sampleFolderForUser(top / QStringLiteral("prefix/bin"), top / QStringLiteral("data"));
}

TEST(SampleCopy, BuildFolderAsItIsInstalledCopyCopiedOnceForTheUser) {
    struct Case {
        const char* what;
        bool beside, installed;
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
        lay(top, c.installed);
        if (c.beside)
            top.write(QStringLiteral("prefix/bin/Samples/CUSTOMER.DB"), "beside");
        EXPECT_EQ(offered(top), top / QLatin1String(c.offered));
        EXPECT_EQ(top.exists(QStringLiteral("data")), QLatin1String(c.what) == "installed copy");
    }
}

TEST(SampleCopy, TheUsersCopyKeepsWhatTheUserChangedAndTheInstallationIsNotWritten) {
    TempFolder top;
    lay(top, true);
    const QString copy = offered(top);
    EXPECT_EQ(top.read(QStringLiteral("data/dravena/Samples/CUSTOMER.DB")), "CUSTOMER.DB");
    // The user deletes one table and changes another: a second load keeps both changes.
    ASSERT_TRUE(QFile::remove(copy + QStringLiteral("/ORDERS.DB")));
    top.write(QStringLiteral("data/dravena/Samples/CUSTOMER.DB"), "changed");
    EXPECT_EQ(offered(top), copy);
    EXPECT_FALSE(top.exists(QStringLiteral("data/dravena/Samples/ORDERS.DB")));
    EXPECT_EQ(top.read(QStringLiteral("data/dravena/Samples/CUSTOMER.DB")), "changed");
    EXPECT_EQ(top.read(QStringLiteral("prefix/share/dravena/Samples/ORDERS.DB")), "ORDERS.DB");
    EXPECT_EQ(QDir(top / QStringLiteral("data/dravena"))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Samples")});

    // A copy that cannot be made is a failure, and nothing is left under the copy's name.
    TempFolder other;
    lay(other, true);
    other.write(QStringLiteral("data/dravena"), "a file where the folder should be");
    EXPECT_THROW(offered(other), RuntimeError);
    EXPECT_FALSE(other.exists(QStringLiteral("data/dravena/Samples")));
}

} // namespace
