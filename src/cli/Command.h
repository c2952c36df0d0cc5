#pragma once

#include <QStringList>

namespace dravena::cli {

// One sub-command of dravena-cli: its name, a line of help and what it runs. The arguments are
// those after the command name; the result is the process exit status.
struct Command {
    const char* name;
    const char* synopsis;
    int (*run)(const QStringList& arguments);
};

} // namespace dravena::cli
