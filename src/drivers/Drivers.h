#pragma once

#include "dataaccess/DataAccess.h"

#include <memory>

namespace dravena {

// The installed data-access factory: the real one unless a test installed another. The real one
// hands out connections that pick their engine when they are opened, from the Driver key of the
// connection string: the built-in Paradox engine for the Paradox driver, unixODBC for any other.
DataAccess& dataAccess();
// Installs a factory; none puts the real one back.
void installDataAccess(std::shared_ptr<DataAccess> factory);

} // namespace dravena
