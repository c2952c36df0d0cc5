#include "TempFolder.h"
#include "base/LocationTags.h"
#include "fsutil/FileHelpers.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace dravena;
using dravena::testing::FileSizeLimit;
using dravena::testing::ScopedDialogs;
using dravena::testing::ScriptedDialogs;
using dravena::testing::TempFolder;

namespace {

// The one report a failed rename shows: at line 100, with the rename's tag.
void expectOneCopyReport(ScriptedDialogs& dialogs, const QString& description) {
    const auto reports = dialogs.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].text.startsWith(
        description + "\r\n" + QString::fromUtf8(tags::MainRenameFile) + "at line 100\r\r"))
        << reports[0].text.toStdString();
}

QByteArray bigContent() {
    QByteArray content;
    for (int i = 0; i < 300000; ++i)
        content += QByteArray::number(i) + ';';
    return content;
}

} // namespace

TEST(RenameFileTest, CopiesThenRemovesTheOldFileKeepingContentModeAndTime) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QByteArray content = bigContent();
    const QString oldPath = tmp.write(QStringLiteral("OLD.DB"), content);
    ::chmod(QFile::encodeName(oldPath).constData(), 0640);
    const QDateTime modified = QFileInfo(oldPath).lastModified().addSecs(-3600);
    {
        QFile file(oldPath);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }

    RenameFile(oldPath, tmp / "NEW.DB");

    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_FALSE(tmp.exists(QStringLiteral("OLD.DB")));
    EXPECT_EQ(tmp.read(QStringLiteral("NEW.DB")), content);
    const QFileInfo renamed(tmp / "NEW.DB");
    EXPECT_EQ(renamed.lastModified(), modified);
    EXPECT_EQ(renamed.permissions() & 0x0777,
              QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
}

TEST(RenameFileTest, EmptyAndReadOnlyFilesAreRenamedToo) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    RenameFile(tmp.write(QStringLiteral("empty.db"), ""), tmp / "EMPTY2.DB");
    const QString readOnly = tmp.write(QStringLiteral("ro.db"), "ro");
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    RenameFile(readOnly, tmp / "RO2.DB");
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(tmp.exists(QStringLiteral("EMPTY2.DB")));
    EXPECT_FALSE(tmp.exists(QStringLiteral("empty.db")));
    EXPECT_EQ(tmp.read(QStringLiteral("RO2.DB")), "ro");
    EXPECT_FALSE(tmp.exists(QStringLiteral("ro.db")));
}

TEST(RenameFileTest, NeverReplacesAnExistingFile) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QString oldPath = tmp.write(QStringLiteral("A.DB"), "old table");
    const QString taken = tmp.write(QStringLiteral("B.DB"), "other table");
    RenameFile(oldPath, taken);
    expectOneCopyReport(*dialogs, "File already exists: " + taken);
    EXPECT_EQ(tmp.read(QStringLiteral("A.DB")), "old table");
    EXPECT_EQ(tmp.read(QStringLiteral("B.DB")), "other table");
}

TEST(RenameFileTest, RenamingOntoItselfKeepsTheFile) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QString path = tmp.write(QStringLiteral("A.DB"), "table");
    RenameFile(path, path);
    EXPECT_EQ(dialogs->reports().size(), 1u);
    EXPECT_EQ(tmp.read(QStringLiteral("A.DB")), "table");
}

TEST(RenameFileTest, TargetInAMissingFolderIsReportedOnceAtLine100) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QString oldPath = tmp.write(QStringLiteral("A.DB"), "table");
    RenameFile(oldPath, tmp / "missing/A.DB");
    expectOneCopyReport(*dialogs, "Path not found: " + (tmp / "missing/A.DB"));
    EXPECT_EQ(tmp.read(QStringLiteral("A.DB")), "table");
}

TEST(RenameFileTest, TargetEndingInASlashOrNamingAFolderIsRefused) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QString oldPath = tmp.write(QStringLiteral("A.DB"), "table");
    tmp.makeFolder(QStringLiteral("sub"));
    RenameFile(oldPath, tmp / "sub/");
    RenameFile(oldPath, tmp / "sub");
    RenameFile(oldPath, tmp / "new/");
    EXPECT_EQ(dialogs->reports().size(), 3u);
    EXPECT_EQ(tmp.read(QStringLiteral("A.DB")), "table");
    EXPECT_TRUE(QFileInfo(tmp / "sub").isDir());
    EXPECT_FALSE(tmp.exists(QStringLiteral("new")));
}

TEST(RenameFileTest, MissingOrFolderSourceIsReportedAndNothingIsCreated) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    RenameFile(tmp / "missing.db", tmp / "NEW.DB");
    expectOneCopyReport(*dialogs, "File not found: " + (tmp / "missing.db"));
    dialogs->boxes.clear();
    RenameFile(tmp.makeFolder(QStringLiteral("dir.db")), tmp / "NEW.DB");
    EXPECT_EQ(dialogs->reports().size(), 1u);
    EXPECT_FALSE(tmp.exists(QStringLiteral("NEW.DB")));
    EXPECT_TRUE(QFileInfo(tmp / "dir.db").isDir());
}

TEST(RenameFileTest, CopyFailingPartWayKeepsTheOldFileAndRemovesThePartialCopy) {
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QByteArray content = bigContent(); // about 2 MB
    const QString oldPath = tmp.write(QStringLiteral("BIG.DB"), content);
    {
        FileSizeLimit limit(64 * 1024);
        RenameFile(oldPath, tmp / "BIG2.DB");
    }
    const auto reports = dialogs->reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].text.contains("at line 100\r\r"));
    EXPECT_TRUE(reports[0].text.startsWith("Path/File access error: " + (tmp / "BIG2.DB")))
        << reports[0].text.toStdString();
    EXPECT_EQ(tmp.read(QStringLiteral("BIG.DB")), content);
    EXPECT_FALSE(tmp.exists(QStringLiteral("BIG2.DB")));
}

TEST(RenameFileTest, ReadOnlyTargetFolderKeepsTheOldFile) {
    if (!dravena::testing::permissionsApply())
        GTEST_SKIP() << "running as the superuser: permission bits do not apply";
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QString oldPath = tmp.write(QStringLiteral("A.DB"), "table");
    const QString locked = tmp.makeFolder(QStringLiteral("locked"));
    ::chmod(QFile::encodeName(locked).constData(), 0555);
    RenameFile(oldPath, locked + "/A.DB");
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    expectOneCopyReport(*dialogs, "Permission denied: " + locked + "/A.DB");
    EXPECT_EQ(tmp.read(QStringLiteral("A.DB")), "table");
}

TEST(RenameFileTest, OldFileThatCannotBeRemovedLeavesBothSilently) {
    if (!dravena::testing::permissionsApply())
        GTEST_SKIP() << "running as the superuser: permission bits do not apply";
    ScopedDialogs dialogs;
    TempFolder tmp;
    const QString locked = tmp.makeFolder(QStringLiteral("locked"));
    const QString oldPath = tmp.write(QStringLiteral("locked/A.DB"), "table");
    ::chmod(QFile::encodeName(locked).constData(), 0555);
    RenameFile(oldPath, tmp / "B.DB");
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(tmp.read(QStringLiteral("locked/A.DB")), "table");
    EXPECT_EQ(tmp.read(QStringLiteral("B.DB")), "table");
}
