#include "OracleClientSettings.h"

#include <cstdlib>

namespace dravena {

void applyOracleClientDefaults() {
    // setenv with overwrite 0 keeps a value the user set, even an empty one.
    setenv("NLS_LANG", "AMERICAN_AMERICA.AL32UTF8", 0);
    setenv("NLS_NUMERIC_CHARACTERS", ".,", 0);
}

} // namespace dravena
