#include "schema/TypeMapping.h"

#include <gtest/gtest.h>

#include <set>

namespace dravena {
namespace {

struct Expected {
    short number;
    const char* name;
    const char* column;
};

// Every ADO type with its name and the column it ends in; "single" and the numeric types differ
// from a plain key search on purpose (their fractions must survive).
const Expected expected[] = {
    {0, "adEmpty", "NVARCHAR2(2000)"},
    {2, "adSmallInt", "INT"},
    {3, "adInteger", "INT"},
    {4, "adSingle", "FLOAT"},
    {5, "adDouble", "FLOAT"},
    {6, "adCurrency", "NVARCHAR2(2000)"},
    {7, "adDate", "NVARCHAR2(2000)"},
    {8, "adBSTR", "NVARCHAR2(2000)"},
    {9, "adIDispatch", "NVARCHAR2(2000)"},
    {10, "adError", "NVARCHAR2(2000)"},
    {11, "adBoolean", "NVARCHAR2(2000)"},
    {12, "adVariant", "NVARCHAR2(2000)"},
    {13, "adIUnknown", "NVARCHAR2(2000)"},
    {14, "adDecimal", "DECIMAL"},
    {16, "adTinyInt", "INT"},
    {17, "adUnsignedTinyInt", "INT"},
    {18, "adUnsignedSmallInt", "INT"},
    {19, "adUnsignedInt", "INT"},
    {20, "adBigInt", "INT"},
    {21, "adUnsignedBigInt", "INT"},
    {64, "adFileTime", "NVARCHAR2(2000)"},
    {72, "adGUID", "NVARCHAR2(2000)"},
    {128, "adBinary", "NVARCHAR2(2000)"},
    {129, "adChar", "NVARCHAR2(2000)"},
    {130, "adWChar", "NVARCHAR2(2000)"},
    {131, "adNumeric", "DECIMAL"},
    {132, "adUserDefined", "NVARCHAR2(2000)"},
    {133, "adDBDate", "NVARCHAR2(2000)"},
    {134, "adDBTime", "NVARCHAR2(2000)"},
    {135, "adDBTimeStamp", "NVARCHAR2(2000)"},
    {136, "adChapter", "NVARCHAR2(2000)"},
    {138, "adPropVariant", "NVARCHAR2(2000)"},
    {139, "adVarNumeric", "DECIMAL"},
    {200, "adVarChar", "NVARCHAR2(2000)"},
    {201, "adLongVarChar", "NVARCHAR2(2000)"},
    {202, "adVarWChar", "NVARCHAR2(2000)"},
    {203, "adLongVarWChar", "NVARCHAR2(2000)"},
    {204, "adVarBinary", "NVARCHAR2(2000)"},
    {205, "adLongVarBinary", "BLOB"},
};

TEST(TypeMapping, EveryKnownTypeHasItsNameAndColumn) {
    static_assert(std::size(expected) == 39);
    for (const Expected& row : expected) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(DataTypeName(row.number), QString::fromLatin1(row.name));
        EXPECT_EQ(OracleColumnType(QString::fromLatin1(row.name).toLower()),
                  QString::fromLatin1(row.column));
        EXPECT_EQ(columnTypeForAdoType(row.number), QString::fromLatin1(row.column));
    }
}

TEST(TypeMapping, NumbersOutsideTheTableHaveNoNameAndGiveTextColumns) {
    std::set<int> known;
    for (const Expected& row : expected)
        known.insert(row.number);
    for (int number = -200; number <= 300; ++number) {
        if (known.count(number))
            continue;
        SCOPED_TRACE(number);
        EXPECT_TRUE(DataTypeName(static_cast<short>(number)).isEmpty());
        EXPECT_EQ(columnTypeForAdoType(number), QStringLiteral("NVARCHAR2(2000)"));
    }
    // The array flag combined with a type is not a type of its own.
    EXPECT_TRUE(DataTypeName(0x2000 | 3).isEmpty());
    EXPECT_EQ(columnTypeForAdoType(0x2000 | 3), QStringLiteral("NVARCHAR2(2000)"));
}

TEST(TypeMapping, FirstMatchingKeyDecides) {
    // "char" comes before "longvar", "adlongvarbinary" before "longvar".
    EXPECT_EQ(OracleColumnType(QStringLiteral("longvarbinary")), QStringLiteral("NVARCHAR2(2000)"));
    EXPECT_EQ(OracleColumnType(QStringLiteral("xadlongvarbinary")), QStringLiteral("BLOB"));
    EXPECT_EQ(OracleColumnType(QStringLiteral("longvar")), QStringLiteral("NVARCHAR2(2000)"));
    // "decimal" before "int", "single" before "int", "int" before "double" and "date".
    EXPECT_EQ(OracleColumnType(QStringLiteral("intdecimal")), QStringLiteral("DECIMAL"));
    EXPECT_EQ(OracleColumnType(QStringLiteral("intsingle")), QStringLiteral("FLOAT"));
    EXPECT_EQ(OracleColumnType(QStringLiteral("doubleint")), QStringLiteral("INT"));
    EXPECT_EQ(OracleColumnType(QStringLiteral("dateint")), QStringLiteral("INT"));
    // "numeric" before "date"; "char" before everything.
    EXPECT_EQ(OracleColumnType(QStringLiteral("datenumeric")), QStringLiteral("DECIMAL"));
    EXPECT_EQ(OracleColumnType(QStringLiteral("doublechar")), QStringLiteral("NVARCHAR2(2000)"));
    // Keys are lower case and compared exactly: a name that was not lower-cased finds none.
    EXPECT_EQ(OracleColumnType(QStringLiteral("adInteger")), QStringLiteral("NVARCHAR2(2000)"));
    EXPECT_EQ(OracleColumnType(QStringLiteral("adDouble")), QStringLiteral("NVARCHAR2(2000)"));
    EXPECT_EQ(OracleColumnType(QString()), QStringLiteral("NVARCHAR2(2000)"));
}

// The column of a field: an exact number keeps its scale; a memo holding a long text is an NCLOB;
// nothing else changes.
TEST(TypeMapping, FieldsKeepTheirScaleAndLongTexts) {
    struct Case {
        int type;
        int scale;
        bool longText;
        const char* column;
    };
    const Case cases[] = {
        {131, 6, false, "DECIMAL(32,6)"},
        {131, 0, false, "DECIMAL(32,0)"},
        {131, 32, false, "DECIMAL(32,32)"},
        {139, 2, false, "DECIMAL(32,2)"},
        {14, 4, false, "DECIMAL(32,4)"},
        {131, -1, false, "DECIMAL"},
        {131, 33, false, "DECIMAL"},
        {203, -1, true, "NCLOB"},
        {203, -1, false, "NVARCHAR2(2000)"},
        {202, -1, true, "NCLOB"},
        {205, -1, true, "BLOB"},
        {3, -1, true, "INT"},
        {5, 3, false, "FLOAT"},
        {135, -1, false, "NVARCHAR2(2000)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(columnTypeForField(c.type, c.scale, c.longText), QLatin1String(c.column))
            << c.type << " scale " << c.scale;
    EXPECT_TRUE(isLongTextType(203));
    EXPECT_TRUE(isLongTextType(201));
    EXPECT_FALSE(isLongTextType(202));
}

} // namespace
} // namespace dravena
