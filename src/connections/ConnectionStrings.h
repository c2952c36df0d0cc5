#pragma once

#include <QString>

namespace dravena {

// The ODBC connection string of the Oracle side, built from the SID, user and password entries.
// The texts go in exactly as typed: no trimming, quoting or escaping.
QString oracleConnectionString(const QString& sid, const QString& user, const QString& password);

// The connection string of the Paradox side: the folder goes in twice, exactly as typed.
QString paradoxConnectionString(const QString& folder);

} // namespace dravena
