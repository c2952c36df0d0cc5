#include "schema/TableStatements.h"

#include "dataaccess/ConnectionStrings.h"
#include "drivers/ParadoxConnection.h"
#include "paradoxwriter/TableWriter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace dravena {
namespace {

using paradox::FieldType;

// From a table file on disk to the statement texts, through the Paradox connection.
TEST(WrittenTableStatements, FileToStatementsExactly) {
    QTemporaryDir dir;
    {
        paradox::TableWriter writer(
            QFile::encodeName(dir.filePath(QStringLiteral("Kunden.db"))).toStdString(),
            {{"Nr", FieldType::AutoIncrement, 4},
             {"Name", FieldType::Alpha, 20},
             {"O'Kurs", FieldType::Number, 8},
             {"Betrag", FieldType::Bcd, 2},
             {"Seit", FieldType::Date, 4},
             {"Kürzel", FieldType::Bytes, 2},
             {"Aktiv", FieldType::Logical, 1}});
        writer.append({Value{}, std::string("O'Brien"), 1.5, paradox::Decimal{"-3.10"},
                       paradox::Date{2001, 9, 30}, paradox::Bytes{0x0F, 0xA0}, true});
        writer.append({Value{}, std::string(), Value{}, Value{}, Value{}, Value{}, false});
        writer.finish();
    }
    const auto connection = makeParadoxConnection();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(paradoxConnectionString(dir.path()));
    Recordset recordset;
    std::vector<QString> statements;
    EXPECT_EQ(generateTableStatements(recordset, *connection, QStringLiteral("KUNDEN"),
                                      [&](const QString& s) { statements.push_back(s); }),
              2);
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(statements[0],
              QStringLiteral("CREATE TABLE \"KUNDEN\"(\"Nr\" INT,\"Name\" NVARCHAR2(2000),"
                             "\"O'Kurs\" FLOAT,\"Betrag\" DECIMAL(32,2),\"Seit\" NVARCHAR2(2000),"
                             "\"Kürzel\" NVARCHAR2(2000),\"Aktiv\" NVARCHAR2(2000))"));
    EXPECT_EQ(statements[1], QStringLiteral("INSERT INTO \"KUNDEN\" VALUES('1', 'O''Brien', '1.5', "
                                            "'-3.10', '2001-09-30', '0FA0', 'True')"));
    EXPECT_EQ(statements[2], QStringLiteral("INSERT INTO \"KUNDEN\" VALUES('2', NULL, NULL, NULL, "
                                            "NULL, NULL, 'False')"));
}

} // namespace
} // namespace dravena
