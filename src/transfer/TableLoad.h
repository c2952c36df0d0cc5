#pragma once

#include <cstdint>

namespace dravena {

// What the load of one table's rows into its loading table came to.
struct TableLoad {
    std::int64_t rowsRead = 0;      // rows whose every value was read
    std::int64_t rowsArrived = 0;   // rows the server took
    std::int64_t rowsRefused = 0;   // rows refused by the server or by a typed column
    std::int64_t valuesNotRead = 0; // values the source could not give (their rows were not sent)
    // The source did not give all its rows: it ended before its record count, or its count, its
    // fields or its next row could not be read.
    bool endedEarly = false;
    bool stopped = false;        // the user stopped the run during the load
    bool connectionLost = false; // the run ended: the server connection was lost or gave no answer
};

// What becomes of the loading table and of the server's table of the final name.
struct ReplaceDecision {
    bool takeName = false; // the loading table takes the final name
    bool dropOld = false;  // the table that holds the final name now is dropped first
    bool dropCopy = false; // the loading table is dropped (it did not take the name)
};

// The loading table takes its final name only when the load ran to its end; `replacing` when the
// server holds a table of that name that the user agreed to replace.
ReplaceDecision decideReplace(const TableLoad& load, bool replacing);

} // namespace dravena
