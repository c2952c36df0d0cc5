#pragma once

#include <QString>

#include <cstdint>

namespace dravena {

// What the load of one table's rows into its loading table came to.
struct TableLoad {
    std::int64_t rowsExpected = 0;  // the source's record count
    std::int64_t rowsTaken = 0;     // rows the load took up from the source
    std::int64_t rowsRead = 0;      // rows whose every value was read
    std::int64_t rowsArrived = 0;   // rows the server took
    std::int64_t rowsRefused = 0;   // rows refused by the server or by a typed column
    std::int64_t valuesNotRead = 0; // values the source could not give (their rows were not sent)
    // Values the source could not read and gave as NULL (a missing .MB file), and the rows that
    // held them: those rows went, without the values.
    std::int64_t valuesLost = 0;
    std::int64_t rowsWithLostValues = 0;
    // The source did not give all its rows: it ended before its record count, or its count, its
    // fields or its next row could not be read.
    bool endedEarly = false;
    bool stopped = false;        // the user stopped the run during the load
    bool connectionLost = false; // the run ended: the server connection was lost or gave no answer
    // The Paradox table was written by another program while each of its reads ran: what arrived
    // may be half old, half new, and never takes the table's name.
    bool sourceChanged = false;
    int reads = 1; // how many times the table was read for this load
};

// The load ran to its end (no stop, no lost connection) and every row arrived with every value.
bool wholeCopy(const TableLoad& load);
// The rows of the source that did not arrive whole: refused, not read, with lost values, or
// never given by a source that ended early.
std::int64_t rowsNotWhole(const TableLoad& load);
// Why a copy is not whole, in words: "1 row refused, 2 values could not be read".
QString whyNotWhole(const TableLoad& load);

// What becomes of the loading table and of the server's table of the final name.
struct ReplaceDecision {
    bool takeName = false; // the loading table takes the final name
    bool dropOld = false;  // the table that holds the final name now is dropped first
    bool dropCopy = false; // the loading table is dropped (it did not take the name)
};

// A copy takes the place of the server's table of its name (`replacing`) only when it is whole,
// or when the user accepted it incomplete (`acceptIncomplete`: never for a stopped load). A
// table that was not on the server takes its name whatever arrived, unless its source changed
// while it was read (such a copy is never kept). Nothing is decided about a
// copy the connection was lost to: it stays where it is.
ReplaceDecision decideReplace(const TableLoad& load, bool replacing, bool acceptIncomplete = false);

} // namespace dravena
