#pragma once

#include <QString>

namespace dravena {

// The ODBC connection string of the Oracle side, built from the SID, user and password entries.
// The texts go in as typed, untrimmed; only a text that holds ";" or starts with "{" is put in
// braces (connectionStringPart), so that the driver reads it as one value.
QString oracleConnectionString(const QString& sid, const QString& user, const QString& password);

// The connection string of the Paradox side: the folder goes in twice, as the Oracle entries do.
QString paradoxConnectionString(const QString& folder);

} // namespace dravena
