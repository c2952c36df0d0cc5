#include "schema/Statements.h"

#include "TestDatabase.h"
#include "base/RuntimeError.h"

#include <gtest/gtest.h>

#include <limits>

namespace dravena {
namespace {

using paradox::Bytes;
using paradox::Date;
using paradox::Decimal;
using paradox::Time;
using paradox::Timestamp;

// The statement texts as the server takes them: every column type, every kind of value.
class StatementsOnServer : public testing::ServerTest {
protected:
    std::string text(const QString& sql) const {
        const Value value = scalar(sql);
        if (isNull(value))
            return "(null)";
        if (const auto* s = std::get_if<std::string>(&value))
            return *s;
        ADD_FAILURE() << "not text: " << sql.toStdString();
        return {};
    }
    std::int64_t count(const QString& sql) const {
        return std::stoll(text(QStringLiteral("SELECT CAST(COUNT(*) AS VARCHAR(20)) ") + sql));
    }
};

TEST_F(StatementsOnServer, EveryColumnTypeTakesItsValuesBack) {
    const QString table = QStringLiteral("Xfer \"Kinds\"");
    dropIfExists(table);
    const auto connection = connect();
    connection->execute(
        createTableStatement(table, {{QStringLiteral("Id"), QStringLiteral("INT")},
                                     {QStringLiteral("Name's"), QStringLiteral("NVARCHAR2(2000)")},
                                     {QStringLiteral("Ratio"), QStringLiteral("FLOAT")},
                                     {QStringLiteral("Amount"), QStringLiteral("DECIMAL(32,12)")},
                                     {QStringLiteral("Data"), QStringLiteral("BLOB")},
                                     {QStringLiteral("Day"), QStringLiteral("NVARCHAR2(2000)")}}));
    InsertStatementBuilder insert(table);
    const std::vector<std::vector<Value>> rows{
        {std::int64_t{1}, std::string("O'Brien \"Grüße\""), 0.1, Decimal{"-12.50"},
         Bytes{0x00, 0x27, 0xFF}, Date{2024, 2, 29}},
        {std::int64_t{2}, std::string(), 1e125, Decimal{"12345678901234567890.123456789012"},
         Bytes{}, Timestamp{{-44, 3, 15}, {9, 5, 7, 50}}},
        {std::int64_t{3}, Value{}, -0.0, Value{}, Value{}, Time{23, 59, 59, 999}},
    };
    for (const auto& row : rows)
        connection->execute(insert.statement(row).text);
    // Numbers a FLOAT column cannot hold are refused, never changed.
    for (const double refused : {std::numeric_limits<double>::infinity(), 1e126,
                                 std::numeric_limits<double>::quiet_NaN()}) {
        const std::vector<Value> row{std::int64_t{4}, Value{}, refused, Value{}, Value{}, Value{}};
        EXPECT_THROW(connection->execute(insert.statement(row).text), RuntimeError) << refused;
    }

    const QString from = QStringLiteral(" FROM \"Xfer \"\"Kinds\"\"\" WHERE \"Id\" = ");
    EXPECT_EQ(text(QStringLiteral("SELECT \"Name's\"") + from + u'1'), "O'Brien \"Grüße\"");
    EXPECT_EQ(text(QStringLiteral("SELECT \"Name's\"") + from + u'2'), "(null)");
    EXPECT_EQ(text(QStringLiteral("SELECT CAST(\"Ratio\" AS VARCHAR(40))") + from + u'1'), "0.1");
    EXPECT_EQ(text(QStringLiteral("SELECT CAST(\"Ratio\" AS VARCHAR(40))") + from + u'2'),
              "1e+125");
    EXPECT_EQ(text(QStringLiteral("SELECT CAST(\"Amount\" AS VARCHAR(60))") + from + u'1'),
              "-12.500000000000");
    EXPECT_EQ(text(QStringLiteral("SELECT CAST(\"Amount\" AS VARCHAR(60))") + from + u'2'),
              "12345678901234567890.123456789012");
    EXPECT_EQ(text(QStringLiteral("SELECT encode(\"Data\", 'hex')") + from + u'1'), "0027ff");
    EXPECT_EQ(text(QStringLiteral("SELECT encode(\"Data\", 'hex')") + from + u'2'), "(null)");
    EXPECT_EQ(text(QStringLiteral("SELECT \"Day\"") + from + u'2'), "-0044-03-15 09:05:07.050");
    EXPECT_EQ(text(QStringLiteral("SELECT \"Day\"") + from + u'3'), "23:59:59.999");
    dropIfExists(table);
}

} // namespace
} // namespace dravena
