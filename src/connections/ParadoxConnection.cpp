#include "ParadoxConnection.h"

#include "app/RuntimeError.h"

namespace dravena {

// Replaced by the Paradox engine's connection.
std::unique_ptr<Connection> makeParadoxConnection() {
    throw RuntimeError(errnum::CannotCreateObject, QStringLiteral("Paradox engine not built yet"));
}

} // namespace dravena
