#include "base/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dravena;

namespace {

// A program folder laid out as in the build folder (files beside the executable) or as
// installed (files in share/dravena beside bin), or both, or neither.
TEST(ProgramFileLookupTest, BesideTheExecutableFirstThenTheInstalledFolder) {
    struct Case {
        const char* what;
        bool beside;
        bool installed;
        bool expectInstalled;
    };
    const Case cases[] = {
        {"build folder", true, false, false},
        {"installed copy", false, true, true},
        {"both", true, true, false},
        {"neither", false, false, false},
    };
    for (const Case& c : cases) {
        for (const QString& name :
             {QStringLiteral("HAND-M.CUR"), QStringLiteral("x/o.cjs"), QStringLiteral("Samples")}) {
            SCOPED_TRACE(std::string(c.what) + " " + name.toStdString());
            QTemporaryDir prefix;
            const QString bin = prefix.filePath(QStringLiteral("bin"));
            const QString installed = installedFilesFolder(bin);
            ASSERT_TRUE(QDir().mkpath(bin));
            auto place = [&name](const QString& folder) {
                const QString path = folder + u'/' + name;
                ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
                if (name == QLatin1String("Samples"))
                    ASSERT_TRUE(QDir().mkpath(path));
                else
                    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
            };
            if (c.beside)
                place(bin);
            if (c.installed)
                place(installed);
            EXPECT_EQ(findProgramFile(bin, name),
                      (c.expectInstalled ? installed : bin) + u'/' + name);
        }
    }
}

TEST(ProgramFileLookupTest, InstalledFolderIsShareDravenaBesideBin) {
    EXPECT_EQ(installedFilesFolder(QStringLiteral("/usr/bin")),
              QStringLiteral("/usr/share/dravena"));
    EXPECT_EQ(installedFilesFolder(QStringLiteral("/opt/velmora/bin")),
              QStringLiteral("/opt/velmora/share/dravena"));
}

} // namespace
