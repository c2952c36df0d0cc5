#pragma once

#include "Options.h"

namespace dravena::cli {

// One sub-command of dravena-cli. Its arguments are read by its syntax before run is called;
// the result of run is the process exit status.
struct Command {
    const char* name;
    Syntax syntax;       // its options and words; the usage line of help and manual is made of it
    const char* summary; // its line in dravena-cli --help
    const char* help;    // the rest of dravena-cli COMMAND --help: what it does, its options
    int (*run)(const ParsedOptions& options);
};

} // namespace dravena::cli
