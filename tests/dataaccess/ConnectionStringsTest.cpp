#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/ConnectionString.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace dravena;

TEST(OracleConnectionString, PutsTheThreeEntriesBetweenTheFixedPieces) {
    EXPECT_EQ(oracleConnectionString("ORCL", "scott", "tiger"),
              "Driver={Microsoft ODBC for Oracle};Server=ORCL;Uid=scott;Pwd=tiger;");
    // Empty entries leave nothing between the pieces.
    EXPECT_EQ(oracleConnectionString({}, {}, {}),
              "Driver={Microsoft ODBC for Oracle};Server=;Uid=;Pwd=;");
}

TEST(OracleConnectionString, BracesOnlyWhatWouldOtherwiseBeReadAsMoreKeys) {
    // Blanks are kept and ordinary texts go in verbatim, braces inside included.
    EXPECT_EQ(oracleConnectionString(" orcl ", "Sc{o}tt", "a=b"),
              "Driver={Microsoft ODBC for Oracle};Server= orcl ;Uid=Sc{o}tt;Pwd=a=b;");
    // ";" or a leading "{" puts the value in braces, each "}" doubled.
    EXPECT_EQ(oracleConnectionString("db;1", "{u}", "x;Driver={nonexistent SECRET}"),
              "Driver={Microsoft ODBC for Oracle};Server={db;1};Uid={{u}}};"
              "Pwd={x;Driver={nonexistent SECRET}}};");
    // A socket folder as SID stays a path.
    EXPECT_EQ(connectionStringValue(oracleConnectionString("/tmp/db/socket", "u", "p"), "Server"),
              "/tmp/db/socket");
}

TEST(ConnectionStringValue, EveryEntryComesBackAsTypedAndAddsNoKey) {
    const QStringList awkward = {"plain",   "",  " blank ",      "a;b=c", "{br}",    "}", "{", "}}",
                                 "a}b;c{d", ";", "x;Driver={y}", "Pwd=z", "ünïcödé;"};
    for (const QString& text : awkward) {
        SCOPED_TRACE(text.toStdString());
        const QString oracle = oracleConnectionString(text, "scott", text);
        EXPECT_EQ(connectionStringValue(oracle, "Server"), text);
        EXPECT_EQ(connectionStringValue(oracle, "Uid"), "scott");
        EXPECT_EQ(connectionStringValue(oracle, "Pwd"), text);
        EXPECT_EQ(connectionStringValue(oracle, "Driver"), "Microsoft ODBC for Oracle");
        const QString paradox = paradoxConnectionString(text);
        EXPECT_EQ(connectionStringValue(paradox, "DefaultDir"), text);
        EXPECT_EQ(connectionStringValue(paradox, "Dbq"), text);
        EXPECT_EQ(connectionStringValue(paradox, "CollatingSequence"), "ASCII");
        EXPECT_TRUE(isParadoxConnectionString(paradox));
    }
}

TEST(ParadoxConnectionString, NamesTheFolderTwiceAsTyped) {
    EXPECT_EQ(paradoxConnectionString("/tmp/r/data;old"),
              "Driver={Microsoft Paradox Driver (*.db )};DriverID=538;Fil=Paradox 5.X;"
              "DefaultDir={/tmp/r/data;old};Dbq={/tmp/r/data;old};CollatingSequence=ASCII;");
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
