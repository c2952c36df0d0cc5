#include "ui/Settings.h"
#include "base/RuntimeError.h"
#include "support/TestConfigFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace dravena;
using dravena::testing::TestConfigFolder;

namespace {

QString key(const char* name) {
    return QString::fromUtf8(name);
}

mode_t modeOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

// The description of the error 70 that `action` raises; "" when it raises none.
template <class F> QString failureOf(F action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errnum::PermissionDenied);
        return e.description();
    }
    return {};
}

// A store holding one value, then a line Qt cannot parse (an unterminated section header).
QString damagedStore() {
    Settings::write(key(settingkeys::User), QStringLiteral("scott"));
    QFile file(Settings::filePath());
    EXPECT_TRUE(file.open(QIODevice::Append));
    file.write("[broken\nstray=1\n");
    return Settings::filePath();
}

} // namespace

TEST(SettingsTest, FirstRunGivesEveryDefaultAndCreatesNoFile) {
    TestConfigFolder folder;
    EXPECT_EQ(Settings::read(key(settingkeys::ParadoxFolder), QStringLiteral("")), QString(""));
    EXPECT_EQ(Settings::read(key(settingkeys::Password)), QString());
    EXPECT_EQ(Settings::read(key(settingkeys::LastFolderDot), QStringLiteral("/home")), "/home");
    EXPECT_EQ(Settings::read(key(settingkeys::Server), 0), "0");
    EXPECT_FALSE(QFileInfo::exists(Settings::filePath()));
}

TEST(SettingsTest, StoreLivesUnderTheMakerFolderInTheConfigurationFolder) {
    TestConfigFolder folder;
    EXPECT_EQ(Settings::filePath(), folder.path() + "/Velmora/Velmora.ini");
}

TEST(SettingsTest, AwkwardValuesComeBackExactly) {
    TestConfigFolder folder;
    const QStringList values = {
        QStringLiteral("pa\"ss'wo;rd"),
        QStringLiteral("a=b; c=d"),
        QStringLiteral("  leading and trailing  "),
        QStringLiteral("\t"),
        QStringLiteral("Grüße Ärger ÿ"),
        QStringLiteral("Пароль"),
        QStringLiteral("日本語"),
        QStringLiteral("true"),
        QStringLiteral("1, 2"),
        QStringLiteral("a,b"),
        QStringLiteral("42"),
        QStringLiteral("@Variant(x)"),
        QStringLiteral("@"),
        QStringLiteral("C:\\data\\tables\\"),
        QStringLiteral("/home/user/Paradox Tables/"),
        QStringLiteral("#not a comment"),
        QStringLiteral("[Section]"),
        QStringLiteral("line1\nline2\r\n"),
        QStringLiteral("%20 %zz"),
        QStringLiteral("\""),
        QStringLiteral(""),
    };
    for (const QString& value : values) {
        Settings::write(key(settingkeys::Password), value);
        EXPECT_EQ(Settings::read(key(settingkeys::Password), QStringLiteral("default")), value)
            << value.toStdString();
    }
    // Every key keeps its own value.
    Settings::write(key(settingkeys::Server), QStringLiteral("ORCL"));
    Settings::write(key(settingkeys::User), QStringLiteral("scott"));
    EXPECT_EQ(Settings::read(key(settingkeys::Server)), "ORCL");
    EXPECT_EQ(Settings::read(key(settingkeys::User)), "scott");
}

TEST(SettingsTest, EmptiedFieldStoresEmptyTextNotTheDefault) {
    TestConfigFolder folder;
    Settings::write(key(settingkeys::Password), QStringLiteral("secret"));
    Settings::write(key(settingkeys::Password), QString());
    EXPECT_EQ(Settings::read(key(settingkeys::Password), QStringLiteral("default")), QString(""));
}

TEST(SettingsTest, WriteIsOnDiskAtOnceUnderTheProductSection) {
    TestConfigFolder folder;
    for (const QString& typed : {QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("abc")})
        Settings::write(key(settingkeys::Server), typed);

    // A separate reader of the file (as a second copy of the program would be) sees the value.
    QSettings fresh(Settings::filePath(), QSettings::IniFormat);
    EXPECT_EQ(fresh.value(QStringLiteral("Dravena Conversion Software/Server")).toString(), "abc");
    QFile file(Settings::filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("[Dravena%20Conversion%20Software]")) << content.toStdString();
    EXPECT_TRUE(content.contains("Server=abc")) << content.toStdString();
}

