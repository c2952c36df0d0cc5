#include "OdbcConnection.h"

#include "app/RuntimeError.h"

namespace dravena {

// Replaced by the unixODBC connection.
std::unique_ptr<Connection> makeOdbcConnection() {
    throw RuntimeError(errnum::CannotCreateObject, QStringLiteral("ODBC access not built yet"));
}

} // namespace dravena
