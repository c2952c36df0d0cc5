// Column plans: the described mapping exactly as before, the typed mapping of every Paradox type
// with its literal and bound forms, the values a typed column refuses, generated names.
#include "transfer/ColumnPlan.h"
#include "transfer/ColumnValues.h"
#include "transfer/ObjectNames.h"
#include "transfer/Statements.h"
#include "transfer/TypeMapping.h"

#include <gtest/gtest.h>

#include <limits>

namespace dravena {
namespace {

using paradox::Date;
using paradox::Decimal;
using paradox::Field;
using paradox::FieldType;
using paradox::Time;
using paradox::Timestamp;

// The described columns keep their text for every ADO type, scale and memo length; so does the
// way their values are bound.
TEST(ColumnPlan, DescribedColumnsKeepTheirTypesAndBinding) {
    for (int type = 0; type <= 300; ++type)
        for (const int scale : {-1, 0, 2, 32, 33})
            for (const bool longText : {false, true}) {
                const ColumnPlan plan = plainColumnPlan(QStringLiteral("F"), type, scale, longText);
                const QString text = columnTypeForField(type, scale, longText);
                ASSERT_EQ(columnTypeText(plan), text) << type << " " << scale;
                EXPECT_EQ(columnDefinition(plan).type, text);
                EXPECT_EQ(placeholder(plan), QStringLiteral("?"));
                const ParameterColumn bound = parameterColumn(plan);
                const ParameterKind expected =
                    text == "INT"                          ? ParameterKind::Integer
                    : text == "BLOB"                       ? ParameterKind::Bytes
                    : text == "FLOAT" || text == "DECIMAL" ? ParameterKind::NumberText
                    : text.startsWith("DECIMAL(")          ? ParameterKind::Decimal
                                                           : ParameterKind::WideText;
                EXPECT_EQ(bound.kind, expected) << qPrintable(text);
                if (expected == ParameterKind::Decimal) {
                    EXPECT_EQ(bound.scale, scale);
                }
            }
}

struct TypedCase {
    FieldType type;
    int size;
    const char* column;
    Value value;
    const char* literal;
    const char* placeholder;
    ArrayValue bound;
};

TEST(ColumnPlan, TypedColumnsOfEveryParadoxType) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<TypedCase> cases = {
        {FieldType::Alpha, 20, "NVARCHAR2(20)", std::string("O'Brien"), "'O''Brien'", "?",
         std::string("O'Brien")},
        {FieldType::Memo, 11, "NCLOB", std::string("m"), "'m'", "?", std::string("m")},
        {FieldType::Short, 2, "NUMERIC(5)", std::int64_t{-32767}, "-32767", "?",
         std::int64_t{-32767}},
        {FieldType::Long, 4, "NUMERIC(10)", std::int64_t{7}, "7", "?", std::int64_t{7}},
        {FieldType::Number, 8, "BINARY_DOUBLE", 0.1, "TO_BINARY_DOUBLE('0.1')",
         "TO_BINARY_DOUBLE(?)", std::string("0.1")},
        {FieldType::Number, 8, "BINARY_DOUBLE", -inf, "TO_BINARY_DOUBLE('-Inf')",
         "TO_BINARY_DOUBLE(?)", std::string("-Inf")},
        {FieldType::Money, 8, "NUMBER", 1e125, "1e+125", "?", std::string("1e+125")},
        {FieldType::Bcd, 2, "NUMERIC(32,2)", Decimal{"-12.50"}, "-12.50", "?",
         std::string("-12.50")},
        {FieldType::Date, 4, "DATE", Date{1, 1, 1}, "DATE '0001-01-01'", "TO_DATE(?, 'YYYY-MM-DD')",
         std::string("0001-01-01")},
        {FieldType::Time, 4, "INTERVAL DAY TO SECOND(3)", Time{23, 59, 5, 7},
         "INTERVAL '0 23:59:05.007' DAY TO SECOND(3)", "TO_DSINTERVAL(?)",
         std::string("0 23:59:05.007")},
        {FieldType::Timestamp, 8, "TIMESTAMP(3)", Timestamp{{9999, 12, 31}, {23, 59, 59, 999}},
         "TIMESTAMP '9999-12-31 23:59:59.999'", "TO_TIMESTAMP(?, 'YYYY-MM-DD HH24:MI:SS.FF3')",
         std::string("9999-12-31 23:59:59.999")},
        {FieldType::Logical, 1, "NUMERIC(1) CHECK (\"F\" IN (0, 1))", false, "0", "?",
         std::int64_t{0}},
        {FieldType::Graphic, 10, "BLOB", paradox::Bytes{0x00, 0xAB}, "'00AB'", "?",
         paradox::Bytes{0x00, 0xAB}},
        {FieldType::Bytes, 4, "BLOB", paradox::Bytes{}, "NULL", "?", std::monostate{}},
        {FieldType::Long, 4, "NUMERIC(10)", Value{}, "NULL", "?", std::monostate{}},
    };
    for (const TypedCase& c : cases) {
        const ColumnPlan plan = typedColumnPlan(Field{"F", c.type, c.size});
        SCOPED_TRACE(c.column);
        EXPECT_EQ(columnDefinition(plan).type, QString::fromUtf8(c.column));
        InsertStatementBuilder insert(QStringLiteral("T"), std::vector<ColumnPlan>{plan});
        const InsertStatement statement = insert.statement(std::vector<Value>{c.value});
        EXPECT_EQ(statement.text,
                  QStringLiteral("INSERT INTO \"T\" VALUES(%1)").arg(QString::fromUtf8(c.literal)));
        EXPECT_EQ(placeholder(plan), QString::fromUtf8(c.placeholder));
        EXPECT_EQ(typedBoundValue(plan, c.value), c.bound);
        EXPECT_FALSE(valueRefusal(plan, c.value));
    }
}

TEST(ColumnPlan, AutoincrementBecomesAnIdentityAndDefaultsFollowTheType) {
    ColumnPlan plan = typedColumnPlan(Field{"ID", FieldType::AutoIncrement, 4}, 21);
    plan.defaultLiteral = QStringLiteral("5");
    EXPECT_EQ(columnDefinition(plan).type,
              QStringLiteral("INTEGER GENERATED BY DEFAULT AS IDENTITY (START WITH 21) DEFAULT 5"));
    EXPECT_EQ(columnTypeText(typedColumnPlan(Field{"ID", FieldType::AutoIncrement, 4})),
              QStringLiteral("NUMERIC(10)"));
}

// What a typed column cannot hold is refused with the reason, never changed.
TEST(ColumnPlan, ValuesATypedColumnCannotHoldAreRefused) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::tuple<FieldType, Value, const char*>> cases = {
        {FieldType::Date, Date{0, 12, 31}, "a DATE column cannot hold the year 0"},
        {FieldType::Date, Date{10000, 1, 1}, "a DATE column cannot hold the year 10000"},
        {FieldType::Timestamp, Timestamp{{-44, 3, 15}, {}},
         "a TIMESTAMP(3) column cannot hold the year -44"},
        {FieldType::Money, inf, "a NUMBER column cannot hold Infinity"},
        {FieldType::Money, std::numeric_limits<double>::quiet_NaN(),
         "a NUMBER column cannot hold NaN"},
        {FieldType::Money, 1e126, "a NUMBER column cannot hold 1e+126"},
    };
    for (const auto& [type, value, reason] : cases) {
        const auto refusal = valueRefusal(typedColumnPlan(Field{"F", type, 8}), value);
        ASSERT_TRUE(refusal) << reason;
        EXPECT_EQ(*refusal, QString::fromUtf8(reason));
    }
    // The described columns take every value as text, as before.
    EXPECT_FALSE(valueRefusal(plainColumnPlan(QStringLiteral("F"), adotype::DBDate, -1, false),
                              Date{0, 1, 1}));
}

