#pragma once

#include "drivers/TableNames.h"

namespace dravena {

class ConnectionEntries;
class TableList;

// Fills the list with the tables the Oracle user owns. A failure leaves the list as it was and is
// passed on.
void ListOracleTables(TableList& list, const ConnectionEntries& entries);

// Fills the list with the Paradox tables found under the folder entry, named as the file name in
// capitals without ".DB", each entry with the sub-folder it lies in; names starting with "~" are
// left out. An empty folder entry leaves the list unchanged.
void ListParadoxTables(TableList& list, const ConnectionEntries& entries);

} // namespace dravena
