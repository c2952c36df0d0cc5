#include "drivers/ParadoxConnection.h"
#include "dataaccess/ConnectionStrings.h"
#include "drivers/ParadoxCursor.h"

#include "base/RuntimeError.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace dravena {
namespace {

QString connectionStringFor(const QString& folder) {
    return paradoxConnectionString(folder);
}

QString samples(const char* sub) {
    return QStringLiteral(DRAVENA_PARADOX_SAMPLES "/") + QLatin1String(sub);
}

bool samplesPresent() {
    return QFile::exists(samples("extdata/country.db"));
}

// Fails the test with the error's text when the call throws something else than a RuntimeError.
template <typename F> RuntimeError errorOf(F&& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error;
    }
    ADD_FAILURE() << "no RuntimeError";
    return RuntimeError(0, {});
}

TEST(ParadoxConnection, OpensTheFolderOfDefaultDirElseDbq) {
    QTemporaryDir a;
    QTemporaryDir b;
    QFile::copy(samples("extdata/country.db"), b.filePath(QStringLiteral("country.db")));
    {
        auto connection = makeParadoxConnection();
        connection->open(
            QStringLiteral("Driver={Microsoft Paradox Driver (*.db )};Dbq=%1;").arg(b.path()));
        EXPECT_TRUE(connection->isOpen());
        if (samplesPresent()) {
            EXPECT_NO_THROW(connection->query(QStringLiteral("SELECT * FROM \"COUNTRY\"")));
        }
        connection->close();
        EXPECT_FALSE(connection->isOpen());
    }
    // DefaultDir wins over Dbq: the table is not found in folder a.
    auto connection = makeParadoxConnection();
    connection->open(QStringLiteral("Driver={Microsoft Paradox Driver (*.db )};DefaultDir=%1;"
                                    "Dbq=%2;")
                         .arg(a.path(), b.path()));
    const RuntimeError error =
        errorOf([&] { connection->query(QStringLiteral("SELECT * FROM \"COUNTRY\"")); });
    EXPECT_TRUE(error.description().contains(QStringLiteral("COUNTRY"))) << error.what();
    EXPECT_TRUE(error.description().contains(a.path())) << error.what();
}

TEST(ParadoxConnection, MissingFolderFailsClearly) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no such folder"));
    auto connection = makeParadoxConnection();
    RuntimeError error = errorOf([&] { connection->open(connectionStringFor(missing)); });
    EXPECT_EQ(error.number(), errnum::PathNotFound);
    EXPECT_TRUE(error.description().contains(missing)) << error.what();
    EXPECT_FALSE(connection->isOpen());

    // A file is not a folder.
    QFile file(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    error = errorOf([&] { connection->open(connectionStringFor(file.fileName())); });
    EXPECT_EQ(error.number(), errnum::PathNotFound);

    error = errorOf([&] { connection->open(QStringLiteral("Driver={X};DefaultDir=;Dbq=;")); });
    EXPECT_EQ(error.number(), errnum::PathNotFound);
    EXPECT_FALSE(connection->isOpen());
}

TEST(ParadoxConnection, OnlyReadsAndOnlyWhenOpen) {
    QTemporaryDir dir;
    auto connection = makeParadoxConnection();
    EXPECT_THROW(connection->query(QStringLiteral("SELECT * FROM \"T\"")), RuntimeError);
    EXPECT_THROW(connection->close(), RuntimeError);
    connection->open(connectionStringFor(dir.path()));
    EXPECT_THROW(connection->open(connectionStringFor(dir.path())), RuntimeError);

    const RuntimeError drop =
        errorOf([&] { connection->execute(QStringLiteral("DROP TABLE \"T\"")); });
    EXPECT_TRUE(drop.description().contains(QStringLiteral("DROP TABLE \"T\""))) << drop.what();
    for (const char* sql : {"SELECT * FROM T", "select * from \"T\"", "SELECT Name FROM \"T\"",
                            "SELECT * FROM \"T\" WHERE 1=1", "SELECT * FROM \"A\"B\"",
                            "SELECT * FROM \"\"", "SELECT * FROM \"T\";", " SELECT * FROM \"T\""}) {
        const RuntimeError error = errorOf([&] { connection->query(QString::fromLatin1(sql)); });
        EXPECT_TRUE(error.description().contains(QString::fromLatin1(sql))) << sql;
    }
}

