// Tables written by our writer, read back with pxlib (an independent reader). pxlib 0.6.8 reads
// blank Long, Date and Time values as -2147483648 and blank Number, Money and Timestamp values
// as 0, so blanks of those types are checked in the raw record bytes instead.

#include "WriterTestSupport.h"

#include "paradoxwriter/TableWriter.h"

#include <gtest/gtest.h>

using namespace dravena::paradox;
using writertest::PxTable;
using writertest::ScratchFolder;

namespace {

const Value null{};

std::vector<Field> everyNonBlobType() {
    return {{"Name", FieldType::Alpha, 20},  {"Qty", FieldType::Short, 0},
            {"Count", FieldType::Long, 0},   {"Ratio", FieldType::Number, 0},
            {"Price", FieldType::Money, 0},  {"Day", FieldType::Date, 0},
            {"At", FieldType::Time, 0},      {"Stamp", FieldType::Timestamp, 0},
            {"Paid", FieldType::Logical, 0}, {"Id", FieldType::AutoIncrement, 0},
            {"Amount", FieldType::Bcd, 2},   {"Code", FieldType::Bytes, 4}};
}

bool allZero(const std::vector<unsigned char>& record, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i)
        if (record[i] != 0)
            return false;
    return true;
}

} // namespace

TEST(WriterPxlib, EveryNonBlobTypeWithBlanksAndExtremes) {
    for (int version : {50, 70}) {
        SCOPED_TRACE("version " + std::to_string(version));
        ScratchFolder folder;
        const auto file = folder / "TYPES.DB";
        {
            WriterOptions options;
            options.version = version;
            TableWriter writer(file, everyNonBlobType(), options);
            writer.append({std::string("Müller & Söhne"), std::int64_t{-40}, std::int64_t{100000},
                           1.5, 13.25, Date{2018, 1, 1}, Time{1, 0, 1, 0},
                           Timestamp{{2020, 2, 1}, {1, 0, 1, 0}}, true, null, Decimal{"-1.23"},
                           Bytes{0x31, 0x00, 0x32, 0x00}});
            writer.append({std::string("x"), std::int64_t{32767}, std::int64_t{-2147483647}, -0.001,
                           0.0, Date{1, 1, 1}, Time{23, 59, 59, 999},
                           Timestamp{{9999, 12, 31}, {23, 59, 59, 999}}, false, std::int64_t{7},
                           Decimal{"0.00"}, Bytes{0xFF, 0xFF, 0xFF, 0xFF}});
            writer.append({null, null, null, null, null, null, null, null, null, null, null, null});
            writer.finish();
        }
        PxTable table(file);
        EXPECT_EQ(table.head().px_fileversion, version);
        EXPECT_EQ(table.head().px_filetype, 2);
        EXPECT_EQ(table.head().px_doscodepage, 1252);
        EXPECT_EQ(table.head().px_numrecords, 3);
        EXPECT_EQ(table.head().px_autoinc, 8);
        EXPECT_EQ(table.fieldNames(),
                  (std::vector<std::string>{"Name", "Qty", "Count", "Ratio", "Price", "Day", "At",
                                            "Stamp", "Paid", "Id", "Amount", "Code"}));
        ASSERT_EQ(table.records(), 3);
        EXPECT_EQ(table.row(0), (std::vector<std::string>{
                                    "Müller & Söhne", "-40", "100000", "1.5", "13.25", "736695",
                                    "3601000", "63716202001000", "1", "1", "-1.23", "31003200"}));
        EXPECT_EQ(table.row(1), (std::vector<std::string>{"x", "32767", "-2147483647", "-0.001",
                                                          "0", "1", "86399999", "315537983999999",
                                                          "0", "7", "0.00", "FFFFFFFF"}));
        const auto blanks = table.row(2);
        EXPECT_EQ(blanks[0], "NULL");
        EXPECT_EQ(blanks[1], "NULL");
        EXPECT_EQ(blanks[8], "NULL");
        EXPECT_EQ(blanks[9], "8"); // a blank Autoincrement gets the next number
        EXPECT_EQ(blanks[10], "NULL");
        EXPECT_EQ(blanks[11], "NULL");
        const auto raw = table.rawRecord(2);
        const std::size_t idOffset = 20 + 2 + 4 + 8 + 8 + 4 + 4 + 8 + 1;
        EXPECT_TRUE(allZero(raw, 0, idOffset));
        EXPECT_TRUE(allZero(raw, idOffset + 4, raw.size() - idOffset - 4));
        // Zero is a value, not a blank: Price 0.0 of the second row is stored.
        EXPECT_FALSE(allZero(table.rawRecord(1), 20 + 2 + 4 + 8, 8));
        EXPECT_EQ(table.errors(), "");
    }
}

