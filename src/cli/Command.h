#pragma once

#include <QStringList>

namespace dravena::cli {

// One sub-command of dravena-cli. The arguments given to run are those after the command name;
// the result is the process exit status.
struct Command {
    const char* name;
    const char* usage;   // what follows the name on a command line, as help and manual show it
    const char* summary; // its line in dravena-cli --help
    const char* help;    // the rest of dravena-cli COMMAND --help: what it does, its options
    int (*run)(const QStringList& arguments);
};

} // namespace dravena::cli
