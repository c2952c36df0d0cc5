#include "fsutil/FileHelpers.h"
#include "TempFolder.h"
#include "base/RuntimeError.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace dravena;
using dravena::testing::ScopedDialogs;
using dravena::testing::TempFolder;

namespace {

int forceDeleteError(const QString& path) {
    try {
        ForceDeleteFile(path);
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

void makeReadOnly(const QString& path) {
    ::chmod(QFile::encodeName(path).constData(), 0444);
}

} // namespace

TEST(GetFileNameTest, TakesWhatFollowsTheLastSlash) {
    EXPECT_EQ(GetFileName(QStringLiteral("/data/paradox/CUSTOMER.DB")), "CUSTOMER.DB");
    EXPECT_EQ(GetFileName(QStringLiteral("a/b/c/d")), "d");
    EXPECT_EQ(GetFileName(QStringLiteral("bare.db")), "bare.db");
    EXPECT_EQ(GetFileName(QStringLiteral("/data/paradox/")), "");
    EXPECT_EQ(GetFileName(QString()), "");
    // A backslash is an ordinary character in a name here.
    EXPECT_EQ(GetFileName(QStringLiteral("/x/a\\b.db")), "a\\b.db");
}

TEST(FileExistsTest, TrueOnlyWhenThePathCanBeLookedAt) {
    TempFolder tmp;
    const QString file = tmp.write(QStringLiteral("t.db"));
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(tmp.path())); // a folder has a modification time too
    EXPECT_FALSE(FileExists(tmp / "missing.db"));
    EXPECT_FALSE(FileExists(tmp / "missing/t.db"));
    EXPECT_FALSE(FileExists(file + "/inside"));
    EXPECT_FALSE(FileExists(QString()));
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(tmp / "dangling").constData()), 0);
    EXPECT_FALSE(FileExists(tmp / "dangling"));
}

TEST(IsFolderTest, TrueForFoldersAndLinksToThem) {
    TempFolder tmp;
    const QString file = tmp.write(QStringLiteral("t.db"));
    const QString folder = tmp.makeFolder(QStringLiteral("sub"));
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_TRUE(IsFolder(folder + "/"));
    EXPECT_FALSE(IsFolder(file));
    EXPECT_FALSE(IsFolder(tmp / "missing"));
    EXPECT_FALSE(IsFolder(QString()));
    ASSERT_EQ(::symlink("sub", QFile::encodeName(tmp / "link").constData()), 0);
    EXPECT_TRUE(IsFolder(tmp / "link"));
}

TEST(RemoveFileTest, DeletesExactlyTheNamedFileAndNeverFails) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    tmp.write(QStringLiteral("a.db"));
    tmp.write(QStringLiteral("b.db"));
    const QString star = tmp.write(QStringLiteral("*.db"));
    RemoveFile(star);
    EXPECT_FALSE(tmp.exists(QStringLiteral("*.db")));
    EXPECT_TRUE(tmp.exists(QStringLiteral("a.db")));
    EXPECT_TRUE(tmp.exists(QStringLiteral("b.db")));

    const QString readOnly = tmp.write(QStringLiteral("ro.db"));
    makeReadOnly(readOnly);
    RemoveFile(readOnly);
    EXPECT_FALSE(tmp.exists(QStringLiteral("ro.db")));

    // Missing files and folders: nothing happens, nothing is reported.
    RemoveFile(tmp / "missing.db");
    RemoveFile(QString());
    const QString folder = tmp.makeFolder(QStringLiteral("dir.db"));
    RemoveFile(folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST(RemoveFileTest, RemovesALinkButNotWhatItPointsTo) {
    TempFolder tmp;
    tmp.write(QStringLiteral("target.db"), "keep");
    ASSERT_EQ(::symlink("target.db", QFile::encodeName(tmp / "link.db").constData()), 0);
    RemoveFile(tmp / "link.db");
    EXPECT_FALSE(tmp.exists(QStringLiteral("link.db")));
    EXPECT_EQ(tmp.read(QStringLiteral("target.db")), "keep");
}

TEST(ForceDeleteFileTest, DeletesReadOnlyFilesAndRaisesTheFittingError) {
    TempFolder tmp;
    const QString readOnly = tmp.write(QStringLiteral("ro.db"));
    makeReadOnly(readOnly);
    EXPECT_EQ(forceDeleteError(readOnly), 0);
    EXPECT_FALSE(tmp.exists(QStringLiteral("ro.db")));

    EXPECT_EQ(forceDeleteError(tmp / "missing.db"), errnum::FileNotFound);
    EXPECT_EQ(forceDeleteError(tmp / "nofolder/x.db"), errnum::PathNotFound);
    EXPECT_EQ(forceDeleteError(QString()), errnum::PathNotFound);
    const QString folder = tmp.makeFolder(QStringLiteral("sub"));
    EXPECT_EQ(forceDeleteError(folder), errnum::FileNotFound);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(ForceDeleteFileTest, DescriptionNamesThePath) {
    TempFolder tmp;
    try {
        ForceDeleteFile(tmp / "missing.db");
        FAIL() << "expected error 53";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.description(), "File not found: " + (tmp / "missing.db"));
    }
}

TEST(ForceDeleteFileTest, FileInAReadOnlyFolderRaises70) {
    if (!dravena::testing::permissionsApply())
        GTEST_SKIP() << "running as the superuser: permission bits do not apply";
    TempFolder tmp;
    const QString folder = tmp.makeFolder(QStringLiteral("locked"));
    const QString file = tmp.write(QStringLiteral("locked/t.db"));
    ::chmod(QFile::encodeName(folder).constData(), 0555);
    EXPECT_EQ(forceDeleteError(file), errnum::PermissionDenied);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_TRUE(QFileInfo::exists(file));
}
