#pragma once

#include <QString>
#include <QStringList>

#include <map>

namespace dravena::testing {

// A Paradox table with every kind of field and values a lenient copy would lose: a memo far
// over 2,000 characters, a picture over 2,000 bytes, BCD fractions, NULLs. Three rows.
void writeKinds(const QString& file);

// A Paradox table of one Number field "N" with `rows` rows (i + 0.5); the values listed in
// `special` replace theirs.
void writeNumbers(const QString& file, int rows, const std::map<int, double>& special = {});

// The tables of a folder as the tables window names them: each .db file's name in capitals
// without the extension.
QStringList tableNamesIn(const QString& folder);

} // namespace dravena::testing
