#pragma once

#include <QString>

#include <cstdio>

namespace dravena::cli {

// The server password for a command: the environment variable DRAVENA_PASSWORD when it is set,
// else one line of `input` (the line end removed). On a terminal the line is read without echo
// after a prompt on standard error; the echo comes back also when a signal (Ctrl-C, a kill) ends
// the program at the prompt. Never taken from the command line.
QString readPassword(std::FILE* input = stdin);

} // namespace dravena::cli
