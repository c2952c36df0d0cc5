#include "ComparedValue.h"

#include "TypeMapping.h"
#include "ValueText.h"

#include <charconv>
#include <cstdlib>

namespace dravena {

namespace {

// The default NullToDefault gives a NULL field, as send has it: the empty text, which is NULL.
const Value NoValueText{std::string()};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Appends an exact decimal ("-012.500", "1.5E+3") in its shortest plain form ("-12.5", "1500");
// every zero is "0". False when the text is not a decimal number.
bool appendPlainDecimal(std::string& out, std::string_view text) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    std::string digits;
    long point = 0; // how many of the digits stand before the decimal point
    for (; i < text.size() && isDigit(text[i]); ++i, ++point)
        digits += text[i];
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i)
            digits += text[i];
    if (digits.empty())
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        long exponent = 0;
        const std::string_view rest = text.substr(i + 1);
        const std::size_t sign = !rest.empty() && (rest[0] == '+' || rest[0] == '-') ? 1 : 0;
        const auto result =
            std::from_chars(rest.data() + sign, rest.data() + rest.size(), exponent);
        if (result.ec != std::errc() || result.ptr != rest.data() + rest.size())
            return false;
        point += sign == 1 && rest[0] == '-' ? -exponent : exponent;
        i = text.size();
    }
    if (i != text.size())
        return false;
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        out += '0';
        return true;
    }
    point -= static_cast<long>(first);
    digits.erase(0, first);
    digits.erase(digits.find_last_not_of('0') + 1);
    constexpr long Widest = 1000; // far beyond any column; wider texts are compared as they stand
    if (std::labs(point) > Widest)
        return false;
    if (negative)
        out += '-';
    const auto count = static_cast<long>(digits.size());
    if (point <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-point), '0');
        out += digits;
    } else if (point >= count) {
        out += digits;
        out.append(static_cast<std::size_t>(point - count), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(point));
        out += '.';
        out.append(digits, static_cast<std::size_t>(point));
    }
    return true;
}

// Appends a floating number's text as the double it reads as, in the shortest form that reads
// back the same; a negative zero is zero. False when the text is not a number.
bool appendFloat(std::string& out, std::string_view text) {
    double number = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return false;
    if (number == 0)
        number = 0; // no sign
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, written.ptr);
    return true;
}

bool isIntegerType(int adoType) {
    switch (adoType) {
    case adotype::SmallInt:
    case adotype::Integer:
    case adotype::BigInt:
    case 16: // adTinyInt
        return true;
    default:
        return false;
    }
}

bool isTextType(int adoType) {
    switch (adoType) {
    case 129: // adChar
    case 130: // adWChar
    case adotype::VarChar:
    case adotype::LongVarChar:
    case adotype::VarWChar:
    case adotype::LongVarWChar:
        return true;
    default:
        return false;
    }
}

bool isBytesType(int adoType) {
    return adoType == adotype::Binary || adoType == adotype::VarBinary ||
           adoType == adotype::LongVarBinary;
}

// The scale of "DECIMAL(32,s)"; 0 for INT and a bare DECIMAL, whole numbers both.
int decimalScale(const QString& columnType) {
    if (!columnType.startsWith(QLatin1String("DECIMAL(")))
        return 0;
    bool ok = false;
    const int scale = columnType.section(u',', 1).chopped(1).toInt(&ok);
    return ok ? scale : 0;
}

} // namespace

ColumnKind columnKindOf(const QString& columnType) {
    if (columnType == QLatin1String("INT") || columnType.startsWith(QLatin1String("DECIMAL")))
        return ColumnKind::Number;
    if (columnType == QLatin1String("FLOAT"))
        return ColumnKind::Float;
    if (columnType == QLatin1String("BLOB"))
        return ColumnKind::Bytes;
    return ColumnKind::Text;
}

bool appendComparedForm(std::string& out, ColumnKind kind, const Value& value) {
    const std::size_t start = out.size();
    appendValueText(out, NullToDefault(value, NoValueText));
    if (out.size() == start)
        return false;
    if (kind != ColumnKind::Number && kind != ColumnKind::Float)
        return true;
    const std::string text(out, start);
    out.resize(start);
    const bool number =
        kind == ColumnKind::Number ? appendPlainDecimal(out, text) : appendFloat(out, text);
    if (!number)
        out += text; // not a number: compared as it stands
    return true;
}

bool serverColumnHasType(const QString& columnType, int adoType, int scale) {
    switch (columnKindOf(columnType)) {
    case ColumnKind::Number: {
        const int wanted = decimalScale(columnType);
        if (wanted == 0 && isIntegerType(adoType))
            return true;
        return adoType == adotype::Numeric && std::max(scale, 0) == wanted;
    }
    case ColumnKind::Float:
        return adoType == adotype::Double || adoType == adotype::Single;
    case ColumnKind::Bytes:
        return isBytesType(adoType);
    case ColumnKind::Text:
        return isTextType(adoType);
    }
    return false;
}

QString serverColumnTypeName(int adoType, int scale) {
    if (isIntegerType(adoType) || (adoType == adotype::Numeric && scale <= 0))
        return QStringLiteral("INT");
    if (adoType == adotype::Numeric)
        return QStringLiteral("DECIMAL(%1)").arg(scale);
    if (adoType == adotype::Double || adoType == adotype::Single)
        return QStringLiteral("FLOAT");
    if (isTextType(adoType))
        return QStringLiteral("text");
    if (isBytesType(adoType))
        return QStringLiteral("BLOB");
    const QString name = DataTypeName(static_cast<short>(adoType));
    return name.isEmpty() ? QStringLiteral("type %1").arg(adoType) : name;
}

} // namespace dravena
