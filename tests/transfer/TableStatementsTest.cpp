#include "transfer/TableStatements.h"

#include "app/RuntimeError.h"

#include <gtest/gtest.h>

namespace dravena {
namespace {

struct MemoryField {
    QString name;
    int type;
};

// Rows held in memory, delivered like a query's cursor; counts how often values are read.
class MemoryCursor final : public Cursor {
public:
    MemoryCursor(std::vector<MemoryField> fields, std::vector<std::vector<Value>> rows)
        : fields_(std::move(fields)), rows_(std::move(rows)) {}
    int fieldCount() const override { return static_cast<int>(fields_.size()); }
    QString fieldName(int i) const override { return fields_.at(static_cast<std::size_t>(i)).name; }
    int fieldType(int i) const override { return fields_.at(static_cast<std::size_t>(i)).type; }
    Value fieldValue(int i) const override {
        if (atEnd())
            throw RuntimeError(3021, QStringLiteral("no current row"));
        return rows_[row_].at(static_cast<std::size_t>(i));
    }
    std::int64_t recordCount() const override { return static_cast<std::int64_t>(rows_.size()); }
    bool atEnd() const override { return row_ >= rows_.size(); }
    void moveNext() override { ++row_; }

private:
    std::vector<MemoryField> fields_;
    std::vector<std::vector<Value>> rows_;
    std::size_t row_ = 0;
};

class MemoryConnection final : public Connection {
public:
    explicit MemoryConnection(std::unique_ptr<Cursor> cursor) : cursor_(std::move(cursor)) {}
    void setCursorLocation(int) override {}
    int cursorLocation() const override { return ClientSideCursor; }
    void open(const QString&) override {}
    void execute(const QString&) override {}
    std::unique_ptr<Cursor> query(const QString&) override { return std::move(cursor_); }
    void close() override {}
    bool isOpen() const override { return true; }

private:
    std::unique_ptr<Cursor> cursor_;
};

std::vector<QString> statementsOf(std::vector<MemoryField> fields,
                                  std::vector<std::vector<Value>> rows, const QString& table,
                                  std::int64_t* rowCount = nullptr) {
    MemoryConnection connection(std::make_unique<MemoryCursor>(std::move(fields), std::move(rows)));
    Recordset recordset;
    recordset.open(selectAllStatement(table), connection);
    std::vector<QString> out;
    const std::int64_t n =
        generateTableStatements(recordset, table, [&](const QString& s) { out.push_back(s); });
    if (rowCount)
        *rowCount = n;
    return out;
}

TEST(TableStatements, CreateThenOneInsertPerRowInOrder) {
    std::int64_t rows = -1;
    const auto statements =
        statementsOf({{QStringLiteral("Id"), adotype::Integer},
                      {QStringLiteral("Name"), adotype::VarWChar},
                      {QStringLiteral("Price"), adotype::Double},
                      {QStringLiteral("Amount"), adotype::Numeric},
                      {QStringLiteral("Picture"), adotype::LongVarBinary},
                      {QStringLiteral("Ratio"), adotype::Single}},
                     {{Value{std::int64_t{1}}, Value{std::string("O'Brien")}, Value{2.5},
                       Value{paradox::Decimal{"1.25"}}, Value{paradox::Bytes{1, 2}}, Value{0.5}},
                      {Value{std::int64_t{2}}, Value{}, Value{}, Value{}, Value{}, Value{}}},
                     QStringLiteral("CUSTOMER"), &rows);
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(
        statements[0],
        QStringLiteral("CREATE TABLE \"CUSTOMER\"(\"Id\" INT,\"Name\" NVARCHAR2(2000),"
                       "\"Price\" FLOAT,\"Amount\" DECIMAL,\"Picture\" BLOB,\"Ratio\" FLOAT)"));
    EXPECT_EQ(statements[1], QStringLiteral("INSERT INTO \"CUSTOMER\" VALUES('1', 'O''Brien', "
                                            "'2.5', '1.25', '0102', '0.5')"));
    EXPECT_EQ(statements[2], QStringLiteral("INSERT INTO \"CUSTOMER\" VALUES('2', NULL, NULL, "
                                            "NULL, NULL, NULL)"));
    EXPECT_EQ(rows, 2);
}

TEST(TableStatements, TableWithoutRowsGivesOnlyTheCreate) {
    std::int64_t rows = -1;
    const auto statements = statementsOf({{QStringLiteral("When"), adotype::DBTimeStamp}}, {},
                                         QStringLiteral("E"), &rows);
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(statements[0], QStringLiteral("CREATE TABLE \"E\"(\"When\" NVARCHAR2(2000))"));
    EXPECT_EQ(rows, 0);
}

TEST(TableStatements, ColumnsComeFromFieldNamesAndTypes) {
    MemoryConnection connection(std::make_unique<MemoryCursor>(
        std::vector<MemoryField>{{QStringLiteral("a\"b"), adotype::Boolean},
                                 {QStringLiteral("c"), 0x2000 | adotype::Integer}},
        std::vector<std::vector<Value>>{}));
    Recordset recordset;
    recordset.open(QStringLiteral("x"), connection);
    const auto columns = recordsetColumns(recordset);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].name, QStringLiteral("a\"b"));
    EXPECT_EQ(columns[0].type, QStringLiteral("NVARCHAR2(2000)"));
    EXPECT_EQ(columns[1].type, QStringLiteral("NVARCHAR2(2000)"));
}

TEST(TableStatements, ClosedRecordsetFails) {
    Recordset recordset;
    EXPECT_THROW(generateTableStatements(recordset, QStringLiteral("T"), [](const QString&) {}),
                 RuntimeError);
}

} // namespace
} // namespace dravena
