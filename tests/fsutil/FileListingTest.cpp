#include "fsutil/FileListing.h"
#include "TempFolder.h"
#include "base/RuntimeError.h"
#include "fsutil/WildcardPattern.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace dravena;
using dravena::testing::TempFolder;

namespace {

int listError(const QString& folder) {
    try {
        (void)ListFiles(folder, QStringLiteral("*.db"));
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

void makeFifo(const QString& path) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
}

} // namespace

TEST(WildcardPatternTest, StarAndQuestionMarkIgnoringLetterCase) {
    const WildcardPattern db(QStringLiteral("*.db"));
    EXPECT_TRUE(db.matches(QStringLiteral("A.DB")));
    EXPECT_TRUE(db.matches(QStringLiteral("b.Db")));
    EXPECT_TRUE(db.matches(QStringLiteral(".db")));
    EXPECT_TRUE(db.matches(QStringLiteral("two.dots.db")));
    EXPECT_FALSE(db.matches(QStringLiteral("x.dbf")));
    EXPECT_FALSE(db.matches(QStringLiteral("x.db.bak")));
    EXPECT_FALSE(db.matches(QStringLiteral("xdb")));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("ä*.DB")).matches(QStringLiteral("Äpfel.db")));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("?.db")).matches(QStringLiteral("q.db")));
    EXPECT_FALSE(WildcardPattern(QStringLiteral("?.db")).matches(QStringLiteral("qq.db")));
    // Characters that mean something to regular expressions stand for themselves.
    EXPECT_TRUE(
        WildcardPattern(QStringLiteral("a+(1)[2].db")).matches(QStringLiteral("A+(1)[2].DB")));
    EXPECT_FALSE(WildcardPattern(QStringLiteral("a+.db")).matches(QStringLiteral("aa.db")));
    EXPECT_TRUE(WildcardPattern(QStringLiteral("*")).matches(QStringLiteral("line\nbreak")));
}

TEST(ListFilesTest, ListsMatchingOpenableFilesSortedIgnoringCase) {
    TempFolder tmp;
    for (const char* name :
         {"c.db", "A.DB", "b.Db", ".hidden.db", "Ärger.db", "x.dbf", "notes.txt"})
        tmp.write(QString::fromUtf8(name));
    tmp.makeFolder(QStringLiteral("folder.db"));
    ASSERT_EQ(::symlink("c.db", QFile::encodeName(tmp / "link.db").constData()), 0);
    ASSERT_EQ(::symlink("gone.db", QFile::encodeName(tmp / "dangling.db").constData()), 0);
    makeFifo(tmp / "pipe.db");

    const QStringList expected = {".hidden.db", "A.DB", "b.Db", "c.db", "link.db", "Ärger.db"};
    EXPECT_EQ(ListFiles(tmp.path(), QStringLiteral("*.db")), expected);
    EXPECT_EQ(ListFiles(tmp.path() + "/", QStringLiteral("*.DB")), expected);
}

TEST(ListFilesTest, ManyFilesAllComeBackAndNoneGivesAnEmptyList) {
    TempFolder tmp;
    EXPECT_TRUE(ListFiles(tmp.path(), QStringLiteral("*.db")).isEmpty());
    for (int i = 1; i <= 150; ++i)
        tmp.write(QStringLiteral("T%1.DB").arg(i, 3, 10, QLatin1Char('0')));
    const QStringList names = ListFiles(tmp.path(), QStringLiteral("*.db"));
    ASSERT_EQ(names.size(), 150);
    EXPECT_EQ(names.first(), "T001.DB");
    EXPECT_EQ(names.last(), "T150.DB");
}

TEST(ListFilesTest, FolderThatCannotBeListedRaisesPathNotFound) {
    TempFolder tmp;
    EXPECT_EQ(listError(tmp / "missing"), errnum::PathNotFound);
    EXPECT_EQ(listError(tmp.write(QStringLiteral("file.db"))), errnum::PathNotFound);
    EXPECT_EQ(listError(tmp.path()), 0);
}

TEST(ListFilesTest, UnreadableFolderRaisesPermissionDenied) {
    if (!dravena::testing::permissionsApply())
        GTEST_SKIP() << "running as the superuser: permission bits do not apply";
    TempFolder tmp;
    const QString locked = tmp.makeFolder(QStringLiteral("locked"));
    ::chmod(QFile::encodeName(locked).constData(), 0);
    EXPECT_EQ(listError(locked), errnum::PermissionDenied);
    ::chmod(QFile::encodeName(locked).constData(), 0755);
}

TEST(CanOpenFileTest, OnlyRegularFilesThatOpen) {
    TempFolder tmp;
    EXPECT_TRUE(CanOpenFile(tmp.write(QStringLiteral("t.db"))));
    EXPECT_TRUE(CanOpenFile(tmp.write(QStringLiteral("empty.db"), "")));
    EXPECT_FALSE(CanOpenFile(tmp.path()));
    EXPECT_FALSE(CanOpenFile(tmp / "missing.db"));
    EXPECT_FALSE(CanOpenFile(QString()));
    makeFifo(tmp / "pipe.db"); // must not hang waiting for a writer
    EXPECT_FALSE(CanOpenFile(tmp / "pipe.db"));
    if (dravena::testing::permissionsApply()) {
        const QString locked = tmp.write(QStringLiteral("locked.db"));
        ::chmod(QFile::encodeName(locked).constData(), 0);
        EXPECT_FALSE(CanOpenFile(locked));
    }
}

TEST(HasOddCharactersTest, ControlCharactersQuestionMarkAndUnwritableTextAreOdd) {
    for (const QString& name :
         {QStringLiteral("tab\there"), QStringLiteral("what?"), QStringLiteral("nl\n"),
          QString(QChar(0x7F)), QString(QChar(0x85)), QString(QChar(0x9F)), QString(QChar(1)),
          QString(QChar(0xFFFD)), QString(QChar(0xD800)), QStringLiteral("x") + QChar(0xDC00)})
        EXPECT_TRUE(HasOddCharacters(name)) << name.toStdString();
    for (const QString& name :
         {QString(), QStringLiteral("Customer Orders 2021"), QStringLiteral("a-b_c.d,e;f(g)[h]!~'"),
          QStringLiteral("Ärger ß"), QStringLiteral("Заказы"), QStringLiteral("日本"),
          QStringLiteral("emoji 😀"), QString(QChar(0xA0))})
        EXPECT_FALSE(HasOddCharacters(name)) << name.toStdString();
}