TEST(ObjectNames, FitThirtyBytesAndStayApart) {
    EXPECT_EQ(objectName(QStringLiteral("PK"), QStringLiteral("CUSTOMER")),
              QStringLiteral("PK_CUSTOMER"));
    EXPECT_EQ(objectName(QStringLiteral("IX"), QStringLiteral("ORDERS"), QStringLiteral("Date")),
              QStringLiteral("IX_ORDERS_Date"));
    const QString a = objectName(QStringLiteral("IX"), QStringLiteral("A_VERY_LONG_TABLE_NAME"),
                                 QStringLiteral("first long index"));
    const QString b = objectName(QStringLiteral("IX"), QStringLiteral("A_VERY_LONG_TABLE_NAME"),
                                 QStringLiteral("first long index 2"));
    EXPECT_EQ(a.toUtf8().size(), 30);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(QStringLiteral("IX_A_VERY_LONG_TABLE_N")));
    // Never a character cut in two.
    const QString wide = objectName(QStringLiteral("CK"), QString(20, QChar(0x00E4)));
    EXPECT_LE(wide.toUtf8().size(), 30);
    EXPECT_EQ(QString::fromUtf8(wide.toUtf8()), wide);
    EXPECT_FALSE(wide.contains(QChar::ReplacementCharacter));
}

} // namespace
} // namespace dravena
