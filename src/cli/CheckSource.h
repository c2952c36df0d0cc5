#pragma once

#include "schema/TableInspection.h"

namespace dravena::cli {

// check's reading of one table as send would meet it while another program may use it: the
// table's lock files looked at first (a table held for writing is a finding; with refuseLocked
// one that would not be sent), then the table read whole, again while its files change under
// the reading, up to the times send reads it; a table that keeps changing is a finding that
// would not be sent. Names are fitted to `names`, as inspectTable fits them.
TableInspection inspectTableInUse(const QString& folder, const QString& table, bool fullSchema,
                                  bool refuseLocked, const NameLimit& names);

} // namespace dravena::cli
