#pragma once

#include "Options.h"
#include "SignOnDefaults.h"
#include "schema/ObjectNames.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace dravena::cli {

// What the server side says before a send: the ODBC setup, the sign-on, whether the user may
// create tables, the server's longest name and the tables it already has.
struct ServerReadiness {
    QStringList lines;      // findings of the run, one line each
    QStringList iniSection; // the lines to add to odbcinst.ini, as they go there; empty when the
                            // driver is set up (lines then ends by saying where they go)
    QMap<QString, QStringList> tableLines; // by table as chosen: its name already on the server
    QJsonObject json;                      // the same for --json
    bool refused = false; // a send would be refused: no driver, no sign-on, no CREATE TABLE
    NameLimit names;      // the server's longest name (30 bytes of UTF-8 when not signed on)
};

// Looks at the ODBC setup of the program's Oracle driver name, then signs on and asks the server
// about the tables (as chosen: "sub/NAME" or a bare entry), each under the name send gives it.
ServerReadiness checkServerReadiness(const SignOn& signOn, const QStringList& tables);

// checkServerReadiness for a command line with --sid or --user (the other taken from DRAVENA_SID
// or DRAVENA_USER, the password as every command gets it); nothing without either option. A
// sign-on the command line cannot complete is told on standard error and `status` set (2 for a
// wrong command line, 1 for a password that cannot be read).
std::optional<ServerReadiness> serverReadinessOfCommandLine(const ParsedOptions& options,
                                                            const QStringList& tables, int& status);

} // namespace dravena::cli
