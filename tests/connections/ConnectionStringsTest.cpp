#include "connections/ConnectionStrings.h"
#include "connections/ConnectionString.h"

#include <gtest/gtest.h>

using namespace dravena;

TEST(OracleConnectionString, PutsTheThreeEntriesBetweenTheFixedPieces) {
    EXPECT_EQ(oracleConnectionString("ORCL", "scott", "tiger"),
              "Driver={Microsoft ODBC for Oracle};Server=ORCL;Uid=scott;Pwd=tiger;");
    // Empty entries leave nothing between the pieces.
    EXPECT_EQ(oracleConnectionString({}, {}, {}),
              "Driver={Microsoft ODBC for Oracle};Server=;Uid=;Pwd=;");
}

TEST(OracleConnectionString, InsertsEntriesVerbatim) {
    // Blanks are kept, ";" and braces are not quoted: the driver sees the string split there.
    const QString s = oracleConnectionString(" orcl ", "Sc{o}tt", "a;b=c");
    EXPECT_EQ(s, "Driver={Microsoft ODBC for Oracle};Server= orcl ;Uid=Sc{o}tt;Pwd=a;b=c;");
    EXPECT_EQ(connectionStringValue(s, "Pwd"), "a");
    EXPECT_EQ(connectionStringValue(s, "b"), "c");
    EXPECT_FALSE(isParadoxConnectionString(s));
    // A socket folder as SID stays a path.
    EXPECT_EQ(connectionStringValue(oracleConnectionString("/tmp/db/socket", "u", "p"), "Server"),
              "/tmp/db/socket");
}

TEST(ParadoxConnectionString, NamesTheFolderTwiceAsTyped) {
    EXPECT_EQ(paradoxConnectionString("/data/px"),
              "Driver={Microsoft Paradox Driver (*.db )};DriverID=538;Fil=Paradox 5.X;"
              "DefaultDir=/data/px;Dbq=/data/px;CollatingSequence=ASCII;");
    // A trailing separator is neither added nor removed.
    const QString trailing = paradoxConnectionString("/data/px/");
    EXPECT_EQ(connectionStringValue(trailing, "DefaultDir"), "/data/px/");
    EXPECT_EQ(connectionStringValue(trailing, "Dbq"), "/data/px/");
    EXPECT_EQ(paradoxConnectionString({}),
              "Driver={Microsoft Paradox Driver (*.db )};DriverID=538;Fil=Paradox 5.X;"
              "DefaultDir=;Dbq=;CollatingSequence=ASCII;");
}

TEST(ParadoxConnectionString, SelectsTheBuiltInEngine) {
    // The blank before ")" in the driver name must survive, or the dispatcher sends it to ODBC.
    EXPECT_TRUE(isParadoxConnectionString(paradoxConnectionString("/data/My Tables")));
    EXPECT_EQ(connectionStringValue(paradoxConnectionString("/data/My Tables"), "DefaultDir"),
              "/data/My Tables");
}
