// Tables written by our writer and read back by our reader: every value comes back as written,
// memo and BLOB values wherever the writer put them (record, shared block, own block).

#include "WriterTestSupport.h"

#include "paradox/CharacterSet.h"
#include "paradox/TableReader.h"
#include "paradoxwriter/TableWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

using namespace dravena::paradox;
using writertest::ScratchFolder;

namespace {

const Value null{};

std::vector<std::vector<Value>> readAll(const std::filesystem::path& file,
                                        std::vector<std::string>* warnings = nullptr) {
    TableReader reader(file);
    std::vector<std::vector<Value>> rows;
    std::vector<Value> row;
    while (reader.next(row))
        rows.push_back(row);
    EXPECT_EQ(reader.recordCount(), rows.size());
    if (warnings != nullptr)
        *warnings = reader.warnings();
    else
        EXPECT_TRUE(reader.warnings().empty()) << reader.warnings().front();
    return rows;
}

Bytes pattern(std::size_t size, unsigned seed) {
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<std::uint8_t>((i * 31 + seed * 7 + (i >> 8)) & 0xFF);
    return out;
}

std::string text(std::size_t size, unsigned seed) {
    static const std::string words = "Lorem ipsum dolor sit amet, Größe über \r\nnächste Zeile ";
    std::string out;
    // Built from whole words so that multi-byte characters are never cut.
    while (out.size() < size)
        out += words.substr(seed % 7);
    std::size_t cut = size;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
        --cut;
    out.resize(cut);
    return out;
}

} // namespace

TEST(WriterRoundTrip, EveryTypeAndBlankComesBack) {
    ScratchFolder folder;
    const auto file = folder / "ALLTYPES.DB";
    const std::vector<Field> fields{
        {"Name", FieldType::Alpha, 30},
        {"Qty", FieldType::Short, 2},
        {"Count", FieldType::Long, 4},
        {"Ratio", FieldType::Number, 8},
        {"Price", FieldType::Money, 8},
        {"Day", FieldType::Date, 4},
        {"At", FieldType::Time, 4},
        {"Stamp", FieldType::Timestamp, 8},
        {"Paid", FieldType::Logical, 1},
        {"Id", FieldType::AutoIncrement, 4},
        {"Amount", FieldType::Bcd, 4},
        {"Code", FieldType::Bytes, 6},
        {"Notes", FieldType::Memo, 30},
        {"Data", FieldType::Blob, 10},
        {"Rich", FieldType::FormattedMemo, 10},
        {"Object", FieldType::Ole, 14},
        {"Picture", FieldType::Graphic, 20},
    };
    const std::vector<std::vector<Value>> rows{
        {std::string("Ärger mit €uro  "), std::int64_t{-32767}, std::int64_t{2147483647}, 0.1 + 0.2,
         0.16999999999999998, Date{-5, 3, 1}, Time{0, 0, 0, 0}, Timestamp{{1, 1, 1}, {0, 0, 0, 1}},
         false, std::int64_t{41}, Decimal{"-9876.5432"}, Bytes{0, 0, 0, 0, 0, 1},
         std::string("short memo"), pattern(5, 1), pattern(10, 2), pattern(2048, 3),
         pattern(12, 4)},
        {std::string("B"), std::int64_t{0}, std::int64_t{0}, -0.0, 0.0, Date{9999, 12, 31},
         Time{23, 59, 59, 999}, Timestamp{{2020, 2, 29}, {12, 30, 15, 250}}, true, null,
         Decimal{"0.0000"}, Bytes{1, 2, 3, 4, 5, 6}, text(2000, 1), pattern(2049, 5),
         pattern(100000, 6), pattern(11, 7), pattern(20078, 8)},
        {null, null, null, null, null, null, null, null, null, null, null, null, null, null, null,
         null, null},
    };
    {
        TableWriter writer(file, fields);
        for (const auto& row : rows)
            writer.append(row);
        writer.finish();
    }
    TableReader reader(file);
    EXPECT_EQ(reader.info().version, 70);
    EXPECT_EQ(reader.info().codePage, 1252);
    EXPECT_TRUE(reader.info().hasMemoFile);
    ASSERT_EQ(reader.fields().size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(reader.fields()[i].name, fields[i].name);
        EXPECT_EQ(reader.fields()[i].type, fields[i].type);
        EXPECT_EQ(reader.fields()[i].size, fields[i].size);
    }
    auto expected = rows;
    expected[1][9] = std::int64_t{42}; // the blank Autoincrement got the next number
    expected[2][9] = std::int64_t{43};
    std::vector<std::string> warnings;
    EXPECT_EQ(readAll(file, &warnings), expected);
    // A date before year 1 is stored as given; the reader delivers it and says so.
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("\"Day\""), std::string::npos);
}

