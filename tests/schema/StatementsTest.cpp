#include "schema/Statements.h"

#include <gtest/gtest.h>

#include <optional>

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

QString insertText(const QString& table, std::span<const Value> row) {
    return InsertStatementBuilder(table).statement(row).text;
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
    EXPECT_EQ(insertText(QStringLiteral("CUSTOMER"), row),
              QStringLiteral("INSERT INTO \"CUSTOMER\" VALUES('1', NULL, 'O''Brien')"));
    const std::vector<Value> quotes = {Value{std::string("'")}, Value{std::string("''a'")},
                                       Value{std::string("it's 'x'")}};
    EXPECT_EQ(insertText(QStringLiteral("T"), quotes),
              QStringLiteral("INSERT INTO \"T\" VALUES('''', '''''a''', 'it''s ''x''')"));
}

TEST(Statements, InsertWritesNullForNullAndEmptyValues) {
    EXPECT_EQ(insertText(QStringLiteral("T"), std::vector<Value>{Value{}}),
              QStringLiteral("INSERT INTO \"T\" VALUES(NULL)"));
    EXPECT_EQ(insertText(QStringLiteral("T"), std::vector<Value>{Value{std::string()}}),
              QStringLiteral("INSERT INTO \"T\" VALUES(NULL)"));
    EXPECT_EQ(insertText(QStringLiteral("T"),
                         std::vector<Value>{Value{std::string("a")}, Value{Bytes{}}, Value{}}),
              QStringLiteral("INSERT INTO \"T\" VALUES('a', NULL, NULL)"));
    EXPECT_EQ(insertText(QStringLiteral("T"), std::vector<Value>{Value{}, Value{Date{2001, 2, 3}}}),
              QStringLiteral("INSERT INTO \"T\" VALUES(NULL, '2001-02-03')"));
}

TEST(Statements, InsertKeepsNamesUnicodeAndBytes) {
    const std::vector<Value> row = {Value{std::string("Größe's")}, Value{Bytes{0x27, 0xFF}},
                                    Value{true}, Value{-0.5}};
    EXPECT_EQ(insertText(QStringLiteral("Tä\"b"), row),
              QStringLiteral("INSERT INTO \"Tä\"\"b\" VALUES('Größe''s', '27FF', 'True', '-0.5')"));
}

TEST(Statements, BuilderReusedForManyRowsGivesIndependentStatements) {
    InsertStatementBuilder builder(QStringLiteral("T"));
    EXPECT_EQ(builder.statement(std::vector<Value>{Value{std::string(3000, 'x')}}).text.size(),
              qsizetype(std::string("INSERT INTO \"T\" VALUES('')").size() + 3000));
    EXPECT_EQ(builder.statement(std::vector<Value>{Value{std::int64_t{5}}}).text,
              QStringLiteral("INSERT INTO \"T\" VALUES('5')"));
    builder.begin();
    builder.appendValue(Value{});
    builder.appendValue(Value{std::string("x")});
    EXPECT_EQ(builder.finish().text, QStringLiteral("INSERT INTO \"T\" VALUES(NULL, 'x')"));
    EXPECT_EQ(builder.statement({}).text, QStringLiteral("INSERT INTO \"T\" VALUES()"));
}

// A literal holds at most 4,000 bytes as it stands in the statement (apostrophes doubled); a
// longer value takes a "?" and is bound: bytes for a BLOB column, otherwise its text.
TEST(Statements, ValuesTooLongForALiteralAreBound) {
    const std::string euro = "\xE2\x82\xAC"; // three bytes
    std::string euros;
    for (int i = 0; i < 1334; ++i)
        euros += euro; // 4,002 bytes
    const Bytes bytes2000(2000, 0xAB);
    const Bytes bytes2001(2001, 0x00);
    struct Case {
        const char* what;
        Value value;
        bool blobColumn;
        std::optional<BoundValue> bound; // nothing: written as a literal
    };
    const std::vector<Case> cases = {
        {"4,000 bytes of text", std::string(4000, 'a'), false, {}},
        {"4,001 bytes of text", std::string(4001, 'a'), false, QString(4001, u'a')},
        {"2,000 apostrophes, doubled to 4,000", std::string(2000, '\''), false, {}},
        {"2,001 apostrophes", std::string(2001, '\''), false, QString(2001, u'\'')},
        {"1,334 three-byte characters", euros, false, QString(1334, QChar(0x20AC))},
        {"2,000 bytes in a BLOB column", bytes2000, true, {}},
        {"2,001 bytes in a BLOB column", bytes2001, true, QByteArray(2001, '\0')},
        {"2,001 bytes in a text column", bytes2001, false, QString(4002, u'0')},
    };
    for (const Case& c : cases) {
        InsertStatementBuilder builder(QStringLiteral("T"), {false, c.blobColumn});
        const InsertStatement s =
            builder.statement(std::vector<Value>{Value{std::int64_t{1}}, c.value});
        if (c.bound) {
            EXPECT_EQ(s.text, QStringLiteral("INSERT INTO \"T\" VALUES('1', ?)")) << c.what;
            ASSERT_EQ(s.parameters.size(), 1u) << c.what;
            EXPECT_TRUE(s.parameters[0] == *c.bound) << c.what;
        } else {
            EXPECT_TRUE(s.parameters.empty()) << c.what;
            EXPECT_TRUE(s.text.endsWith(QStringLiteral("')"))) << c.what;
        }
        // Printed statements keep every value as a literal.
        InsertStatementBuilder printing(QStringLiteral("T"), {false, c.blobColumn},
                                        LongValues::Inline);
        EXPECT_TRUE(printing.statement(std::vector<Value>{Value{std::int64_t{1}}, c.value})
                        .parameters.empty())
            << c.what;
    }
}

} // namespace
} // namespace dravena

// Loading names are known again, so that the lists can leave them out or mark them; the user's
// own names, even ones that look alike, are not.
TEST(Statements, LoadingNamesAreKnownAgainAndOnlyThey) {
    using dravena::loadingTableName;
    using dravena::tableOfLoadingName;
    const QString longName = QStringLiteral("INVENTORY_ITEMS_BY_REGION");
    const QString cyrillic = QString::fromUtf8("ИНВЕНТАРНЫЙ");
    const struct {
        QString name;
        QString table;
    } cases[] = {
        {loadingTableName(QStringLiteral("ZIPCODES")), QStringLiteral("ZIPCODES")},
        {loadingTableName(longName), loadingTableName(longName).mid(17) + QStringLiteral("...")},
        {loadingTableName(cyrillic), QString::fromUtf8("ИНВЕНТ...")},
        {QStringLiteral("ZIPCODES"), {}},
        {QStringLiteral("DRAVENA_0000ABCD_ZIPCODES"), {}}, // not the hash of ZIPCODES
        {QStringLiteral("DRAVENA_ZIPCODES"), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tableOfLoadingName(c.name), c.table) << c.name.toStdString();
}
