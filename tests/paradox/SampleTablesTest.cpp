// Reading the real sample tables; expected values are facts recorded about these files.
#include "ReadTable.h"
#include "TableImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace dravena::paradox::testing {
namespace {

using Row = std::vector<Value>;

std::vector<Value> column(const TableContents& t, std::size_t field) {
    std::vector<Value> out;
    for (const auto& row : t.rows) {
        out.push_back(row.at(field));
    }
    return out;
}

const Bytes& bytesOf(const Value& v) {
    return std::get<Bytes>(v);
}

std::size_t utf8Characters(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) {
        n += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

struct LevelCase {
    const char* file;
    int version;
    int codePage;
    std::uint64_t records;
    std::vector<std::pair<const char*, FieldType>> fields;
};

TEST_F(SampleTableTest, HeadersOfEveryLevelGiveFieldsAndCounts) {
    const std::vector<LevelCase> cases = {
        {"fields/date35.db", 35, 0, 3, {{"DATE", FieldType::Date}}},
        {"fields/date4.db", 40, 850, 3, {{"DATE", FieldType::Date}}},
        {"fields/date7.db", 50, 850, 5, {{"DATE", FieldType::Date}, {"TIME", FieldType::Time}}},
        {"extdata/country.db",
         40,
         850,
         18,
         {{"Name", FieldType::Alpha},
          {"Capital", FieldType::Alpha},
          {"Continent", FieldType::Alpha},
          {"Area", FieldType::Number},
          {"Population", FieldType::Number}}},
        {"extdata/empty.db",
         70,
         1252,
         0,
         {{"ID", FieldType::Long},
          {"ScientificName", FieldType::Alpha},
          {"CommonName", FieldType::Alpha},
          {"Order", FieldType::Alpha},
          {"Genus", FieldType::Alpha},
          {"Notes", FieldType::Memo},
          {"Picture", FieldType::Graphic}}},
        {"extdata/TypSammlung.DB",
         70,
         1252,
         5,
         {{"Alpha", FieldType::Alpha},
          {"Numerisch", FieldType::Number},
          {"Währung", FieldType::Money},
          {"Integer kurz", FieldType::Short},
          {"Integer lang", FieldType::Long},
          {"BCD", FieldType::Bcd},
          {"Datum", FieldType::Date},
          {"Zeit", FieldType::Time},
          {"Datum/Zeit", FieldType::Timestamp},
          {"Memo", FieldType::Memo},
          {"Logisch", FieldType::Logical},
          {"Zähler", FieldType::AutoIncrement},
          {"Binär", FieldType::Blob},
          {"Bytes", FieldType::Bytes}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const TableContents t = readTable(sample(c.file));
        EXPECT_EQ(t.info.version, c.version);
        EXPECT_EQ(t.info.codePage, c.codePage);
        EXPECT_FALSE(t.info.encrypted);
        EXPECT_EQ(t.announced, c.records);
        EXPECT_EQ(t.rows.size(), c.records);
        ASSERT_EQ(t.fields.size(), c.fields.size());
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(t.fields[i].name, c.fields[i].first);
            EXPECT_EQ(t.fields[i].type, c.fields[i].second);
        }
        if (c.version != 70 || c.records == 0) {
            EXPECT_TRUE(t.warnings.empty()) << t.warnings.front();
        }
    }
}

TEST_F(SampleTableTest, EveryNonBlobTypeWithBlanksAndZerosSideBySide) {
    const TableContents t = readTable(sample("extdata/TypSammlung.DB"));
    ASSERT_EQ(t.rows.size(), 5u);
    EXPECT_EQ(t.fields[5].size, 6); // BCD: decimal places
    const auto first = [&](std::size_t r) {
        return Row(t.rows[r].begin(), t.rows[r].begin() + 12);
    };

    EXPECT_EQ(first(0), (Row{text("AAA Irgendein Text"), number(40), number(40), integer(40),
                             integer(40), decimal("40.000000"), date(1970, 1, 1), time(0, 0, 0),
                             stamp(1970, 1, 1, 11, 0, 0), null(), null(), integer(1)}));
    EXPECT_EQ(first(1), (Row{text("Erste Zeile"), number(23), null(), null(), null(), null(),
                             null(), null(), null(), null(), Value(false), integer(3)}));
    // Zero is a value, not a blank.
    EXPECT_EQ(first(3),
              (Row{text("Null-Werte"), number(0), number(0), integer(0), integer(0),
                   decimal("0.000000"), null(), null(), null(), null(), null(), integer(4)}));
    EXPECT_EQ(first(4),
              (Row{text("Zweite Zeile"), number(-40), number(-40), integer(-40), integer(-40),
                   decimal("-40.000000"), date(1999, 9, 9), time(11, 11, 11),
                   stamp(2003, 6, 10, 11, 11, 11), null(), Value(true), integer(2)}));

    // Day -366 lies before year 1: delivered as it is (astronomical year -1), with a warning.
    const Row& fifth = t.rows[2];
    EXPECT_EQ(fifth[1], number(1.34));
    EXPECT_EQ(fifth[2], number(13.002));
    EXPECT_EQ(fifth[5], decimal("13.123457"));
    EXPECT_EQ(fifth[6], date(-1, 12, 31));
    EXPECT_EQ(fifth[7], time(1, 10, 12));
    EXPECT_EQ(fifth[8], stamp(-1, 12, 31, 1, 0, 0));
    // The warning says what was written; a value read in another form is not a value lost.
    EXPECT_TRUE(hasWarningContaining(t.warnings, "outside the years 1 to 9999; they are read and "
                                                 "written with their year as it stands (first in "
                                                 "row 3: -0001-12-31)"));
    EXPECT_FALSE(t.valuesLost);

    // The 40-byte memo of the fifth row lives in the .MB file; the text is code page 1252.
    const auto& memo = std::get<std::string>(fifth[9]);
    EXPECT_EQ(utf8Characters(memo), 40u);
    EXPECT_NE(memo.find("Fünften"), std::string::npos);

    for (const auto& row : t.rows) {
        EXPECT_EQ(row[12], null()); // BLOB
        EXPECT_EQ(row[13], null()); // Bytes
    }
}

TEST_F(SampleTableTest, DatesAndTimesAcrossLevels) {
    const std::vector<Value> dates = {date(2018, 1, 1), date(2018, 2, 1), date(2018, 1, 2)};
    EXPECT_EQ(column(readTable(sample("fields/date35.db")), 0), dates);
    EXPECT_EQ(column(readTable(sample("fields/date4.db")), 0), dates);

    const TableContents t = readTable(sample("fields/date7.db"));
    EXPECT_EQ(column(t, 0), (std::vector<Value>{date(2018, 1, 1), date(2018, 2, 1),
                                                date(2018, 1, 2), null(), date(2018, 1, 1)}));
    EXPECT_EQ(column(t, 1), (std::vector<Value>{time(10, 0, 0), time(10, 30, 0), time(9, 25, 25),
                                                time(10, 0, 0), null()}));

    EXPECT_EQ(column(readTable(sample("fields/time.db")), 0),
              (std::vector<Value>{time(1, 0, 1), null(), time(3, 0, 3)}));
    EXPECT_EQ(column(readTable(sample("fields/timestamp.db")), 0),
              (std::vector<Value>{null(), stamp(2020, 2, 1, 1, 0, 1)}));
}

TEST_F(SampleTableTest, BcdKeepsEveryDigitAndStopsAtJunkNibbles) {
    const TableContents t = readTable(sample("fields/bcd.db"));
    EXPECT_EQ(column(t, 0),
              (std::vector<Value>{decimal("1.23"), decimal("-1.23"), decimal("0.00")}));
    EXPECT_EQ(column(t, 1), (std::vector<Value>{decimal("1"), decimal("-1"), null()}));
    // Stored digits 122, fourteen 9s, 8, 0, then the junk nibble B.
    const std::string digits = "122" + std::string(14, '9') + "80" + std::string(13, '0');
    const std::string zeros12(12, '0');
    EXPECT_EQ(column(t, 2), (std::vector<Value>{
                                decimal(("0." + digits).c_str()), decimal(("-0." + digits).c_str()),
                                decimal(("0.99990000000000001180" + zeros12).c_str())}));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "beyond the precision"));
}

TEST_F(SampleTableTest, LogicalLongAutoincrementAndBytes) {
    EXPECT_EQ(column(readTable(sample("fields/logical.db")), 0),
              (std::vector<Value>{Value(true), Value(false), Value(true), Value(true)}));

    const TableContents longs = readTable(sample("fields/long.db"));
    EXPECT_EQ(longs.info.keyFields, 1);
    EXPECT_EQ(longs.rows,
              (std::vector<Row>{
                  {integer(1), integer(1)}, {integer(2), integer(2)}, {integer(3), null()}}));

    const TableContents bytes = readTable(sample("fields/bytes.db"));
    ASSERT_EQ(bytes.rows.size(), 1u);
    const Bytes& b = bytesOf(bytes.rows[0][0]);
    ASSERT_EQ(b.size(), 255u); // trailing zeros belong to the value
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 7), (Bytes{0x31, 0, 0x32, 0, 0x33, 0, 0}));
}

