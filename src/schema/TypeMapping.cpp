#include "TypeMapping.h"

#include <array>

namespace dravena {

namespace {

struct TypeName {
    short number;
    const char* name;
};

// Every ADO data type value with its name (the array flag is not a type of its own).
constexpr std::array<TypeName, 39> typeNames = {{
    {0, "adEmpty"},
    {2, "adSmallInt"},
    {3, "adInteger"},
    {4, "adSingle"},
    {5, "adDouble"},
    {6, "adCurrency"},
    {7, "adDate"},
    {8, "adBSTR"},
    {9, "adIDispatch"},
    {10, "adError"},
    {11, "adBoolean"},
    {12, "adVariant"},
    {13, "adIUnknown"},
    {14, "adDecimal"},
    {16, "adTinyInt"},
    {17, "adUnsignedTinyInt"},
    {18, "adUnsignedSmallInt"},
    {19, "adUnsignedInt"},
    {20, "adBigInt"},
    {21, "adUnsignedBigInt"},
    {64, "adFileTime"},
    {72, "adGUID"},
    {128, "adBinary"},
    {129, "adChar"},
    {130, "adWChar"},
    {131, "adNumeric"},
    {132, "adUserDefined"},
    {133, "adDBDate"},
    {134, "adDBTime"},
    {135, "adDBTimeStamp"},
    {136, "adChapter"},
    {138, "adPropVariant"},
    {139, "adVarNumeric"},
    {200, "adVarChar"},
    {201, "adLongVarChar"},
    {202, "adVarWChar"},
    {203, "adLongVarWChar"},
    {204, "adVarBinary"},
    {205, "adLongVarBinary"},
}};

struct ColumnKey {
    const char* key;
    const char* columnType;
};

constexpr const char* TextColumn = "NVARCHAR2(2000)";

// Tried in this order; the first key found anywhere in the type name decides.
constexpr std::array<ColumnKey, 10> columnKeys = {{
    {"char", TextColumn},
    {"decimal", "DECIMAL"},
    {"single", "FLOAT"},
    {"int", "INT"},
    {"adlongvarbinary", "BLOB"},
    {"longvar", TextColumn},
    {"numeric", "DECIMAL"},
    {"date", TextColumn},
    {"timestamp", TextColumn},
    {"double", "FLOAT"},
}};

} // namespace

QString DataTypeName(short typeNumber) {
    for (const TypeName& entry : typeNames)
        if (entry.number == typeNumber)
            return QString::fromLatin1(entry.name);
    return {};
}

QString OracleColumnType(const QString& lowerCasedTypeName) {
    for (const ColumnKey& entry : columnKeys)
        if (lowerCasedTypeName.contains(QLatin1String(entry.key)))
            return QString::fromLatin1(entry.columnType);
    return QString::fromLatin1(TextColumn);
}

QString columnTypeForAdoType(int typeNumber) {
    return OracleColumnType(DataTypeName(static_cast<short>(typeNumber)).toLower());
}

QString columnTypeForField(int typeNumber, int scale, bool holdsLongText) {
    const QString type = columnTypeForAdoType(typeNumber);
    // The widest BCD field has 32 digits, of which up to 32 may follow the point.
    constexpr int Digits = 32;
    if (type == QLatin1String("DECIMAL") && scale >= 0 && scale <= Digits)
        return QStringLiteral("DECIMAL(%1,%2)").arg(Digits).arg(scale);
    if (holdsLongText && type == QLatin1String(TextColumn))
        return QStringLiteral("NCLOB");
    return type;
}

bool isLongTextType(int typeNumber) {
    return typeNumber == 201 || typeNumber == 203; // adLongVarChar, adLongVarWChar
}

} // namespace dravena
