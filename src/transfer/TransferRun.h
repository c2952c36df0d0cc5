#pragma once

namespace dravena {

class TransferFrontEnd;

// Sends the selected tables of the front end's list to the server: for each one, from the last
// entry of the list to the first, it asks before replacing a table the server list holds, drops
// it on Yes, reads the Paradox table, creates the server table and inserts every row, in arrays
// of the front end's rowsPerArray() rows (one INSERT statement per row when that is 1), while the
// progress follows the rows. Both connections are opened
// once for the run from the front end's connection settings and closed at its end.
void SendTablesToOracle(TransferFrontEnd& frontEnd);

} // namespace dravena
