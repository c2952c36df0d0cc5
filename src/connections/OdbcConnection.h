#pragma once

#include "DataAccess.h"

#include <memory>

namespace dravena {

// A connection through unixODBC; the connection string goes to the driver manager unchanged.
std::unique_ptr<Connection> makeOdbcConnection();

} // namespace dravena
