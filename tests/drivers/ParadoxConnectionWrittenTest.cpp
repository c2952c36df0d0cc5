#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/ParadoxConnection.h"

#include "paradoxwriter/TableWriter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace dravena {
namespace {

using paradox::Bytes;
using paradox::Date;
using paradox::Decimal;
using paradox::Field;
using paradox::FieldType;
using paradox::Time;
using paradox::Timestamp;

std::filesystem::path pathOf(const QTemporaryDir& dir, const char* name) {
    return std::filesystem::path(
        QFile::encodeName(dir.filePath(QLatin1String(name))).toStdString());
}

void writeTable(const std::filesystem::path& file, std::vector<Field> fields,
                const std::vector<std::vector<Value>>& rows) {
    paradox::TableWriter writer(file, std::move(fields));
    for (const auto& row : rows)
        writer.append(row);
    writer.finish();
}

// Tables written by the engine's writer, read back through the Paradox connection.
class WrittenTables : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        connection_ = makeParadoxConnection();
        connection_->setCursorLocation(ClientSideCursor);
        connection_->open(paradoxConnectionString(dir_.path()));
    }
    std::vector<std::vector<Value>> readAll() {
        std::vector<std::vector<Value>> rows;
        for (; !recordset_.atEnd(); recordset_.moveNext()) {
            rows.emplace_back();
            for (int i = 0; i < recordset_.fieldCount(); ++i)
                rows.back().push_back(recordset_.fieldValue(i));
        }
        return rows;
    }

    QTemporaryDir dir_;
    std::unique_ptr<Connection> connection_;
    Recordset recordset_;
};

TEST_F(WrittenTables, EveryFieldTypeWithItsAdoNumberAndValues) {
    const std::vector<Field> fields{
        {"Name", FieldType::Alpha, 30},
        {"Qty", FieldType::Short, 2},
        {"Count", FieldType::Long, 4},
        {"Ratio", FieldType::Number, 8},
        {"Price", FieldType::Money, 8},
        {"Day", FieldType::Date, 4},
        {"At", FieldType::Time, 4},
        {"Stamp", FieldType::Timestamp, 8},
        {"Paid", FieldType::Logical, 1},
        {"Id", FieldType::AutoIncrement, 4},
        {"Amount", FieldType::Bcd, 2},
        {"Code", FieldType::Bytes, 3},
        {"Notes", FieldType::Memo, 20},
        {"Data", FieldType::Blob, 10},
        {"Rich", FieldType::FormattedMemo, 10},
        {"Object", FieldType::Ole, 10},
        {"Picture", FieldType::Graphic, 10},
    };
    const Value null;
    const std::vector<std::vector<Value>> rows{
        {std::string("O'Brien Ärger"), std::int64_t{-7}, std::int64_t{123456}, 0.1, 12.5,
         Date{2024, 2, 29}, Time{13, 14, 15, 160}, Timestamp{{1999, 12, 31}, {23, 59, 59, 0}}, true,
         std::int64_t{1}, Decimal{"-12.50"}, Bytes{0, 0xAB, 1}, std::string(300, 'm'), Bytes(50, 7),
         Bytes{1, 2, 3}, Bytes(2000, 9), Bytes{4, 5}},
        {null, null, null, null, null, null, null, null, null, std::int64_t{2}, null, null, null,
         null, null, null, null},
    };
    writeTable(pathOf(dir_, "All Types.DB"), fields, rows);

    recordset_.open(QStringLiteral("SELECT * FROM \"ALL TYPES\""), *connection_);
    ASSERT_EQ(recordset_.fieldCount(), 17);
    std::vector<int> types;
    for (int i = 0; i < recordset_.fieldCount(); ++i) {
        EXPECT_EQ(recordset_.fieldName(i).toStdString(), fields[static_cast<std::size_t>(i)].name);
        types.push_back(recordset_.fieldType(i));
    }
    EXPECT_EQ(types, (std::vector<int>{202, 2, 3, 5, 6, 133, 134, 135, 11, 3, 131, 128, 203, 205,
                                       205, 205, 205}));
    EXPECT_EQ(recordset_.recordCount(), 2);
    EXPECT_EQ(readAll(), rows);
    EXPECT_TRUE(recordset_.warnings().isEmpty()) << qPrintable(recordset_.warnings().join(u'\n'));
}

TEST_F(WrittenTables, LostMemoFileIsToldNotHidden) {
    writeTable(pathOf(dir_, "notes.db"),
               {{"No", FieldType::Short, 2}, {"Text", FieldType::Memo, 11}},
               {{std::int64_t{1}, std::string(500, 'x')}, {std::int64_t{2}, std::string("a")}});
    ASSERT_TRUE(QFile::remove(dir_.filePath(QStringLiteral("notes.mb"))) ||
                QFile::remove(dir_.filePath(QStringLiteral("notes.MB"))));
    recordset_.open(QStringLiteral("SELECT * FROM \"NOTES\""), *connection_);
    const auto rows = readAll();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], Value{}); // the long memo lived in the lost file
    EXPECT_EQ(rows[1][1], Value{std::string("a")});
    const QStringList warnings = recordset_.warnings();
    ASSERT_FALSE(warnings.isEmpty());
    EXPECT_TRUE(warnings.join(u'\n').contains(QStringLiteral("notes.db")))
        << qPrintable(warnings.join(u'\n'));
}

TEST_F(WrittenTables, ManyRowsComeInFileOrderWithTheirCountKnownFirst) {
    constexpr int count = 20000;
    {
        paradox::TableWriter writer(pathOf(dir_, "BIG.DB"),
                                    {{"N", FieldType::Long, 4}, {"Label", FieldType::Alpha, 12}});
        for (int i = 1; i <= count; ++i)
            writer.append({std::int64_t{i}, std::string("row ") + std::to_string(i)});
        writer.finish();
    }
    recordset_.open(QStringLiteral("SELECT * FROM \"big\""), *connection_);
    EXPECT_EQ(recordset_.recordCount(), count);
    std::int64_t expected = 1;
    bool inOrder = true;
    for (; !recordset_.atEnd(); recordset_.moveNext(), ++expected)
        inOrder = inOrder && recordset_.fieldValue(0) == Value{expected} &&
                  recordset_.fieldValue(1) == Value{"row " + std::to_string(expected)};
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(expected - 1, count);
}

} // namespace
} // namespace dravena
