#pragma once

#include "Options.h"

#include <QString>

#include <optional>

namespace dravena::cli {

// The options of every command that signs on to the server; --sid and --user may be left out
// when DRAVENA_SID and DRAVENA_USER give them.
extern const Option sidOption;          // [--sid SID]
extern const Option userOption;         // [--user USER]
extern const Option passwordFileOption; // [--password-file FILE]

// Whom to sign on as.
struct SignOn {
    QString sid;
    QString user;
    QString password;
};

// The server and user of the command line, else of DRAVENA_SID and DRAVENA_USER; nothing when
// one is missing or when --password-file names a file that others may read (told on standard
// error with the usage: status 2). The password is not read yet.
std::optional<SignOn> signOnOfCommandLine(const ParsedOptions& options);

// The password: the first line of --password-file when given, else DRAVENA_PASSWORD when set,
// else typed on the terminal (/dev/tty) after a prompt, so that standard input may carry table
// names; a program without a terminal reads one line of standard input, unless standard input
// carries the table names. Nothing when it cannot be read (told on standard error).
std::optional<QString> passwordOfCommandLine(const ParsedOptions& options, bool standardInputTaken);

} // namespace dravena::cli
