#include "dataaccess/DataAccess.h"
#include "odbc/OdbcConnection.h"

#include <gtest/gtest.h>

// Before a server connection opens, the Oracle client is set to UTF-8 and "." unless the user
// chose otherwise (an empty value is a choice too); the connection need not succeed.
TEST(OracleClientSettings, SetWhenUnsetAndKeptWhenSet) {
    struct Case {
        const char* lang;              // nullptr: unset
        const char* numericCharacters; // nullptr: unset
        const char* expectedLang;
        const char* expectedCharacters;
    };
    const Case cases[] = {
        {nullptr, nullptr, "AMERICAN_AMERICA.AL32UTF8", ".,"},
        {"GERMAN_GERMANY.WE8MSWIN1252", nullptr, "GERMAN_GERMANY.WE8MSWIN1252", ".,"},
        {"", ",.", "", ",."},
    };
    for (const Case& c : cases) {
        c.lang ? qputenv("NLS_LANG", c.lang) : qunsetenv("NLS_LANG");
        c.numericCharacters ? qputenv("NLS_NUMERIC_CHARACTERS", c.numericCharacters)
                            : qunsetenv("NLS_NUMERIC_CHARACTERS");
        const auto connection = dravena::makeOdbcConnection();
        EXPECT_ANY_THROW(connection->open(
            QStringLiteral("Driver={No Such Driver Anywhere};Server=x;Uid=u;Pwd=p;")));
        EXPECT_EQ(qgetenv("NLS_LANG"), QByteArray(c.expectedLang));
        EXPECT_EQ(qgetenv("NLS_NUMERIC_CHARACTERS"), QByteArray(c.expectedCharacters));
    }
}