TEST(ParadoxConnection, SelectAllNameHasItsDoubledQuotesUndone) {
    EXPECT_EQ(selectAllTableName(QStringLiteral("SELECT * FROM \"CUSTOMER\"")),
              QStringLiteral("CUSTOMER"));
    EXPECT_EQ(selectAllTableName(QStringLiteral("SELECT * FROM \"A\"\"B\"")),
              QStringLiteral("A\"B"));
    EXPECT_EQ(selectAllTableName(QStringLiteral("SELECT * FROM \"\"\"\"")), QStringLiteral("\""));
    EXPECT_EQ(selectAllTableName(QStringLiteral("SELECT * FROM \"Größe 2\"")),
              QStringLiteral("Größe 2"));
    EXPECT_FALSE(selectAllTableName(QStringLiteral("SELECT * FROM \"A\"B\"")));
    EXPECT_FALSE(selectAllTableName(QStringLiteral("SELECT * FROM \"A\"\"")));
    EXPECT_FALSE(selectAllTableName(QStringLiteral("SELECT * FROM \"")));
}

TEST(ParadoxConnection, TableNamesNeverLeaveTheFolder) {
    if (!samplesPresent())
        GTEST_SKIP() << "Paradox sample tables not found at " DRAVENA_PARADOX_SAMPLES;
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("inner")));
    QFile::copy(samples("extdata/country.db"), dir.filePath(QStringLiteral("country.db")));
    auto connection = makeParadoxConnection();
    connection->open(connectionStringFor(dir.filePath(QStringLiteral("inner"))));
    for (const char* name : {"../country", "../COUNTRY", "/country"})
        EXPECT_THROW(
            connection->query(QStringLiteral("SELECT * FROM \"%1\"").arg(QLatin1String(name))),
            RuntimeError)
            << name;
}

TEST(ParadoxConnection, FindsTheTableWhateverTheLetterCase) {
    if (!samplesPresent())
        GTEST_SKIP() << "Paradox sample tables not found at " DRAVENA_PARADOX_SAMPLES;
    QTemporaryDir dir;
    ASSERT_TRUE(
        QFile::copy(samples("extdata/country.db"), dir.filePath(QStringLiteral("Country.Db"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.db")));
    auto connection = makeParadoxConnection();
    connection->open(connectionStringFor(dir.path()));
    for (const char* name : {"COUNTRY", "country", "Country", "cOuNtRy"}) {
        const auto cursor =
            connection->query(QStringLiteral("SELECT * FROM \"%1\"").arg(QLatin1String(name)));
        EXPECT_EQ(cursor->fieldName(0), QStringLiteral("Name")) << name;
    }
    // A folder with the right name is not a table; a name with the extension is another table.
    EXPECT_THROW(connection->query(QStringLiteral("SELECT * FROM \"FOLDER\"")), RuntimeError);
    EXPECT_THROW(connection->query(QStringLiteral("SELECT * FROM \"COUNTRY.DB\"")), RuntimeError);
    EXPECT_THROW(connection->query(QStringLiteral("SELECT * FROM \"COUNTR\"")), RuntimeError);
}

TEST(ParadoxConnection, DamagedTableGivesTheEngineMessage) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("broken.db")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(7, '\x01'));
    file.close();
    auto connection = makeParadoxConnection();
    connection->open(connectionStringFor(dir.path()));
    const RuntimeError error =
        errorOf([&] { connection->query(QStringLiteral("SELECT * FROM \"BROKEN\"")); });
    EXPECT_EQ(error.number(), errnum::DataAccess);
    EXPECT_TRUE(error.description().contains(QStringLiteral("broken.db"))) << error.what();
}

TEST(ParadoxConnection, EveryFieldTypeHasItsAdoNumber) {
    using paradox::FieldType;
    const std::pair<FieldType, int> expected[] = {
        {FieldType::Alpha, 202},       {FieldType::Date, 133},
        {FieldType::Short, 2},         {FieldType::Long, 3},
        {FieldType::Money, 6},         {FieldType::Number, 5},
        {FieldType::Logical, 11},      {FieldType::Memo, 203},
        {FieldType::Blob, 205},        {FieldType::FormattedMemo, 205},
        {FieldType::Ole, 205},         {FieldType::Graphic, 205},
        {FieldType::Time, 134},        {FieldType::Timestamp, 135},
        {FieldType::AutoIncrement, 3}, {FieldType::Bcd, 131},
        {FieldType::Bytes, 128},
    };
    for (const auto& [type, number] : expected)
        EXPECT_EQ(adoTypeOfField(type), number) << paradox::fieldTypeName(type);
}

} // namespace
} // namespace dravena
