#pragma once

#include "DataAccess.h"

#include <memory>

namespace dravena {

// A connection on the built-in Paradox engine, for the folder named by DefaultDir (or Dbq).
std::unique_ptr<Connection> makeParadoxConnection();

} // namespace dravena