TEST(WriterRoundTrip, MemoLengthsAroundEveryStorageBoundary) {
    ScratchFolder folder;
    const auto file = folder / "MEMOS.DB";
    // Leader 10 bytes; shared blocks hold up to 2048 bytes in 16-byte units and 64 slots;
    // longer values get a block of their own of 4 KiB units (9 bytes of which are its head).
    const std::vector<std::size_t> lengths{0,    1,  9,   10,   11,   15,   16,   17,   31,
                                           32,   33, 300, 2047, 2048, 2049, 4087, 4088, 8183,
                                           8184, 3,  4,   5,    6,    7,    8,    12,   13};
    std::vector<std::vector<Value>> rows;
    for (int round = 0; round < 12; ++round) {
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            const auto n = lengths[(i + static_cast<std::size_t>(round)) % lengths.size()];
            const auto seed = static_cast<unsigned>(rows.size());
            rows.push_back({std::int64_t(rows.size()),
                            n == 0 ? null : Value{std::string(text(n, seed))},
                            n == 0 ? null : Value{pattern(n, seed)}});
        }
    }
    // Many short values in a row use up the 64 slots of shared blocks before their space.
    for (int i = 0; i < 150; ++i) {
        const auto seed = static_cast<unsigned>(rows.size());
        rows.push_back(
            {std::int64_t(rows.size()), Value{text(11, seed)}, Value{pattern(11, seed)}});
    }
    {
        WriterOptions options;
        options.version = 40;
        options.codePage = 850;
        options.blockSizeKiB = 1;
        TableWriter writer(file,
                           {{"No", FieldType::Short, 2},
                            {"Text", FieldType::Memo, 20},
                            {"Raw", FieldType::Blob, 20}},
                           options);
        for (const auto& row : rows)
            writer.append(row);
    }
    EXPECT_EQ(readAll(file), rows);
    // The memo file is made of whole 4 KiB blocks.
    EXPECT_EQ(std::filesystem::file_size(folder / "MEMOS.MB") % 4096, 0u);
}

TEST(WriterRoundTrip, EveryLevelAndBlockSize) {
    struct Case {
        int version;
        int codePage;
        int blockKiB;
        std::string name;
    };
    for (const Case& c :
         {Case{30, 866, 1, "Город"}, Case{35, 850, 4, "Größe"}, Case{40, 437, 2, "Ærå"},
          Case{50, 1251, 16, "Город"}, Case{70, 936, 32, "城市"}, Case{70, 1252, 3, "Ville"}}) {
        SCOPED_TRACE("version " + std::to_string(c.version));
        ScratchFolder folder;
        const auto file = folder / "LEVEL.DB";
        const std::vector<Field> fields{{c.name, FieldType::Alpha, 40},
                                        {"Amount", FieldType::Number, 8},
                                        {"Fee", FieldType::Money, 8},
                                        {"Born", FieldType::Date, 4},
                                        {"Rank", FieldType::Short, 2}};
        std::vector<std::vector<Value>> rows;
        for (int i = 0; i < 3000; ++i)
            rows.push_back({c.name + " " + std::to_string(i), i / 8.0, i * -0.01,
                            Date{1900 + i % 200, 1 + i % 12, 1 + i % 28}, std::int64_t{i % 30000}});
        {
            WriterOptions options;
            options.version = c.version;
            options.codePage = c.codePage;
            options.blockSizeKiB = c.blockKiB;
            TableWriter writer(file, fields, options);
            for (const auto& row : rows)
                writer.append(row);
        }
        TableReader reader(file);
        EXPECT_EQ(reader.info().version, c.version);
        EXPECT_EQ(reader.fields()[0].name, c.name);
        EXPECT_EQ(readAll(file), rows);
    }
}

TEST(WriterRoundTrip, EmptyTables) {
    ScratchFolder folder;
    TableWriter(folder / "E1.DB", {{"A", FieldType::Alpha, 5}}).finish();
    TableWriter(folder / "E2.DB", {{"M", FieldType::Memo, 11}, {"G", FieldType::Graphic, 10}})
        .finish();
    for (const char* name : {"E1.DB", "E2.DB"}) {
        TableReader reader(folder / name);
        EXPECT_EQ(reader.recordCount(), 0u);
        std::vector<Value> row;
        EXPECT_FALSE(reader.next(row));
        EXPECT_TRUE(reader.warnings().empty());
    }
}

// A table whose header names CP1252 while its text was written in CP866 ("Бор" is 81 AE E0; 0x81
// has no character in CP1252): read as the header says, the value is not read exactly and the
// reading says so for its field; read in the code page chosen for the run or for the table, it
// comes back as written. A choice for another table changes nothing.
TEST(WriterRoundTrip, TextInAnotherCodePageThanTheHeaderNames) {
    ScratchFolder folder;
    const auto file = folder / "Mixed.db";
    {
        WriterOptions options;
        options.codePage = 866;
        TableWriter writer(file, {{"Id", FieldType::Short, 2}, {"Word", FieldType::Alpha, 10}},
                           options);
        writer.append({std::int64_t{1}, std::string("Бор")});
        writer.append({std::int64_t{2}, std::string("Bor")});
        writer.finish();
    }
    {
        std::FILE* f = std::fopen(file.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        const unsigned char cp1252[2] = {0xE4, 0x04};
        std::fseek(f, 0x6A, SEEK_SET);
        std::fwrite(cp1252, 1, 2, f);
        std::fclose(f);
    }
    struct Case {
        const char* what;
        std::string all;
        std::map<std::string, std::string> byTable;
        std::string encoding;
        bool lost;
    };
    const std::vector<Case> cases{
        {"the header's code page", "", {}, "CP1252", true},
        {"one for the run", "CP866", {}, "CP866", false},
        {"one for the table", "CP1252", {{"MIXED", "cp866"}}, "cp866", false},
        {"one for another table", "", {{"OTHER", "CP866"}}, "CP1252", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        chooseCharacterSets(c.all, c.byTable);
        TableReader reader(file);
        std::vector<std::vector<Value>> rows;
        for (std::vector<Value> row; reader.next(row);)
            rows.push_back(row);
        chooseCharacterSets({}, {});
        EXPECT_EQ(reader.info().encoding, c.encoding);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0][1] == Value(std::string("Бор")), !c.lost);
        EXPECT_EQ(rows[1][1], Value(std::string("Bor")));
        EXPECT_EQ(reader.valuesLost(), c.lost);
        const auto named = std::count_if(
            reader.warnings().begin(), reader.warnings().end(), [](const std::string& w) {
                return w.find("row 1, field \"Word\": a byte has no character") !=
                       std::string::npos;
            });
        EXPECT_EQ(named, c.lost ? 1 : 0);
    }
}
