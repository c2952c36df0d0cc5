#include "TableLoad.h"

namespace dravena {

ReplaceDecision decideReplace(const TableLoad& load, bool replacing) {
    // Rows the server or a typed column refused were told one by one and do not keep the old
    // table; a value not read, rows the source did not give, a stop or a lost connection do.
    const bool ranToItsEnd =
        load.valuesNotRead == 0 && !load.endedEarly && !load.stopped && !load.connectionLost;
    ReplaceDecision decision;
    decision.takeName = ranToItsEnd;
    decision.dropOld = ranToItsEnd && replacing;
    // Without a connection the loading table cannot be dropped: the next load of the table
    // removes it.
    decision.dropCopy = !ranToItsEnd && !load.connectionLost;
    return decision;
}

} // namespace dravena