TEST_F(SampleTableTest, MemosInTheRecordAndInSubAllocatedBlocks) {
    const TableContents t = readTable(sample("fields/memo.db"));
    ASSERT_EQ(t.rows.size(), 2u);
    const auto& longMemo = std::get<std::string>(t.rows[0][1]);
    EXPECT_EQ(longMemo.size(), 555u);
    EXPECT_EQ(longMemo.substr(0, 11), "01234567890");
    EXPECT_EQ(t.rows[1][1], text("01234567890\n"));
    EXPECT_TRUE(t.info.hasMemoFile);

    const TableContents f = readTable(sample("fields/fmemo.db"));
    ASSERT_EQ(f.rows.size(), 2u);
    const Bytes& formatted = bytesOf(f.rows[0][1]);
    ASSERT_EQ(formatted.size(), 169u);
    EXPECT_EQ(bytesOf(f.rows[1][1]).size(), 726u);
    EXPECT_EQ(formatted[0], 7); // u32 7, then the text at byte 44
    EXPECT_EQ(std::string(formatted.begin() + 44, formatted.begin() + 47), "123");
}

TEST_F(SampleTableTest, GraphicsLoseTheirPrefixAndLargeValuesComeWhole) {
    const auto checkBitmap = [](const Value& v, std::size_t size) {
        const Bytes& b = bytesOf(v);
        ASSERT_EQ(b.size(), size);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        // The bitmap's own size field agrees with the length we return.
        const std::uint32_t own = b[2] | (b[3] << 8) | (b[4] << 16) | (std::uint32_t{b[5]} << 24);
        EXPECT_EQ(own, size);
    };
    const TableContents g = readTable(sample("fields/graphic.db"));
    ASSERT_EQ(g.rows.size(), 3u);
    checkBitmap(g.rows[0][1], 20078);
    checkBitmap(g.rows[1][1], 9618);
    checkBitmap(g.rows[2][1], 2074678);
    EXPECT_EQ(column(g, 2), (std::vector<Value>{text("GIF"), text("BMP"), null()}));

    // The 240-byte leader in the record holds the first bytes of the image itself.
    const TableContents g240 = readTable(sample("fields/graphic240.db"));
    ASSERT_EQ(g240.rows.size(), 1u);
    checkBitmap(g240.rows[0][1], 20078);
    const ByteVector db = readFile(sample("fields/graphic240.db"));
    const Bytes& image = bytesOf(g240.rows[0][1]);
    EXPECT_EQ(std::memcmp(&db[2048 + 6 + 4], image.data(), 240), 0);

    const TableContents ole = readTable(sample("fields/ole.db"));
    ASSERT_EQ(ole.rows.size(), 1u);
    EXPECT_EQ(bytesOf(ole.rows[0][1]).size(), 365928u);

    const TableContents bio = readTable(sample("extdata/biolife.db"));
    for (const auto& row : bio.rows) {
        checkBitmap(row[7], 38878);
        EXPECT_FALSE(std::get<std::string>(row[6]).empty());
    }
}

