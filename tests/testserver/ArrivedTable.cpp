#include "ArrivedTable.h"

#include "TestDatabase.h"
#include "dataaccess/ConnectionStrings.h"
#include "drivers/Drivers.h"
#include "schema/ObjectNames.h"

#include <QByteArray>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace dravena::testing {

namespace {

using paradox::Bytes;
using paradox::Date;
using paradox::Decimal;
using paradox::Time;
using paradox::Timestamp;

// The forms below are written here on purpose, without the program's own value texts.
QString dateText(const Date& d) {
    return QString::asprintf("%s%04d-%02d-%02d", d.year < 0 ? "-" : "", std::abs(d.year), d.month,
                             d.day);
}

QString timeText(const Time& t) {
    QString text = QString::asprintf("%02d:%02d:%02d", t.hour, t.minute, t.second);
    if (t.millisecond != 0)
        text += QString::asprintf(".%03d", t.millisecond);
    return text;
}

QString decimalText(QString text) {
    // "-0.00" is zero, which a number column keeps without its sign.
    if (text.startsWith(u'-') && text.count(u'0') + text.count(u'.') == text.size() - 1)
        text.remove(0, 1);
    return text;
}

QString number(double x) {
    return QString::number(x, 'g', 17);
}

QString hex(const Bytes& bytes) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size()))
                                   .toHex()
                                   .toUpper());
}

bool isEmpty(const Value& v) {
    if (paradox::isNull(v))
        return true;
    if (const auto* s = std::get_if<std::string>(&v))
        return s->empty();
    if (const auto* b = std::get_if<Bytes>(&v))
        return b->empty();
    return false;
}

// A value read from Paradox as its server column keeps it.
QString expectedForm(const Value& read, int adoType) {
    if (isEmpty(read))
        return QStringLiteral("NULL");
    if (const auto* n = std::get_if<std::int64_t>(&read))
        return QString::number(*n);
    if (const auto* x = std::get_if<double>(&read))
        return number(*x);
    if (const auto* d = std::get_if<Decimal>(&read))
        return decimalText(QString::fromStdString(d->text));
    if (const auto* s = std::get_if<std::string>(&read))
        return QString::fromStdString(*s);
    if (const auto* b = std::get_if<bool>(&read))
        return *b ? QStringLiteral("True") : QStringLiteral("False");
    if (const auto* date = std::get_if<Date>(&read))
        return dateText(*date);
    if (const auto* time = std::get_if<Time>(&read))
        return timeText(*time);
    if (const auto* stamp = std::get_if<Timestamp>(&read))
        return dateText(stamp->date) + u' ' + timeText(stamp->time);
    const QString bytes = hex(std::get<Bytes>(read));
    return adoType == adotype::LongVarBinary ? QStringLiteral("bytes ") + bytes : bytes;
}

// A value read back from the server in the same form; the Paradox field's type tells how a
// number kept as text is to be read.
QString storedForm(const Value& stored, int adoType) {
    if (paradox::isNull(stored))
        return QStringLiteral("NULL");
    if (const auto* x = std::get_if<double>(&stored))
        return number(*x);
    if (const auto* b = std::get_if<Bytes>(&stored))
        return QStringLiteral("bytes ") + hex(*b);
    QString text = QStringLiteral("<not text>");
    if (const auto* s = std::get_if<std::string>(&stored))
        text = QString::fromStdString(*s);
    else if (const auto* d = std::get_if<Decimal>(&stored))
        text = decimalText(QString::fromStdString(d->text));
    if (adoType == adotype::Currency) {
        bool ok = false;
        const double x = text.toDouble(&ok);
        return ok ? number(x) : text;
    }
    return text;
}

// Every row as one text, sorted: the server keeps no order of its own.
QStringList sortedRows(Recordset& recordset, const std::vector<int>& types, bool fromParadox) {
    QStringList rows;
    for (; !recordset.atEnd(); recordset.moveNext()) {
        QStringList fields;
        for (int i = 0; i < recordset.fieldCount(); ++i) {
            const Value value = recordset.fieldValue(i);
            const int type = types[static_cast<std::size_t>(i)];
            fields.append(fromParadox ? expectedForm(value, type) : storedForm(value, type));
        }
        rows.append(fields.join(QStringLiteral(" | ")));
    }
    rows.sort();
    return rows;
}

QString selectAll(QString table) {
    return QStringLiteral("SELECT * FROM \"%1\"").arg(table.replace(u'"', QStringLiteral("\"\"")));
}

} // namespace

std::int64_t expectArrivedWhole(const TestDatabase& db, const QString& folder,
                                const QString& paradoxTable, const QString& serverTable,
                                const NameLimit& limit) {
    const std::unique_ptr<Connection> paradox = dataAccess().createConnection();
    paradox->setCursorLocation(ClientSideCursor);
    paradox->open(paradoxConnectionString(folder));
    Recordset read;
    read.open(selectAll(paradoxTable), *paradox);

    const std::unique_ptr<Connection> server = dataAccess().createConnection();
    server->setCursorLocation(ClientSideCursor);
    server->open(db.connectionString());
    Recordset stored;
    stored.open(selectAll(serverTable), *server);

    const std::string table = serverTable.toStdString();
    EXPECT_EQ(stored.fieldCount(), read.fieldCount()) << table;
    if (stored.fieldCount() != read.fieldCount())
        return 0;
    std::vector<int> types;
    QStringList names;
    for (int i = 0; i < read.fieldCount(); ++i)
        names.append(read.fieldName(i));
    names = fittedNames(names, limit); // as the server takes them
    for (int i = 0; i < read.fieldCount(); ++i) {
        EXPECT_EQ(stored.fieldName(i), names[i]) << table;
        types.push_back(read.fieldType(i));
    }
    const QStringList expected = sortedRows(read, types, true);
    const QStringList arrived = sortedRows(stored, types, false);
    EXPECT_EQ(arrived.size(), expected.size()) << table;
    int differences = 0;
    for (qsizetype i = 0; i < std::max(expected.size(), arrived.size()) && differences < 5; ++i) {
        const QString want = expected.value(i, QStringLiteral("(no row)"));
        const QString got = arrived.value(i, QStringLiteral("(no row)"));
        if (want != got) {
            ++differences;
            ADD_FAILURE() << table << ": expected the row\n  " << want.left(300).toStdString()
                          << "\nbut the server holds\n  " << got.left(300).toStdString();
        }
    }
    return expected.size();
}

} // namespace dravena::testing
