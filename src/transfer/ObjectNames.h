#pragma once

#include <QString>

namespace dravena {

// The longest name an Oracle object may have, in bytes (before 12.2).
inline constexpr int MaxObjectNameBytes = 30;

// The name of a generated object: prefix, table and detail joined by "_" ("PK_CUSTOMER",
// "IX_CUSTOMER_City"). A name longer than MaxObjectNameBytes in UTF-8 is cut (never inside a
// character) and ends in "_" and six hexadecimal digits of a hash of the whole name, so that
// names that share their beginning stay apart.
QString objectName(const QString& prefix, const QString& table, const QString& detail = {});

} // namespace dravena
