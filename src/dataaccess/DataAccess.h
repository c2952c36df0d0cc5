#pragma once

#include "paradox/Value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <span>
#include <variant>
#include <vector>

namespace dravena {

using Value = paradox::Value;

// ADO type numbers the data-access layer reports for fields.
namespace adotype {
constexpr int SmallInt = 2;
constexpr int Integer = 3;
constexpr int Single = 4;
constexpr int Double = 5;
constexpr int Currency = 6;
constexpr int Boolean = 11;
constexpr int BigInt = 20;
constexpr int Binary = 128;
constexpr int Numeric = 131;
constexpr int DBDate = 133;
constexpr int DBTime = 134;
constexpr int DBTimeStamp = 135;
constexpr int VarChar = 200;
constexpr int VarWChar = 202;
constexpr int LongVarChar = 201;
constexpr int LongVarWChar = 203;
constexpr int VarBinary = 204;
constexpr int LongVarBinary = 205;
} // namespace adotype

// Error numbers of the data-access layer's own failures.
namespace adoerror {
constexpr int NoCurrentRecord = 3021;
constexpr int ItemNotFound = 3265;
constexpr int ObjectClosed = 3704;
} // namespace adoerror

// An operation on a connection or record set that is not open (error 3704).
[[noreturn]] void throwObjectClosed();
// Opening a connection or record set that is already open.
[[noreturn]] void throwObjectOpen();

// A value bound to a "?" of a statement: bytes go to the server as binary, text as wide text.
using BoundValue = std::variant<QString, QByteArray>;

// How the values of one column go in an array of parameters, each in a form that keeps it exact.
enum class ParameterKind {
    Integer,    // whole numbers, bound as 64-bit integers
    NumberText, // a number's text ("0.1"), which the server reads as a literal's text
    Decimal,    // exact decimal digits for a DECIMAL(32,scale) column
    WideText,   // text, bound as wide characters
    Bytes       // bound as binary
};

struct ParameterColumn {
    ParameterKind kind = ParameterKind::WideText;
    int scale = 0; // for Decimal
};

// One value of an array of parameters in the form it is bound in: NULL, a whole number, text
// (UTF-8) or bytes.
using ArrayValue = std::variant<std::monostate, std::int64_t, std::string, paradox::Bytes>;
using ArrayRow = std::vector<ArrayValue>;

// What the server reports of one row of an array of parameters.
enum class ArrayRowStatus {
    Done,    // the row was inserted (within the array's transaction)
    Refused, // the server refused the row, or the whole statement
    NotRun   // the server did not get to the row
};

// A prepared statement whose rows go to the server in arrays of parameters: one round trip for
// many rows.
class ArrayInsert {
public:
    virtual ~ArrayInsert() = default;
    // Sends the rows (one value per "?" each) as one array, within the connection's current
    // transaction, and tells what became of each row, in order. A statement refused as a whole
    // leaves no row Done. A lost connection is a ConnectionLostError.
    virtual std::vector<ArrayRowStatus> send(std::span<const ArrayRow> rows) = 0;
};

// Cursor locations.
constexpr int ServerSideCursor = 2;
constexpr int ClientSideCursor = 3;

// The rows of one query, positioned on the first row after opening.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    virtual int fieldType(int index) const = 0; // ADO type number
    // Digits after the decimal point of an exact numeric field; -1 for other fields.
    virtual int numericScale(int index) const = 0;
    // Value of the current row; the reference holds until the cursor moves.
    virtual const Value& fieldValue(int index) const = 0;
    // The length in bytes of a value of the current row as the source stores it, when the
    // source knows it without reading the value (a memo's length, held in its record); -1 when
    // it does not.
    virtual std::int64_t storedLength(int /*index*/) const { return -1; }
    // Number of rows; -1 when the cursor cannot know it before reading them all.
    virtual std::int64_t recordCount() const = 0;
    virtual bool atEnd() const = 0;
    virtual void moveNext() = 0;
    // Problems met while reading that did not stop it (for example a value that could not be
    // read and is delivered as NULL).
    virtual QStringList warnings() const { return {}; }
    // Whether one of those problems cost a value: it could not be read and came as NULL.
    virtual bool valuesLost() const { return false; }
    // How many values were so lost.
    virtual std::int64_t lostValueCount() const { return valuesLost() ? 1 : 0; }
};

// A database connection (ADODB.Connection). Every failure is a RuntimeError whose description is
// the driver's message unchanged. Destroying an open connection closes it.
class Connection {
public:
    virtual ~Connection() = default;
    // Takes effect on the next open().
    virtual void setCursorLocation(int location) = 0;
    virtual int cursorLocation() const = 0;
    virtual void open(const QString& connectionString) = 0;
    virtual void execute(const QString& sql) = 0;
    // Runs a statement whose "?" marks take the values in order.
    virtual void execute(const QString& sql, std::span<const BoundValue> parameters) = 0;
    virtual std::unique_ptr<Cursor> query(const QString& sql) = 0;
    // Prepares a statement whose "?" marks take arrays of parameters, one column each. A
    // connection that cannot send arrays fails with error 5.
    virtual std::unique_ptr<ArrayInsert> prepareArrayInsert(const QString& sql,
                                                            std::vector<ParameterColumn> columns);
    // A transaction: the statements after beginTransaction take effect together at commit, or
    // not at all after rollback. Both end it; statements then take effect one by one again. A
    // connection that has no transactions fails with error 5.
    virtual void beginTransaction();
    virtual void commit();
    virtual void rollback();
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

// A record set (ADODB.RecordSet): opened with a statement on an open connection.
class Recordset {
public:
    void open(const QString& sql, Connection& connection);
    bool isOpen() const { return cursor_ != nullptr; }
    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldType(int index) const;
    int numericScale(int index) const;
    // Holds until the record set moves. Asked for every value of every row, hence here.
    const Value& fieldValue(int index) const { return cursor().fieldValue(index); }
    std::int64_t storedLength(int index) const;
    std::int64_t recordCount() const;
    bool atEnd() const;
    void moveNext();
    QStringList warnings() const;
    bool valuesLost() const;
    std::int64_t lostValueCount() const;
    void close();

private:
    const Cursor& cursor() const {
        if (!cursor_) [[unlikely]]
            throwObjectClosed();
        return *cursor_;
    }
    std::unique_ptr<Cursor> cursor_;
};

// Creates connection and record-set objects; tests replace it or make creation fail.
class DataAccess {
public:
    virtual ~DataAccess() = default;
    virtual std::unique_ptr<Connection> createConnection() = 0;
    virtual std::unique_ptr<Recordset> createRecordset() = 0;
};

} // namespace dravena
