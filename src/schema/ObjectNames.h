#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace dravena {

// The longest name an Oracle object may have, in bytes (before 12.2).
inline constexpr int MaxObjectNameBytes = 30;
// The longest name from Oracle 12.2 on, in bytes.
inline constexpr int LongObjectNameBytes = 128;

// The longest name the server takes: bytes of its database character set. A character set of one
// byte per character counts characters; any other counts the bytes of UTF-8 (AL32UTF8, and what a
// server that does not tell its character set is taken to use).
struct NameLimit {
    int bytes = MaxObjectNameBytes;
    bool oneBytePerCharacter = false;
    friend bool operator==(const NameLimit&, const NameLimit&) = default;
};

// The name of a generated object: prefix, table and detail joined by "_" ("PK_CUSTOMER",
// "IX_CUSTOMER_City"). A name longer than the limit is cut (never inside a
// character) and ends in "_" and six hexadecimal digits of a hash of the whole name, so that
// names that share their beginning stay apart.
QString objectName(const QString& prefix, const QString& table, const QString& detail = {},
                   const NameLimit& limit = {});

// The name an object takes on the server: the name itself when it fits the limit, else cut as
// objectName cuts (never inside a character, "_" and six hexadecimal digits of a hash of the whole
// name at its end). Table, column and generated object names all take it, so that send, verify and
// sql name every object alike.
QString fittedName(const QString& name, const NameLimit& limit = {});

// fittedName of each name of one table's columns, kept apart: a cut name that meets another
// name of the list is cut again with another hash until it meets none, and a name that repeats
// an earlier one of the list is named as a cut one. The same list always gives the same names.
QStringList fittedNames(const QStringList& names, const NameLimit& limit = {});

// FNV-1a (32 bits) of the bytes. Names made with it must stay as they are: the tables and objects
// of earlier runs are found by them.
std::uint32_t fnv1a(const QByteArray& bytes);

// At most the first `most` bytes of the UTF-8 text, cut back to the start of a character.
QString utf8Prefix(const QByteArray& utf8, qsizetype most);

} // namespace dravena
