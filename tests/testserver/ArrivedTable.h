#pragma once

#include "dataaccess/DataAccess.h"
#include "schema/ObjectNames.h"

#include <QString>

namespace dravena::testing {

struct TestDatabase;

// Checks that the server table holds every row and value of the Paradox table as our engine
// reads it, in the form its column keeps: numbers as numbers, texts unchanged, bytes as bytes,
// and dates, times and logical values in their text forms (NULL and empty stay NULL). Adds a
// GoogleTest failure for every difference; returns the number of rows compared. The columns are
// named as a server of that longest name takes the fields' names.
std::int64_t expectArrivedWhole(const TestDatabase& db, const QString& folder,
                                const QString& paradoxTable, const QString& serverTable,
                                const NameLimit& names = {});

} // namespace dravena::testing