TEST_F(SampleTableTest, FreeBlocksWithStaleRowsAreNotRead) {
    // Chain 1-2-3 with 11 + 11 + 6 rows; block 4 is free and still full of old rows.
    const TableContents t = readTable(sample("extdata/biolife.db"));
    EXPECT_EQ(t.announced, 28u);
    ASSERT_EQ(t.rows.size(), 28u);
    EXPECT_EQ(t.rows[0][0], number(90020));
    EXPECT_EQ(t.rows[0][1], text("Triggerfish"));
    EXPECT_TRUE(t.warnings.empty());
}

TEST_F(SampleTableTest, TextIsConvertedFromTheTablesCodePage) {
    const TableContents country = readTable(sample("extdata/country.db"));
    EXPECT_EQ(country.info.encoding, "CP850");
    ASSERT_FALSE(country.rows.empty());
    EXPECT_EQ(country.rows[0], (Row{text("Argentina"), text("Buenos Aires"), text("South America"),
                                    number(2777815), number(32300003)}));

    // A 3.5 table names no code page; its sort order (cyrr) says the text is CP866.
    const TableContents of = readTable(sample("extdata/of.db"));
    EXPECT_EQ(of.info.codePage, 0);
    EXPECT_EQ(of.info.encoding, "CP866");
    EXPECT_TRUE(of.info.encodingGuessed);
    EXPECT_EQ(of.rows.size(), 2197u);
    ASSERT_EQ(of.fields.size(), 19u);
    EXPECT_EQ(of.fields[0].name, "Инвентарный номер");
    EXPECT_EQ(of.rows[0][3], text("АП-Т УЗТ-ПЕРЕНОСНОЙ"));

    // The user can name another code page: CP1251 reads the same bytes as other letters.
    ReaderOptions options;
    options.codePage = 1251;
    const TableContents wrong = readTable(sample("extdata/of.db"), options);
    EXPECT_EQ(wrong.info.encoding, "CP1251");
    EXPECT_NE(wrong.fields[0].name, of.fields[0].name);
}

TEST_F(SampleTableTest, MissingMemoFileCostsOnlyTheValuesStoredThere) {
    TempDir dir;
    std::filesystem::copy_file(sample("fields/memo.db"), dir / "memo.db");
    const TableContents t = readTable(dir / "memo.db");
    EXPECT_FALSE(t.info.hasMemoFile);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0], (Row{integer(1), null()}));
    EXPECT_EQ(t.rows[1], (Row{integer(2), text("01234567890\n")}));
    EXPECT_TRUE(hasWarningContaining(t.warnings, ".MB"));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "read as NULL"));
    EXPECT_TRUE(t.valuesLost);
}

} // namespace
} // namespace dravena::paradox::testing
