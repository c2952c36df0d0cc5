#include "ComparedValue.h"

#include "schema/ColumnValues.h"
#include "schema/TypeMapping.h"
#include "schema/ValueText.h"

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

// Reads "HH:MM:SS[.fff...]" at the start of the text into milliseconds past midnight plus the
// days given; false when the text is not a time.
bool readTime(std::string_view text, long long days, long long& ms) {
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (text.size() < 8 || text[2] != ':' || text[5] != ':' ||
        std::from_chars(text.data(), text.data() + 2, hour).ptr != text.data() + 2 ||
        std::from_chars(text.data() + 3, text.data() + 5, minute).ptr != text.data() + 5 ||
        std::from_chars(text.data() + 6, text.data() + 8, second).ptr != text.data() + 8)
        return false;
    int fraction = 0;
    if (text.size() > 8) {
        if (text[8] != '.' || text.size() == 9)
            return false;
        for (std::size_t i = 9; i < text.size(); ++i) {
            if (!isDigit(text[i]))
                return false;
            // Digits past the milliseconds must be zeros: anything else is a difference.
            if (i < 12)
                fraction = fraction * 10 + (text[i] - '0');
            else if (text[i] != '0')
                return false;
        }
        for (std::size_t i = text.size(); i < 12; ++i)
            fraction *= 10;
    }
    ms = ((days * 24 + hour) * 60 + minute) * 60000LL + second * 1000LL + fraction;
    return true;
}

// Appends a time of day as "HH:MM:SS" with ".fff" when there are milliseconds, the form of a
// Paradox time's text.
void appendTimeOfDay(std::string& out, long long ms) {
    out += valueTextUtf8(
        paradox::Time{static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                      static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)});
}

// A time of day, or an interval of days and a time ("0 23:59:59.999", "+00 23:59:59.999000").
bool appendTime(std::string& out, std::string_view text) {
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    long long days = 0;
    if (const std::size_t blank = text.find(' '); blank != std::string_view::npos) {
        if (std::from_chars(text.data(), text.data() + blank, days).ptr != text.data() + blank)
            return false;
        text.remove_prefix(blank + 1);
    }
    long long ms = 0;
    if (days < 0 || !readTime(text, days, ms))
        return false;
    appendTimeOfDay(out, ms);
    return true;
}

// "YYYY-MM-DD", with a time after a blank when the kind has one (a date's 00:00:00 is dropped).
bool appendDateAndTime(std::string& out, std::string_view text, bool withTime) {
    const std::size_t blank = text.find(' ', 1);
    const std::string_view day = text.substr(0, blank);
    if (day.size() < 10)
        return false;
    out += day;
    long long ms = 0;
    if (blank == std::string_view::npos) {
        if (withTime)
            out += " 00:00:00";
        return true;
    }
    if (!readTime(text.substr(blank + 1), 0, ms))
        return false;
    if (withTime || ms != 0) {
        out += ' ';
        appendTimeOfDay(out, ms);
    }
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

// Turns the text appended at start into the form the kind compares; false for NULL.
bool toComparedForm(std::string& out, std::size_t start, ColumnKind kind) {
    if (out.size() == start)
        return false;
    if (kind == ColumnKind::Text || kind == ColumnKind::Bytes)
        return true;
    const std::string text(out, start);
    out.resize(start);
    bool read = false;
    switch (kind) {
    case ColumnKind::Number:
        read = appendPlainDecimal(out, text);
        break;
    case ColumnKind::Float:
        read = appendFloat(out, text);
        break;
    case ColumnKind::Time:
        read = appendTime(out, text);
        break;
    default:
        read = appendDateAndTime(out, text, kind == ColumnKind::Timestamp);
        break;
    }
    if (!read) {
        out.resize(start);
        out += text; // not of its kind: compared as it stands
    }
    return true;
}

} // namespace

ColumnKind columnKindOf(const ColumnPlan& plan) {
    switch (plan.kind) {
    case PlanKind::Integer:
    case PlanKind::Decimal:
    case PlanKind::Number:
    case PlanKind::Logical:
        return ColumnKind::Number;
    case PlanKind::Float:
    case PlanKind::BinaryDouble:
        return ColumnKind::Float;
    case PlanKind::Bytes:
        return ColumnKind::Bytes;
    case PlanKind::Date:
        return ColumnKind::Date;
    case PlanKind::Time:
        return ColumnKind::Time;
    case PlanKind::Timestamp:
        return ColumnKind::Timestamp;
    case PlanKind::Text:
    case PlanKind::LongText:
        break;
    }
    return ColumnKind::Text;
}

