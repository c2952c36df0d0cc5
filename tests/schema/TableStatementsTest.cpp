#include "schema/TableStatements.h"

#include "base/RuntimeError.h"
#include "drivers/Drivers.h"

#include <gtest/gtest.h>

namespace dravena {
namespace {

struct MemoryField {
    QString name;
    int type;
    int scale = -1;
};

// Rows held in memory, delivered like a query's cursor.
class MemoryCursor final : public Cursor {
public:
    MemoryCursor(const std::vector<MemoryField>& fields,
                 const std::vector<std::vector<Value>>& rows)
        : fields_(fields), rows_(rows) {}
    int fieldCount() const override { return static_cast<int>(fields_.size()); }
    QString fieldName(int i) const override { return fields_.at(static_cast<std::size_t>(i)).name; }
    int fieldType(int i) const override { return fields_.at(static_cast<std::size_t>(i)).type; }
    int numericScale(int i) const override { return fields_.at(static_cast<std::size_t>(i)).scale; }
    const Value& fieldValue(int i) const override {
        if (atEnd())
            throw RuntimeError(3021, QStringLiteral("no current row"));
        return rows_[row_].at(static_cast<std::size_t>(i));
    }
    std::int64_t recordCount() const override { return static_cast<std::int64_t>(rows_.size()); }
    bool atEnd() const override { return row_ >= rows_.size(); }
    void moveNext() override { ++row_; }

private:
    const std::vector<MemoryField>& fields_;
    const std::vector<std::vector<Value>>& rows_;
    std::size_t row_ = 0;
};

// Every query reads the same table from its first row; counts the queries.
class MemoryConnection final : public Connection {
public:
    MemoryConnection(std::vector<MemoryField> fields, std::vector<std::vector<Value>> rows)
        : fields_(std::move(fields)), rows_(std::move(rows)) {}
    void setCursorLocation(int) override {}
    int cursorLocation() const override { return ClientSideCursor; }
    void open(const QString&) override {}
    void execute(const QString&) override {}
    void execute(const QString&, std::span<const BoundValue>) override {}
    std::unique_ptr<Cursor> query(const QString&) override {
        ++queries;
        return std::make_unique<MemoryCursor>(fields_, rows_);
    }
    void close() override {}
    bool isOpen() const override { return true; }
    int queries = 0;

private:
    std::vector<MemoryField> fields_;
    std::vector<std::vector<Value>> rows_;
};

struct Generated {
    std::vector<QString> statements;
    std::int64_t rows = -1;
    int queries = 0;
};

Generated statementsOf(std::vector<MemoryField> fields, std::vector<std::vector<Value>> rows,
                       const QString& table) {
    MemoryConnection connection(std::move(fields), std::move(rows));
    Recordset recordset;
    Generated out;
    out.rows = generateTableStatements(recordset, connection, table, NameLimit{},
                                       [&](const QString& s) { out.statements.push_back(s); });
    out.queries = connection.queries;
    return out;
}

TEST(TableStatements, CreateThenOneInsertPerRowInOrder) {
    const Generated out =
        statementsOf({{QStringLiteral("Id"), adotype::Integer},
                      {QStringLiteral("Name"), adotype::VarWChar},
                      {QStringLiteral("Price"), adotype::Double},
                      {QStringLiteral("Amount"), adotype::Numeric, 2},
                      {QStringLiteral("Picture"), adotype::LongVarBinary},
                      {QStringLiteral("Ratio"), adotype::Single}},
                     {{Value{std::int64_t{1}}, Value{std::string("O'Brien")}, Value{2.5},
                       Value{paradox::Decimal{"1.25"}}, Value{paradox::Bytes{1, 2}}, Value{0.5}},
                      {Value{std::int64_t{2}}, Value{}, Value{}, Value{}, Value{}, Value{}}},
                     QStringLiteral("CUSTOMER"));
    ASSERT_EQ(out.statements.size(), 3u);
    EXPECT_EQ(out.statements[0],
              QStringLiteral("CREATE TABLE \"CUSTOMER\"(\"Id\" INT,\"Name\" NVARCHAR2(2000),"
                             "\"Price\" FLOAT,\"Amount\" DECIMAL(32,2),\"Picture\" BLOB,"
                             "\"Ratio\" FLOAT)"));
    EXPECT_EQ(out.statements[1], QStringLiteral("INSERT INTO \"CUSTOMER\" VALUES('1', 'O''Brien', "
                                                "'2.5', '1.25', '0102', '0.5')"));
    EXPECT_EQ(out.statements[2], QStringLiteral("INSERT INTO \"CUSTOMER\" VALUES('2', NULL, NULL, "
                                                "NULL, NULL, NULL)"));
    EXPECT_EQ(out.rows, 2);
    EXPECT_EQ(out.queries, 1); // no memo field: the table is read once
}

// A memo column is an NCLOB only when one of its values is longer than 2,000 characters as the
// server counts them (UTF-16 units); the value itself is printed in full.
TEST(TableStatements, MemoColumnsHoldingLongTextsBecomeNclob) {
    const std::string exactly2000(2000, 'x');
    std::string pairs; // 1,000 characters outside the basic plane: 2,000 units, 4,000 bytes
    for (int i = 0; i < 1000; ++i)
        pairs += "\xF0\x9F\x98\x80";
    const Generated out = statementsOf(
        {{QStringLiteral("Short"), adotype::LongVarWChar},
         {QStringLiteral("Long"), adotype::LongVarWChar},
         {QStringLiteral("Pairs"), adotype::LongVarWChar},
         {QStringLiteral("Alpha"), adotype::VarWChar}},
        {{Value{exactly2000}, Value{std::string("a")}, Value{pairs}, Value{exactly2000 + "y"}},
         {Value{}, Value{exactly2000 + "y"}, Value{pairs + "z"}, Value{}}},
        QStringLiteral("M"));
    ASSERT_EQ(out.statements.size(), 3u);
    EXPECT_EQ(out.statements[0],
              QStringLiteral("CREATE TABLE \"M\"(\"Short\" NVARCHAR2(2000),\"Long\" NCLOB,"
                             "\"Pairs\" NCLOB,\"Alpha\" NVARCHAR2(2000))"));
    EXPECT_TRUE(out.statements[2].contains(QString::fromStdString(exactly2000 + "y")));
    EXPECT_EQ(out.queries, 2);
}

TEST(TableStatements, TableWithoutRowsGivesOnlyTheCreate) {
    const Generated out =
        statementsOf({{QStringLiteral("When"), adotype::DBTimeStamp}}, {}, QStringLiteral("E"));
    ASSERT_EQ(out.statements.size(), 1u);
    EXPECT_EQ(out.statements[0], QStringLiteral("CREATE TABLE \"E\"(\"When\" NVARCHAR2(2000))"));
    EXPECT_EQ(out.rows, 0);
}

TEST(TableStatements, ColumnsComeFromFieldNamesAndTypes) {
    MemoryConnection connection({{QStringLiteral("a\"b"), adotype::Boolean},
                                 {QStringLiteral("c"), 0x2000 | adotype::Integer}},
                                {});
    Recordset recordset;
    recordset.open(QStringLiteral("x"), connection);
    const auto columns = recordsetColumns(recordset, connection, QStringLiteral("x"), NameLimit{});
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].name, QStringLiteral("a\"b"));
    EXPECT_EQ(columnTypeText(columns[0]), QStringLiteral("NVARCHAR2(2000)"));
    EXPECT_EQ(columnTypeText(columns[1]), QStringLiteral("NVARCHAR2(2000)"));
}

TEST(TableStatements, ClosedConnectionFails) {
    const std::unique_ptr<Connection> closed = dataAccess().createConnection();
    Recordset recordset;
    EXPECT_THROW(generateTableStatements(recordset, *closed, QStringLiteral("T"), NameLimit{},
                                         [](const QString&) {}),
                 RuntimeError);
}

} // namespace
} // namespace dravena
