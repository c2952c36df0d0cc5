#include "TransferSteps.h"

#include "app/Trap.h"
#include "connections/OdbcDiagnostics.h"

namespace dravena {

void TransferSteps::reportCurrent() {
    TransferFailure failure{describeCurrentException(), line_, table_, row_};
    try {
        throw;
    } catch (const ConnectionLostError&) {
        // Nothing more can reach the server: say so once and stop.
        ended_ = true;
    } catch (...) {
    }
    frontEnd_.reportFailure(failure);
}

} // namespace dravena
