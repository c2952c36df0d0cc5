#pragma once

#include "compare/TableCheck.h"

#include <QStringList>

namespace dravena::cli {

// What checking a table found, as lines: the first tells the verdict and the rows on each side;
// then one line for each column whose type differs or that one side lacks, and one for each
// shown row that has no equal on the other side, with the fields in which it differs from the
// most alike row there (or all its fields, when there is none).
QStringList checkReport(const QString& table, const TableCheck& check);

} // namespace dravena::cli
