#pragma once

#include "ObjectNames.h"
#include "dataaccess/DataAccess.h"

#include <QString>

namespace dravena {

// What the server tells of the names it takes: its version and database character set (empty
// when it does not say) and the limit that follows from them.
struct ServerNaming {
    QString version;      // PRODUCT_COMPONENT_VERSION's, "12.1.0.2.0"
    QString characterSet; // NLS_DATABASE_PARAMETERS' NLS_CHARACTERSET, "AL32UTF8"
    NameLimit limit;
};

// The longest name of a server of that version and character set: 30 bytes before 12.2 (and for
// a version that cannot be read), 128 from 12.2 on; a character set of 7 or 8 bits a character
// (US7ASCII, WE8MSWIN1252, CL8MSWIN1251) counts characters, any other the bytes of UTF-8.
NameLimit nameLimitOf(const QString& version, const QString& characterSet);

// Asks the server on the open connection. A catalogue view the server lacks, or lets the user
// not read, leaves its part empty.
ServerNaming readServerNaming(Connection& connection);

// readServerNaming on a connection of its own, signed on as given. Failures of the sign-on are
// RuntimeErrors carrying the driver's message.
ServerNaming readServerNaming(const QString& sid, const QString& user, const QString& password);

} // namespace dravena
