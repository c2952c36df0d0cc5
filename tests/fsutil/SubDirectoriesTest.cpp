#include "fsutil/SubDirectories.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace dravena;
using dravena::testing::ScopedDialogs;

namespace {

class SubDirectoriesTest : public ::testing::Test {
protected:
    QString mk(const QString& relative) {
        EXPECT_TRUE(QDir().mkpath(root.filePath(relative)));
        return root.filePath(relative) + '/';
    }
    QString top() const { return root.path() + '/'; }

    ScopedDialogs dialogs;
    QTemporaryDir root;
};

TEST_F(SubDirectoriesTest, ExtendsTheListBreadthFirst) {
    mk("b/d");
    mk("a/c/e");
    QStringList folders{top()};
    GetSubDirectories2016(folders, true);
    EXPECT_EQ(folders, (QStringList{top(), top() + "a/", top() + "b/", top() + "a/c/",
                                    top() + "b/d/", top() + "a/c/e/"}));
    EXPECT_TRUE(dialogs->boxes.empty());

    QStringList oneLevel{top()};
    GetSubDirectories2016(oneLevel, false);
    EXPECT_EQ(oneLevel, (QStringList{top(), top() + "a/", top() + "b/"}));
}

TEST_F(SubDirectoriesTest, LeavesOutHiddenFoldersAndRefusedNamesWithEverythingBelow) {
    mk(".git/objects");
    mk("tab\there/deeper");
    mk("plain");
    ASSERT_EQ(symlink(root.filePath("plain").toLocal8Bit().constData(),
                      root.filePath(".linked").toLocal8Bit().constData()),
              0);
    EXPECT_EQ(folderAttributes(top() + ".git/"), 22);
    EXPECT_EQ(folderAttributes(top() + ".linked/"), 1046);
    QStringList folders{top()};
    GetSubDirectories2016(folders, true);
    EXPECT_EQ(folders, (QStringList{top(), top() + "plain/"}));
}

TEST_F(SubDirectoriesTest, FollowsALinkedFolderOnlyOnce) {
    mk("a/b");
    ASSERT_EQ(symlink(root.path().toLocal8Bit().constData(),
                      root.filePath("a/b/back").toLocal8Bit().constData()),
              0);
    ASSERT_EQ(symlink(root.filePath("a").toLocal8Bit().constData(),
                      root.filePath("again").toLocal8Bit().constData()),
              0);
    QStringList folders{top()};
    GetSubDirectories2016(folders, true);
    EXPECT_EQ(folders, (QStringList{top(), top() + "a/", top() + "a/b/"}));
}

TEST_F(SubDirectoriesTest, AFolderWithoutSubFoldersLeavesTheListUnchanged) {
    QStringList folders{top()};
    GetSubDirectories2016(folders, true);
    EXPECT_EQ(folders, QStringList{top()});
    EXPECT_TRUE(isRootFolder(QStringLiteral("/")));
    EXPECT_FALSE(isRootFolder(top()));
}

TEST_F(SubDirectoriesTest, AFolderThatCannotBeListedIsDropped) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    const QString locked = mk("locked");
    mk("locked/inner");
    mk("open");
    QFile::setPermissions(locked, QFile::WriteOwner | QFile::ExeOwner);
    QStringList folders{top()};
    GetSubDirectories2016(folders, true);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(folders, (QStringList{top(), top() + "open/"}));
    EXPECT_TRUE(dialogs->boxes.empty());
}

} // namespace
