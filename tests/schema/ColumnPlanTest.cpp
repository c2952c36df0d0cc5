// Column plans: the described mapping exactly as before, the typed mapping of every Paradox type
// with its literal and bound forms, the values a typed column refuses, generated names.
#include "schema/ColumnPlan.h"
#include "schema/ColumnValues.h"
#include "schema/ObjectNames.h"
#include "schema/ServerNaming.h"
#include "schema/Statements.h"
#include "schema/TypeMapping.h"
#include <QSet>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace dravena {
namespace {

using namespace paradox;
using Int = std::int64_t;

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

// Each Paradox type: its column, the literal and bound forms of a value, never refused.
TEST(ColumnPlan, TypedColumnsOfEveryParadoxType) {
    using namespace std::string_literals;
    const double inf = std::numeric_limits<double>::infinity();
    using T = FieldType;
    const auto bd = "TO_BINARY_DOUBLE(?)";
    const auto ts = "TO_TIMESTAMP(?, 'YYYY-MM-DD HH24:MI:SS.FF3')";
    const std::tuple<FieldType, int, const char*, Value, const char*, const char*, ArrayValue>
        cases[] = {
            {T::Alpha, 20, "NVARCHAR2(20)", "O'Brien"s, "'O''Brien'", "?", "O'Brien"s},
            {T::Memo, 11, "NCLOB", "m"s, "'m'", "?", "m"s},
            {T::Short, 2, "NUMERIC(5)", Int{-32767}, "-32767", "?", Int{-32767}},
            {T::Long, 4, "NUMERIC(10)", Int{7}, "7", "?", Int{7}},
            {T::Number, 8, "BINARY_DOUBLE", 0.1, "TO_BINARY_DOUBLE('0.1')", bd, "0.1"s},
            {T::Number, 8, "BINARY_DOUBLE", -inf, "TO_BINARY_DOUBLE('-Inf')", bd, "-Inf"s},
            {T::Money, 8, "NUMBER", 1e125, "1e+125", "?", "1e+125"s},
            {T::Bcd, 2, "NUMERIC(32,2)", Decimal{"-12.50"}, "-12.50", "?", "-12.50"s},
            {T::Date, 4, "DATE", Date{1, 1, 1}, "DATE '0001-01-01'", "TO_DATE(?, 'YYYY-MM-DD')",
             "0001-01-01"s},
            {T::Time, 4, "INTERVAL DAY TO SECOND(3)", Time{23, 59, 5, 7},
             "INTERVAL '0 23:59:05.007' DAY TO SECOND(3)", "TO_DSINTERVAL(?)", "0 23:59:05.007"s},
            {T::Timestamp, 8, "TIMESTAMP(3)", Timestamp{{9999, 12, 31}, {23, 59, 59, 999}},
             "TIMESTAMP '9999-12-31 23:59:59.999'", ts, "9999-12-31 23:59:59.999"s},
            {T::Logical, 1, "NUMERIC(1) CHECK (\"F\" IN (0, 1))", false, "0", "?", Int{0}},
            {T::Graphic, 10, "BLOB", Bytes{0x00, 0xAB}, "'00AB'", "?", Bytes{0x00, 0xAB}},
            {T::Bytes, 4, "BLOB", Bytes{}, "NULL", "?", std::monostate{}},
            {T::Long, 4, "NUMERIC(10)", Value{}, "NULL", "?", std::monostate{}},
        };
    // Each value is bound into the slot of the one before, as in an array's reused buffers: none
    // may keep anything of the value before it (a longer text, bytes, a number, a non-NULL).
    ArrayValue slot;
    for (const auto& [type, size, column, value, literal, bind, bound] : cases) {
        const ColumnPlan plan = typedColumnPlan(Field{"F", type, size});
        SCOPED_TRACE(column);
        EXPECT_EQ(columnDefinition(plan).type, QString::fromUtf8(column));
        InsertStatementBuilder insert(QStringLiteral("T"), std::vector<ColumnPlan>{plan});
        EXPECT_EQ(insert.statement(std::vector<Value>{value}).text,
                  QStringLiteral("INSERT INTO \"T\" VALUES(%1)").arg(QString::fromUtf8(literal)));
        EXPECT_EQ(placeholder(plan), QString::fromUtf8(bind));
        bindTypedValue(slot, plan, value);
        EXPECT_EQ(slot, bound);
        EXPECT_FALSE(valueRefusal(plan, value));
    }
}

TEST(ColumnPlan, AutoincrementBecomesAnIdentityAndDefaultsFollowTheType) {
    const Field id{"ID", FieldType::AutoIncrement, 4};
    ColumnPlan plan = typedColumnPlan(id, 21);
    plan.defaultLiteral = QStringLiteral("5");
    EXPECT_EQ(columnDefinition(plan).type,
              QStringLiteral("INTEGER GENERATED BY DEFAULT AS IDENTITY (START WITH 21) DEFAULT 5"));
    EXPECT_EQ(columnTypeText(typedColumnPlan(id)), QStringLiteral("NUMERIC(10)"));
}

// What a typed column cannot hold is refused with the reason, never changed.
TEST(ColumnPlan, ValuesATypedColumnCannotHoldAreRefused) {
    using T = FieldType;
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::tuple<FieldType, Value, const char*>> cases = {
        {T::Date, Date{0, 12, 31}, "a DATE column cannot hold the year 0"},
        {T::Date, Date{10000, 1, 1}, "a DATE column cannot hold the year 10000"},
        {T::Timestamp, Timestamp{{-44, 3, 15}, {}},
         "a TIMESTAMP(3) column cannot hold the year -44"},
        {T::Money, inf, "a NUMBER column cannot hold Infinity"},
        {T::Money, std::nan(""), "a NUMBER column cannot hold NaN"},
        {T::Money, 1e126, "a NUMBER column cannot hold 1e+126"},
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
    const auto q = [](const char* text) { return QString::fromUtf8(text); };
    EXPECT_EQ(objectName(q("PK"), q("CUSTOMER")), q("PK_CUSTOMER"));
    EXPECT_EQ(objectName(q("IX"), q("ORDERS"), q("Date")), q("IX_ORDERS_Date"));
    const QString a = objectName(q("IX"), q("A_VERY_LONG_TABLE_NAME"), q("first long index"));
    const QString b = objectName(q("IX"), q("A_VERY_LONG_TABLE_NAME"), q("first long index 2"));
    EXPECT_EQ(a.toUtf8().size(), 30);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(q("IX_A_VERY_LONG_TABLE_N")));
    // Never a character cut in two.
    const QString wide = objectName(q("CK"), QString(20, QChar(0x00E4)));
    EXPECT_LE(wide.toUtf8().size(), 30);
    EXPECT_FALSE(wide.contains(QChar::ReplacementCharacter));
}

// Table and column names take the same cut as the objects; the names of one table never meet.
TEST(ObjectNames, ColumnNamesFitAndNeverMeet) {
    const auto q = [](const char* text) { return QString::fromUtf8(text); };
    const QString cyrillic = q("Наименование_организации"); // 24 characters, 47 bytes
    const QString cutCyrillic = fittedName(cyrillic);
    const QString longLatin = QString(40, u'X');
    struct Case {
        const char* what;
        QStringList names;
    };
    const std::vector<Case> cases{
        {"short names stay", {q("ID"), q("Name"), QString(30, u'A')}},
        {"Cyrillic shares its start", {cyrillic, cyrillic + q("_2"), q("ID")}},
        {"a cut meets a name of the table", {longLatin, fittedName(longLatin)}},
        {"a cut meets a cut name given first", {cutCyrillic, cyrillic}},
        {"names read alike in another code page", {q("??"), q("ID"), q("??"), q("??")}},
    };
    for (const Case& c : cases) {
        const QStringList fitted = fittedNames(c.names);
        ASSERT_EQ(fitted.size(), c.names.size()) << c.what;
        EXPECT_EQ(QSet<QString>(fitted.begin(), fitted.end()).size(), fitted.size()) << c.what;
        for (qsizetype i = 0; i < fitted.size(); ++i) {
            EXPECT_LE(fitted[i].toUtf8().size(), 30) << c.what;
            EXPECT_FALSE(fitted[i].contains(QChar::ReplacementCharacter)) << c.what;
            if (c.names[i].toUtf8().size() <= 30 && c.names.indexOf(c.names[i]) == i) {
                EXPECT_EQ(fitted[i], c.names[i]) << c.what;
            }
        }
        EXPECT_EQ(fittedNames(c.names), fitted) << c.what << ": always the same names";
    }
    EXPECT_EQ(fittedNames({cyrillic}).front(), cutCyrillic);
    EXPECT_EQ(cutCyrillic.left(12), q("Наименовани_")); // 22 bytes, then the hash
}

// The server's longest name from its version and character set, and names fitted to it: 128
// bytes from 12.2 on; a character set of one byte per character counts characters.
TEST(ObjectNames, TheServersLimitFromItsVersionAndCharacterSet) {
    const QString cyrillic = QString::fromUtf8("Наименование_организации"); // 24 chars, 47 bytes
    const QString longer = cyrillic + cyrillic + cyrillic;                  // 72 chars, 143 bytes
    struct Case {
        const char* version;
        const char* characterSet;
        NameLimit limit;
        bool cyrillicWhole;
        qsizetype longerCut; // its length in the unit the limit counts (a Cyrillic
                             // character takes 2 bytes of UTF-8)
    };
    const std::vector<Case> cases{
        {"", "", {30, false}, false, 29},
        {"11.2.0.4.0", "AL32UTF8", {30, false}, false, 29},
        {"12.1.0.2.0", "UTF8", {30, false}, false, 29},
        {"12.2.0.1.0", "", {128, false}, true, 128},
        {"19.0.0.0.0", "AL32UTF8", {128, false}, true, 128},
        {"12.1.0.2.0", "CL8MSWIN1251", {30, true}, true, 30},
        {"21.3.0.0.0", "WE8MSWIN1252", {128, true}, true, 72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.characterSet);
        const NameLimit limit = nameLimitOf(c.version, c.characterSet);
        EXPECT_EQ(limit, c.limit);
        EXPECT_EQ(fittedName(cyrillic, limit) == cyrillic, c.cyrillicWhole);
        const QString cut = fittedName(longer, limit);
        EXPECT_EQ(limit.oneBytePerCharacter ? cut.size() : cut.toUtf8().size(), c.longerCut);
        if (cut != longer) {
            EXPECT_NE(fittedNames({cut, longer}, limit)[1], cut) << "kept apart";
        }
    }
}

} // namespace
} // namespace dravena