TEST(WriterPxlib, EarlyLevelsKeepTheirLayoutAndDosText) {
    struct Case {
        int version;
        int codePage;
        int blockKiB;
        int sortOrder;
        std::string name;   // UTF-8
        std::string stored; // the same in the code page
    };
    const std::string cyrillic = "Привет";
    const std::string cyrillic866 = "\x8F\xE0\xA8\xA2\xA5\xE2";
    for (const Case& c : {Case{30, 866, 1, 0xC0, cyrillic, cyrillic866},
                          Case{35, 866, 2, 0xC0, cyrillic, cyrillic866},
                          Case{40, 866, 2, 0xC0, cyrillic, cyrillic866},
                          Case{35, 437, 4, 0x00, "Größe",
                               "Gr\x94\xE1"
                               "e"}}) {
        SCOPED_TRACE("version " + std::to_string(c.version) + " code page " +
                     std::to_string(c.codePage));
        ScratchFolder folder;
        const auto file = folder / "OLD.DB";
        {
            WriterOptions options;
            options.version = c.version;
            options.codePage = c.codePage;
            options.blockSizeKiB = c.blockKiB;
            TableWriter writer(file,
                               {{c.name, FieldType::Alpha, 12},
                                {"Amount", FieldType::Number, 0},
                                {"Fee", FieldType::Money, 0},
                                {"Born", FieldType::Date, 0},
                                {"Rank", FieldType::Short, 0}},
                               options);
            for (int i = 0; i < 100; ++i)
                writer.append({c.name, i * 0.5, -2.25, Date{1996, 5, 4}, std::int64_t{i - 50}});
        }
        PxTable table(file, nullptr); // raw bytes: pxlib has no code page for 3.x tables
        EXPECT_EQ(table.head().px_fileversion, c.version);
        EXPECT_EQ(static_cast<unsigned char>(table.head().px_sortorder), c.sortOrder);
        EXPECT_EQ(table.head().px_maxtablesize, c.blockKiB);
        if (c.version == 30) {
            EXPECT_LT(table.head().px_headersize, 1024); // the header ends after the names
        } else {
            EXPECT_EQ(table.head().px_headersize, 2048);
        }
        EXPECT_EQ(std::filesystem::file_size(file),
                  static_cast<std::uintmax_t>(table.head().px_headersize) +
                      table.head().px_fileblocks * 1024u * static_cast<unsigned>(c.blockKiB));
        EXPECT_EQ(table.fieldNames()[0], c.stored);
        ASSERT_EQ(table.records(), 100);
        EXPECT_EQ(table.row(99),
                  (std::vector<std::string>{c.stored, "49.5", "-2.25", "728783", "49"}));
        EXPECT_EQ(table.errors(), "");
    }
}

TEST(WriterPxlib, TextAndNamesInTheTableCodePage) {
    struct Case {
        int codePage;
        std::string text;
        std::string stored;
    };
    for (const Case& c : {Case{1252, "Größe 5 €",
                               "Gr\xF6\xDF"
                               "e 5 \x80"},
                          Case{850, "Größe",
                               "Gr\x94\xE1"
                               "e"},
                          Case{936, "中文字段", "\xD6\xD0\xCE\xC4\xD7\xD6\xB6\xCE"}}) {
        SCOPED_TRACE("code page " + std::to_string(c.codePage));
        ScratchFolder folder;
        const auto file = folder / "TEXT.DB";
        {
            WriterOptions options;
            options.codePage = c.codePage;
            TableWriter writer(file, {{c.text, FieldType::Alpha, 30}}, options);
            writer.append({c.text});
        }
        PxTable raw(file, nullptr);
        EXPECT_EQ(raw.head().px_doscodepage, c.codePage);
        EXPECT_EQ(raw.fieldNames()[0], c.stored);
        EXPECT_EQ(raw.row(0)[0], c.stored);
        PxTable decoded(file);
        EXPECT_EQ(decoded.row(0)[0], c.text);
        EXPECT_EQ(decoded.errors(), "");
    }
}

TEST(WriterPxlib, RowsFillManyBlocksInOrder) {
    ScratchFolder folder;
    const auto file = folder / "MANY.DB";
    constexpr int rows = 2000;
    {
        WriterOptions options;
        options.blockSizeKiB = 1;
        TableWriter writer(file, {{"Label", FieldType::Alpha, 20}, {"N", FieldType::Long, 0}},
                           options);
        for (int i = 0; i < rows; ++i)
            writer.append({std::string("row ") + std::to_string(i), std::int64_t{i}});
    }
    PxTable table(file);
    const int perBlock = (1024 - 6) / 24;
    EXPECT_EQ(table.head().px_fileblocks, static_cast<unsigned>((rows + perBlock - 1) / perBlock));
    EXPECT_EQ(table.head().px_lastblock, table.head().px_fileblocks);
    ASSERT_EQ(table.records(), rows);
    for (int i : {0, perBlock - 1, perBlock, perBlock + 1, rows / 2, rows - 1})
        EXPECT_EQ(table.row(i),
                  (std::vector<std::string>{"row " + std::to_string(i), std::to_string(i)}));
    EXPECT_EQ(table.errors(), "");
}

TEST(WriterPxlib, EmptyTableIsItsHeaderAlone) {
    ScratchFolder folder;
    const auto file = folder / "EMPTY.DB";
    TableWriter(file, {{"ID", FieldType::Long, 0}, {"Notes", FieldType::Memo, 20}}).finish();
    PxTable table(file);
    EXPECT_EQ(table.records(), 0);
    EXPECT_EQ(table.head().px_fileblocks, 0u);
    EXPECT_EQ(table.head().px_firstblock, 0u);
    EXPECT_EQ(std::filesystem::file_size(file), 2048u);
    EXPECT_EQ(table.fieldNames(), (std::vector<std::string>{"ID", "Notes"}));
    // A table with memo fields always has its memo file, even when nothing is in it.
    EXPECT_EQ(std::filesystem::file_size(folder / "EMPTY.MB"), 4096u);
    EXPECT_EQ(table.errors(), "");
}
