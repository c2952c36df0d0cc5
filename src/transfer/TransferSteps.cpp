#include "TransferSteps.h"

#include "odbc/OdbcDiagnostics.h"

namespace dravena {

TransferSteps::TransferSteps(TransferFrontEnd& frontEnd)
    : frontEnd_(frontEnd),
      trap_([this](const QString& description, int line) { report(description, line); }) {}

void TransferSteps::report(const QString& description, int line) {
    try {
        throw; // the failure in flight
    } catch (const ConnectionLostError&) {
        // Nothing more can reach the server: say so once and stop.
        ended_ = true;
    } catch (...) {
    }
    frontEnd_.reportFailure({description, line, table_, row_, ended_});
}

} // namespace dravena
