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
    EXPECT_EQ(generateTableStatements(recordset, *connection, QStringLiteral("KUNDEN"), NameLimit{},
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

// A memo column is NCLOB only when a memo holds more than 2,000 characters: decided from the
// lengths the records tell where they settle it, from the text where they do not (a memo of more
// than 2,000 bytes in a code page of two bytes per character may hold no more characters).
TEST(WrittenTableStatements, MemosOfMoreThan2000CharactersMakeTheirColumnNclob) {
    std::string wide2000; // 2,000 characters of two bytes each in code page 936
    for (int i = 0; i < 2000; ++i)
        wide2000 += "\u4E2D";
    const std::string narrow2000(2000, 'x');
    const struct {
        const char* name;
        std::vector<Value> memos; // one per row
        const char* column;
    } cases[] = {
        {"Narrow2000", {Value{narrow2000}, Value{std::string("a")}}, "NVARCHAR2(2000)"},
        {"Narrow2001", {Value{std::string("a")}, Value{narrow2000 + "y"}}, "NCLOB"},
        {"Wide2000", {Value{wide2000}, Value{}}, "NVARCHAR2(2000)"},
        {"Wide2001", {Value{}, Value{wide2000 + "\u4E2D"}}, "NCLOB"},
        {"WideThenNarrow", {Value{wide2000}, Value{narrow2000 + "y"}}, "NCLOB"},
    };
    QTemporaryDir dir;
    {
        std::vector<paradox::Field> fields;
        for (const auto& c : cases)
            fields.push_back({c.name, FieldType::Memo, 20});
        paradox::WriterOptions options;
        options.codePage = 936;
        paradox::TableWriter writer(
            QFile::encodeName(dir.filePath(QStringLiteral("Notes.db"))).toStdString(), fields,
            options);
        for (std::size_t row = 0; row < 2; ++row) {
            std::vector<Value> values;
            for (const auto& c : cases)
                values.push_back(c.memos[row]);
            writer.append(values);
        }
        writer.finish();
    }
    const auto connection = makeParadoxConnection();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(paradoxConnectionString(dir.path()));
    Recordset recordset;
    std::vector<QString> statements;
    generateTableStatements(recordset, *connection, QStringLiteral("NOTES"), NameLimit{},
                            [&](const QString& s) { statements.push_back(s); });
    ASSERT_FALSE(statements.empty());
    for (const auto& c : cases)
        EXPECT_TRUE(statements[0].contains(QStringLiteral("\"%1\" %2").arg(c.name, c.column)))
            << c.name << ": " << statements[0].toStdString();
}

} // namespace
} // namespace dravena
