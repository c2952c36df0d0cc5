#include "transfer/Statements.h"

#include <gtest/gtest.h>

namespace dravena {
namespace {

using paradox::Bytes;
using paradox::Date;

TEST(Statements, DropAndSelectQuoteTheName) {
    EXPECT_EQ(dropTableStatement(QStringLiteral("CUSTOMER")),
              QStringLiteral("DROP TABLE \"CUSTOMER\""));
    EXPECT_EQ(selectAllStatement(QStringLiteral("CUSTOMER")),
              QStringLiteral("SELECT * FROM \"CUSTOMER\""));
    EXPECT_EQ(selectAllStatement(QStringLiteral("A\"B")),
              QStringLiteral("SELECT * FROM \"A\"\"B\""));
    EXPECT_EQ(dropTableStatement(QStringLiteral("\"")), QStringLiteral("DROP TABLE \"\"\"\""));
    EXPECT_EQ(quotedName(QStringLiteral("Größe")), QStringLiteral("\"Größe\""));
}

TEST(Statements, CreateTableForm) {
    EXPECT_EQ(createTableStatement(QStringLiteral("T"),
                                   {{QStringLiteral("F1"), QStringLiteral("INT")},
                                    {QStringLiteral("F2"), QStringLiteral("NVARCHAR2(2000)")}}),
              QStringLiteral("CREATE TABLE \"T\"(\"F1\" INT,\"F2\" NVARCHAR2(2000))"));
    EXPECT_EQ(createTableStatement(QStringLiteral("T"),
                                   {{QStringLiteral("Only"), QStringLiteral("BLOB")}}),
              QStringLiteral("CREATE TABLE \"T\"(\"Only\" BLOB)"));
    // Quotes inside table and field names are doubled; letter case stays.
    EXPECT_EQ(
        createTableStatement(QStringLiteral("My \"T\""),
                             {{QStringLiteral("Say \"hi\""), QStringLiteral("FLOAT")},
                              {QStringLiteral("lower Case"), QStringLiteral("DECIMAL")}}),
        QStringLiteral(
            "CREATE TABLE \"My \"\"T\"\"\"(\"Say \"\"hi\"\"\" FLOAT,\"lower Case\" DECIMAL)"));
}

TEST(Statements, InsertQuotesEveryValueAndDoublesApostrophes) {
    const std::vector<Value> row = {Value{std::int64_t{1}}, Value{}, Value{std::string("O'Brien")}};
    EXPECT_EQ(insertStatement(QStringLiteral("CUSTOMER"), row),
              QStringLiteral("INSERT INTO \"CUSTOMER\" VALUES('1', NULL, 'O''Brien')"));
    const std::vector<Value> quotes = {Value{std::string("'")}, Value{std::string("''a'")},
                                       Value{std::string("it's 'x'")}};
    EXPECT_EQ(insertStatement(QStringLiteral("T"), quotes),
              QStringLiteral("INSERT INTO \"T\" VALUES('''', '''''a''', 'it''s ''x''')"));
}

TEST(Statements, InsertWritesNullForNullAndEmptyValues) {
    EXPECT_EQ(insertStatement(QStringLiteral("T"), std::vector<Value>{Value{}}),
              QStringLiteral("INSERT INTO \"T\" VALUES(NULL)"));
    EXPECT_EQ(insertStatement(QStringLiteral("T"), std::vector<Value>{Value{std::string()}}),
              QStringLiteral("INSERT INTO \"T\" VALUES(NULL)"));
    EXPECT_EQ(insertStatement(QStringLiteral("T"),
                              std::vector<Value>{Value{std::string("a")}, Value{Bytes{}}, Value{}}),
              QStringLiteral("INSERT INTO \"T\" VALUES('a', NULL, NULL)"));
    EXPECT_EQ(
        insertStatement(QStringLiteral("T"), std::vector<Value>{Value{}, Value{Date{2001, 2, 3}}}),
        QStringLiteral("INSERT INTO \"T\" VALUES(NULL, '2001-02-03')"));
}

TEST(Statements, InsertKeepsNamesUnicodeAndBytes) {
    const std::vector<Value> row = {Value{std::string("Größe's")}, Value{Bytes{0x27, 0xFF}},
                                    Value{true}, Value{-0.5}};
    EXPECT_EQ(insertStatement(QStringLiteral("Tä\"b"), row),
              QStringLiteral("INSERT INTO \"Tä\"\"b\" VALUES('Größe''s', '27FF', 'True', '-0.5')"));
}

TEST(Statements, BuilderReusedForManyRowsGivesIndependentStatements) {
    InsertStatementBuilder builder(QStringLiteral("T"));
    const std::string longText(5000, '\'');
    EXPECT_EQ(builder.statement(std::vector<Value>{Value{longText}}).size(),
              qsizetype(std::string("INSERT INTO \"T\" VALUES('')").size() + 2 * longText.size()));
    EXPECT_EQ(builder.statement(std::vector<Value>{Value{std::int64_t{5}}}),
              QStringLiteral("INSERT INTO \"T\" VALUES('5')"));
    builder.begin();
    builder.appendValue(Value{});
    builder.appendValue(Value{std::string("x")});
    EXPECT_EQ(builder.finish(), QStringLiteral("INSERT INTO \"T\" VALUES(NULL, 'x')"));
    EXPECT_EQ(builder.statement({}), QStringLiteral("INSERT INTO \"T\" VALUES()"));
}

} // namespace
} // namespace dravena
