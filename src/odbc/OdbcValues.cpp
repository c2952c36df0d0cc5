#include "OdbcValues.h"

#include "base/RuntimeError.h"

#include <QByteArray>
#include <QDateTime>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QVariant>

namespace dravena {

namespace {

using paradox::Bytes;
using paradox::Date;
using paradox::Decimal;
using paradox::Time;
using paradox::Timestamp;

// ODBC SQL type codes (sql.h / sqlext.h), the ODBC 2 and ODBC 3 codes for dates and times.
namespace sqltype {
constexpr int Char = 1, Numeric = 2, Decimal = 3, Integer = 4, SmallInt = 5, Float = 6, Real = 7,
              Double = 8, Date = 9, Time = 10, Timestamp = 11, VarChar = 12, TypeDate = 91,
              TypeTime = 92, TypeTimestamp = 93, LongVarChar = -1, Binary = -2, VarBinary = -3,
              LongVarBinary = -4, BigInt = -5, TinyInt = -6, Bit = -7, WChar = -8, WVarChar = -9,
              WLongVarChar = -10, Guid = -11;
} // namespace sqltype

constexpr int AdoTinyInt = 16;
constexpr int AdoChar = 129;
constexpr int AdoWChar = 130;
constexpr int AdoGuid = 72;

int adoTypeOfQtType(QMetaType type) {
    switch (type.id()) {
    case QMetaType::Bool:
        return adotype::Boolean;
    case QMetaType::Short:
    case QMetaType::UShort:
        return adotype::SmallInt;
    case QMetaType::Int:
    case QMetaType::UInt:
        return adotype::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return adotype::BigInt;
    case QMetaType::Float:
        return adotype::Single;
    case QMetaType::Double:
        return adotype::Double;
    case QMetaType::QDate:
        return adotype::DBDate;
    case QMetaType::QTime:
        return adotype::DBTime;
    case QMetaType::QDateTime:
        return adotype::DBTimeStamp;
    case QMetaType::QByteArray:
        return adotype::LongVarBinary;
    default:
        return adotype::VarWChar;
    }
}

std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

Date dateOf(QDate d) {
    return Date{d.year(), d.month(), d.day()};
}

Time timeOf(QTime t) {
    return Time{t.hour(), t.minute(), t.second(), t.msec()};
}

// Whole numbers arrive as Qt integers; a driver may also send them as text.
Value integerOf(const QVariant& value) {
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (ok)
        return std::int64_t{n};
    return utf8(value.toString());
}

Value doubleOf(const QVariant& value) {
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (ok)
        return d;
    return utf8(value.toString());
}

Value bytesOf(const QVariant& value) {
    const QByteArray bytes = value.toByteArray();
    return Bytes(bytes.begin(), bytes.end());
}

Value byQtType(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return integerOf(value);
    case QMetaType::Float:
    case QMetaType::Double:
        return doubleOf(value);
    case QMetaType::QDate:
        return dateOf(value.toDate());
    case QMetaType::QTime:
        return timeOf(value.toTime());
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        return Timestamp{dateOf(stamp.date()), timeOf(stamp.time())};
    }
    case QMetaType::QByteArray:
        return bytesOf(value);
    default:
        return utf8(value.toString());
    }
}

} // namespace

int adoTypeOf(int sqlType, QMetaType valueType) {
    switch (sqlType) {
    case sqltype::Char:
        return AdoChar;
    case sqltype::VarChar:
        return adotype::VarChar;
    case sqltype::LongVarChar:
        return adotype::LongVarChar;
    case sqltype::WChar:
        return AdoWChar;
    case sqltype::WVarChar:
        return adotype::VarWChar;
    case sqltype::WLongVarChar:
        return adotype::LongVarWChar;
    case sqltype::Numeric:
    case sqltype::Decimal:
        return adotype::Numeric;
    case sqltype::Integer:
        return adotype::Integer;
    case sqltype::SmallInt:
        return adotype::SmallInt;
    case sqltype::TinyInt:
        return AdoTinyInt;
    case sqltype::BigInt:
        return adotype::BigInt;
    case sqltype::Real:
        return adotype::Single;
    case sqltype::Float:
    case sqltype::Double:
        return adotype::Double;
    case sqltype::Bit:
        return adotype::Boolean;
    case sqltype::Date:
    case sqltype::TypeDate:
        return adotype::DBDate;
    case sqltype::Time:
    case sqltype::TypeTime:
        return adotype::DBTime;
    case sqltype::Timestamp:
    case sqltype::TypeTimestamp:
        return adotype::DBTimeStamp;
    case sqltype::Binary:
        return adotype::Binary;
    case sqltype::VarBinary:
        return adotype::VarBinary;
    case sqltype::LongVarBinary:
        return adotype::LongVarBinary;
    case sqltype::Guid:
        return AdoGuid;
    default:
        return adoTypeOfQtType(valueType);
    }
}

std::vector<OdbcColumn> odbcColumns(const QSqlRecord& record) {
    std::vector<OdbcColumn> columns;
    columns.reserve(static_cast<std::size_t>(record.count()));
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        const int adoType = adoTypeOf(field.typeID(), field.metaType());
        columns.push_back({field.name(), field.typeID(), adoType,
                           adoType == adotype::Numeric ? field.precision() : -1});
    }
    return columns;
}

Value odbcValue(const QVariant& value, const OdbcColumn& column) {
    if (value.isNull())
        return {};
    switch (column.adoType) {
    case adotype::Numeric:
        // Exact decimals arrive as text (high precision policy) and stay text.
        return Decimal{utf8(value.toString())};
    case adotype::Single:
    case adotype::Double:
        return doubleOf(value);
    case adotype::Boolean:
        return value.toBool();
    case AdoTinyInt:
    case adotype::SmallInt:
    case adotype::Integer:
    case adotype::BigInt:
        return integerOf(value);
    case adotype::Binary:
    case adotype::VarBinary:
    case adotype::LongVarBinary:
        return bytesOf(value);
    default:
        return byQtType(value);
    }
}

QString odbcMessage(const QSqlError& error) {
    // The Qt driver joins the diagnostic records of the ODBC handles with blanks; the driver's
    // words are what lies between the outer blanks.
    QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.driverText() : text;
}

void throwOdbcError(const QSqlError& error) {
    throw RuntimeError(errnum::DataAccess, odbcMessage(error));
}

} // namespace dravena