bool appendComparedForm(std::string& out, ColumnKind kind, const Value& value) {
    const std::size_t start = out.size();
    appendValueText(out, NullToDefault(value, NoValueText));
    return toComparedForm(out, start, kind);
}

bool appendExpectedForm(std::string& out, const ColumnPlan& plan, const Value& value) {
    if (!plan.typed)
        return appendComparedForm(out, columnKindOf(plan), value);
    const std::size_t start = out.size();
    out += typedValueText(plan, value);
    return toComparedForm(out, start, columnKindOf(plan));
}

bool serverColumnHasType(const ColumnPlan& plan, int adoType, int scale) {
    const bool wholeNumber = isIntegerType(adoType) || (adoType == adotype::Numeric && scale <= 0);
    switch (plan.kind) {
    case PlanKind::Integer:
    case PlanKind::Logical:
        return wholeNumber;
    case PlanKind::Decimal: {
        // A described DECIMAL without a scale is a whole number (Oracle's NUMBER(38,0)).
        const int wanted = plan.scale > 0 ? plan.scale : 0;
        return wanted == 0 ? wholeNumber : adoType == adotype::Numeric && scale == wanted;
    }
    case PlanKind::Number:
        return adoType == adotype::Numeric || adoType == adotype::Double;
    case PlanKind::Float:
    case PlanKind::BinaryDouble:
        return adoType == adotype::Double || adoType == adotype::Single;
    case PlanKind::Bytes:
        return isBytesType(adoType);
    case PlanKind::Date:
        return adoType == adotype::DBDate || adoType == adotype::DBTimeStamp;
    case PlanKind::Timestamp:
        return adoType == adotype::DBTimeStamp;
    case PlanKind::Time:
        // An interval reaches the client as text.
        return adoType == adotype::DBTime || isTextType(adoType);
    case PlanKind::Text:
    case PlanKind::LongText:
        break;
    }
    return isTextType(adoType);
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

QString catalogTypeName(const QString& dataType, int charLength, int precision, int scale) {
    if (dataType == QLatin1String("NVARCHAR2"))
        return QStringLiteral("NVARCHAR2(%1)").arg(charLength);
    if (dataType != QLatin1String("NUMBER"))
        return dataType;
    if (scale == 0 && (precision < 0 || precision == 38))
        return QStringLiteral("INTEGER");
    if (precision < 0)
        return QStringLiteral("NUMBER");
    if (scale <= 0)
        return QStringLiteral("NUMBER(%1)").arg(precision);
    return QStringLiteral("NUMBER(%1,%2)").arg(precision).arg(scale);
}

QString plannedCatalogTypeName(const ColumnPlan& plan) {
    switch (plan.kind) {
    case PlanKind::Text:
        return catalogTypeName(QStringLiteral("NVARCHAR2"), plan.typed ? plan.length : 2000, -1,
                               -1);
    case PlanKind::LongText:
        return QStringLiteral("NCLOB");
    case PlanKind::Integer:
    case PlanKind::Logical:
        if (!plan.typed || plan.identityStart)
            return QStringLiteral("INTEGER");
        return catalogTypeName(QStringLiteral("NUMBER"), -1,
                               plan.kind == PlanKind::Logical ? 1 : plan.precision, 0);
    case PlanKind::Decimal:
        // A described DECIMAL without a scale is Oracle's NUMBER(38,0).
        if (plan.scale < 0)
            return QStringLiteral("INTEGER");
        return catalogTypeName(QStringLiteral("NUMBER"), -1, plan.typed ? plan.precision : 32,
                               plan.scale);
    case PlanKind::Number:
        return QStringLiteral("NUMBER");
    case PlanKind::Float:
        return QStringLiteral("FLOAT");
    case PlanKind::BinaryDouble:
        return QStringLiteral("BINARY_DOUBLE");
    case PlanKind::Date:
        return QStringLiteral("DATE");
    case PlanKind::Time:
        return QStringLiteral("INTERVAL DAY(2) TO SECOND(3)");
    case PlanKind::Timestamp:
        return QStringLiteral("TIMESTAMP(3)");
    case PlanKind::Bytes:
        return QStringLiteral("BLOB");
    }
    return {};
}

} // namespace dravena