TEST(SettingsTest, ValueWrittenByAnotherCopyIsReadBack) {
    TestConfigFolder folder;
    Settings::write(key(settingkeys::User), QStringLiteral("first"));
    {
        QSettings other(Settings::filePath(), QSettings::IniFormat);
        other.setValue(QStringLiteral("Dravena Conversion Software/User"), QStringLiteral("last"));
    }
    EXPECT_EQ(Settings::read(key(settingkeys::User)), "last");
}

TEST(SettingsTest, HandEditedListValueComesBackAsItsText) {
    TestConfigFolder folder;
    Settings::write(key(settingkeys::User), QStringLiteral("x"));
    QFile file(Settings::filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Dravena%20Conversion%20Software]\nLastFolderDot=/a, /b\n");
    file.close();
    EXPECT_EQ(Settings::read(key(settingkeys::LastFolderDot)), "/a, /b");
}

TEST(SettingsTest, FileIsReadableByItsOwnerOnly) {
    TestConfigFolder folder;
    Settings::write(key(settingkeys::Password), QStringLiteral("tiger"));
    EXPECT_EQ(modeOf(Settings::filePath()), 0600u);
    EXPECT_EQ(modeOf(folder.path() + "/Velmora"), 0700u);

    // A file loosened by someone else is tightened again by the next write.
    ASSERT_EQ(::chmod(QFile::encodeName(Settings::filePath()).constData(), 0644), 0);
    Settings::write(key(settingkeys::Password), QStringLiteral("lion"));
    EXPECT_EQ(modeOf(Settings::filePath()), 0600u);
    EXPECT_EQ(Settings::read(key(settingkeys::Password)), "lion");
}

TEST(SettingsTest, UnreadableStoreIsAFailureNotAnEmptyStore) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as the superuser: permission bits do not apply";
    TestConfigFolder folder;
    // A store left by an earlier run, which this run has not looked at yet.
    ASSERT_TRUE(QDir().mkpath(folder.path() + "/Velmora"));
    const QString path = folder.path() + "/Velmora/Velmora.ini";
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("[Dravena%20Conversion%20Software]\nUser=scott\nServer=ORCL\n");
    earlier.close();
    const QByteArray file = QFile::encodeName(path);
    ASSERT_EQ(::chmod(file.constData(), 0), 0);
    const QString denied = "Permission denied: " + path;
    EXPECT_EQ(failureOf([] { (void)Settings::read(key(settingkeys::User)); }), denied);
    // A write must not replace the values it could not read.
    EXPECT_EQ(failureOf([] { Settings::write(key(settingkeys::User), QStringLiteral("x")); }),
              denied);
    ::chmod(file.constData(), 0600);
    EXPECT_EQ(Settings::read(key(settingkeys::User)), "scott");
    EXPECT_EQ(Settings::read(key(settingkeys::Server)), "ORCL");
}

// A store file Qt cannot parse is no write failure: the write
// succeeds, says that it wrote the file anew, keeps what could be read and leaves mode 0600.
TEST(SettingsTest, AFileThatCannotBeParsedIsWrittenAnewWithoutAFalseError) {
    TestConfigFolder folder;
    const QString path = damagedStore();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);

    Settings::WriteResult result = Settings::WriteResult::Written;
    EXPECT_NO_THROW(result = Settings::write(key(settingkeys::Server), QStringLiteral("ORCL")));
    EXPECT_EQ(result, Settings::WriteResult::DamagedFileRewritten);
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(Settings::read(key(settingkeys::User)), "scott");
    EXPECT_EQ(Settings::read(key(settingkeys::Server)), "ORCL");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("[broken\n"));
    // Written cleanly, the file is told about no more.
    EXPECT_EQ(Settings::write(key(settingkeys::Password), QStringLiteral("x")),
              Settings::WriteResult::Written);
}

TEST(SettingsTest, ADamagedFileThatCannotBeWrittenIsAFailure) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as the superuser: permission bits do not apply";
    TestConfigFolder folder;
    const QString path = damagedStore();
    const QByteArray store = QFile::encodeName(folder.path() + "/Velmora");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0400), 0);
    ASSERT_EQ(::chmod(store.constData(), 0500), 0);
    EXPECT_EQ(failureOf([] { Settings::write(key(settingkeys::Server), QStringLiteral("ORCL")); }),
              "Permission denied: " + path);
    ::chmod(store.constData(), 0700);
}
