// What the writer refuses, and how it treats existing files and rows it cannot write.

#include "WriterTestSupport.h"

#include "paradoxwriter/TableWriter.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace dravena::paradox;
using writertest::PxTable;
using writertest::ScratchFolder;

namespace {

const Value null{};

// Runs f, expecting a ParadoxError whose message contains every given part.
template <class F> void expectError(F f, std::initializer_list<std::string> parts) {
    try {
        f();
        ADD_FAILURE() << "no error; expected one containing \"" << *parts.begin() << "\"";
    } catch (const ParadoxError& e) {
        for (const auto& part : parts)
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos)
                << "message: " << e.what() << "\nmissing: " << part;
    }
}

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(WriterInput, RejectedRowIsNotWrittenAndLaterRowsAre) {
    ScratchFolder folder;
    const auto file = folder / "ORDERS.DB";
    {
        TableWriter writer(file, {{"Item", FieldType::Alpha, 10},
                                  {"Qty", FieldType::Long, 0},
                                  {"No", FieldType::AutoIncrement, 0}});
        writer.append({std::string("first"), std::int64_t{1}, null});
        expectError(
            [&] {
                writer.append({std::string("second"), std::string("two"), null});
            },
            {file.string(), "row 2", "\"Qty\"", "text cannot be stored in a Long field"});
        expectError([&] { writer.append({std::string("third")}); },
                    {"a row of 1 values for a table of 3 fields"});
        writer.append({std::string("fourth"), std::int64_t{4}, null});
        writer.finish();
    }
    PxTable table(file);
    ASSERT_EQ(table.records(), 2);
    EXPECT_EQ(table.row(0), (std::vector<std::string>{"first", "1", "1"}));
    // The refused rows used no Autoincrement number.
    EXPECT_EQ(table.row(1), (std::vector<std::string>{"fourth", "4", "2"}));
}

TEST(WriterInput, ValuesTheirFieldCannotHold) {
    // The field as plain parts, not a Field: GCC 12 at -O3 takes the strings of a long table of
    // Fields for uninitialised on the path that unwinds a failed construction
    // (-Wmaybe-uninitialized).
    struct FieldParts {
        const char* name;
        FieldType type;
        int size;
    };
    struct Case {
        FieldParts field;
        Value value;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"A", FieldType::Alpha, 3}, std::string("abcd"), "4 bytes is too long for an Alpha"},
        {{"A", FieldType::Alpha, 9}, std::string("a\0b", 3), "NUL"},
        {{"A", FieldType::Alpha, 9}, std::string("中"), "cannot be written in code page 1252"},
        {{"A", FieldType::Alpha, 9}, std::string("\xC3"), "cannot be written in code page 1252"},
        {{"A", FieldType::Alpha, 9}, std::int64_t{5}, "an integer cannot be stored in a"},
        {{"S", FieldType::Short, 0}, std::int64_t{32768}, "outside the range"},
        {{"S", FieldType::Short, 0}, std::int64_t{-32768}, "outside the range"},
        {{"L", FieldType::Long, 0}, std::int64_t{2147483648}, "outside the range"},
        {{"L", FieldType::Long, 0}, std::int64_t{-2147483648}, "outside the range"},
        {{"L", FieldType::Long, 0}, 1.0, "a floating number cannot be stored"},
        {{"I", FieldType::AutoIncrement, 0}, std::int64_t{0}, "start at 1"},
        {{"N", FieldType::Number, 0}, std::numeric_limits<double>::quiet_NaN(), "finite"},
        {{"N", FieldType::Money, 0}, std::numeric_limits<double>::infinity(), "finite"},
        {{"D", FieldType::Date, 0}, Date{2021, 2, 29}, "invalid date 2021-2-29"},
        {{"D", FieldType::Date, 0}, Date{2020, 13, 1}, "invalid date"},
        {{"D", FieldType::Date, 0}, Date{2020, 0, 1}, "invalid date"},
        {{"T", FieldType::Time, 0}, Time{24, 0, 0, 0}, "invalid time"},
        {{"T", FieldType::Time, 0}, Time{0, 0, 0, 1000}, "invalid time"},
        {{"T", FieldType::Timestamp, 0}, Timestamp{{2020, 2, 30}, {}}, "invalid date"},
        {{"B", FieldType::Bcd, 2}, Decimal{"1.234"}, "too many decimal places"},
        {{"B", FieldType::Bcd, 2}, Decimal{"1e5"}, "not of the form"},
        {{"B", FieldType::Bcd, 2}, Decimal{"-"}, "not of the form"},
        {{"B", FieldType::Bcd, 2}, Decimal{""}, "not of the form"},
        {{"B", FieldType::Bcd, 2}, Decimal{std::string(31, '9')}, "too many digits"},
        {{"B", FieldType::Bcd, 2}, 1.5, "a floating number cannot be stored in a BCD"},
        {{"Y", FieldType::Bytes, 4}, Bytes{1, 2, 3, 4, 5}, "5 bytes are too many"},
        {{"Y", FieldType::Bytes, 4}, std::string("ab"), "text cannot be stored in a Bytes"},
        {{"M", FieldType::Memo, 20}, Bytes{1}, "bytes cannot be stored in a Memo"},
        {{"G", FieldType::Graphic, 10}, std::string("BM"), "text cannot be stored"},
        {{"F", FieldType::Logical, 0}, std::int64_t{1}, "an integer cannot be stored"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ScratchFolder folder;
        const Field field{c.field.name, c.field.type, c.field.size};
        TableWriter writer(folder / "T.DB", {field});
        expectError([&] { writer.append({c.value}); },
                    {"row 1", "\"" + field.name + "\"", c.message});
    }
}

TEST(WriterInput, ValuesAtTheLimitsAreAccepted) {
    ScratchFolder folder;
    const auto file = folder / "T.DB";
    {
        TableWriter writer(file, {{"A", FieldType::Alpha, 3},
                                  {"B", FieldType::Bcd, 2},
                                  {"C", FieldType::Bcd, 0},
                                  {"N", FieldType::Number, 0}});
        // Three characters that take six bytes in UTF-8 but three in the table's code page.
        writer.append({std::string("äöü"), Decimal{"1.230"}, std::int64_t{-12}, std::int64_t{3}});
        writer.append({null, Decimal{"-0.00"}, Decimal{std::string(32, '9')}, -0.5});
        writer.append({null, Decimal{std::string(30, '9') + ".99"}, Decimal{"+007"}, null});
    }
    PxTable table(file);
    ASSERT_EQ(table.records(), 3);
    // pxlib shows BCD values of no decimal places with a trailing point.
    EXPECT_EQ(table.row(0), (std::vector<std::string>{"äöü", "1.23", "-12.", "3"}));
    EXPECT_EQ(table.row(1)[1], "0.00"); // no negative zero
    EXPECT_EQ(table.row(1)[2], std::string(32, '9') + ".");
    EXPECT_EQ(table.row(2)[1], std::string(30, '9') + ".99");
    EXPECT_EQ(table.row(2)[2], "7.");
}

TEST(WriterInput, TablesThatCannotBeWritten) {
    struct Case {
        std::vector<Field> fields;
        WriterOptions options;
        std::string message;
    };
    auto opts = [](int version, int codePage, int blockKiB) {
        WriterOptions o;
        o.version = version;
        o.codePage = codePage;
        o.blockSizeKiB = blockKiB;
        return o;
    };
    const std::vector<Field> one{{"A", FieldType::Alpha, 10}};
    const std::vector<Case> cases{
        {one, opts(60, 1252, 4), "unsupported table version 60"},
        {one, opts(35, 850, 8), "block size of 8 KiB is not allowed"},
        {one, opts(70, 1252, 0), "block size of 0 KiB"},
        {one, opts(70, 1252, 33), "block size of 33 KiB"},
        {one, opts(30, 1252, 1), "cannot record code page 1252"},
        {one, opts(70, 12345, 4), "code page 12345 is not supported"},
        {{{"L", FieldType::Long, 0}}, opts(40, 1252, 4), "Long fields need version 5.0"},
        {{{"M", FieldType::Memo, 20}}, opts(35, 850, 4), "Memo fields need version 4.0"},
        {{}, {}, "1 to 255 fields, not 0"},
        {{{"Name", FieldType::Alpha, 5}, {"NAME", FieldType::Long, 0}}, {}, "used twice"},
        {{{std::string(26, 'x'), FieldType::Long, 0}}, {}, "1 to 25 characters"},
        {{{"", FieldType::Long, 0}}, {}, "1 to 25 characters"},
        {{{" X", FieldType::Long, 0}}, {}, "leading blank"},
        {{{"中", FieldType::Long, 0}}, {}, "cannot be written in code page 1252"},
        {{{"A", FieldType::Alpha, 0}}, {}, "size 0 is not allowed for Alpha"},
        {{{"A", FieldType::Alpha, 256}}, {}, "size 256"},
        {{{"M", FieldType::Memo, 10}}, {}, "size 10 is not allowed for Memo"},
        {{{"M", FieldType::Graphic, 251}}, {}, "size 251"},
        {{{"S", FieldType::Short, 4}}, {}, "size 4 is not allowed for Short"},
        {{{"B", FieldType::Bcd, 33}}, {}, "size 33"},
        {{{"U", static_cast<FieldType>(0x07), 4}}, {}, "unknown field type 7"},
        {{{"A", FieldType::Alpha, 255},
          {"B", FieldType::Alpha, 255},
          {"C", FieldType::Alpha, 255},
          {"D", FieldType::Alpha, 255}},
         opts(70, 1252, 1),
         "records of 1020 bytes do not fit in blocks of 1 KiB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ScratchFolder folder;
        expectError([&] { TableWriter(folder / "T.DB", c.fields, c.options); },
                    {(folder / "T.DB").string(), c.message});
        EXPECT_TRUE(folder.names().empty()); // not even a temporary file is left
    }
}

TEST(WriterInput, FilesAppearOnlyWhenTheTableIsComplete) {
    ScratchFolder folder;
    {
        TableWriter writer(folder / "t.db", {{"Notes", FieldType::Memo, 11}});
        writer.append({std::string(3000, 'n')});
        EXPECT_FALSE(std::filesystem::exists(folder / "t.db"));
        EXPECT_FALSE(std::filesystem::exists(folder / "t.mb"));
        writer.finish();
        writer.finish(); // a second call changes nothing
        expectError([&] { writer.append({null}); }, {"the table is finished"});
    }
    // The memo file follows the letter case of the table file.
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"t.db", "t.mb"}));
}

TEST(WriterInput, ExistingTableIsKeptUnlessReplacing) {
    ScratchFolder folder;
    const auto file = folder / "T.DB";
    TableWriter(file, {{"Notes", FieldType::Memo, 11}}).finish();
    const std::string before = contents(file);

    expectError(
        [&] {
            TableWriter(file, {{"A", FieldType::Alpha, 4}});
        },
        {file.string(), "already exists"});
    std::filesystem::remove(file);
    // The memo file alone is part of the old table too.
    expectError([&] { TableWriter(file, {{"A", FieldType::Alpha, 4}}); }, {"already exists"});
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"T.MB"}));

    WriterOptions replace;
    replace.replaceExisting = true;
    {
        TableWriter writer(file, {{"A", FieldType::Alpha, 4}}, replace);
        writer.append({std::string("new")});
    }
    // The old memo file belonged to the replaced table and is gone with it.
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"T.DB"}));
    EXPECT_NE(contents(file), before);
    PxTable table(file);
    EXPECT_EQ(table.row(0), (std::vector<std::string>{"new"}));
}

TEST(WriterInput, TableFullOfBlocksRefusesFurtherRows) {
    ScratchFolder folder;
    const auto file = folder / "FULL.DB";
    // 1 KiB blocks of three 259-byte records: 65535 blocks hold 196605 rows.
    TableWriter writer(file, {{"A", FieldType::Alpha, 255}, {"N", FieldType::AutoIncrement, 0}},
                       [] {
                           WriterOptions o;
                           o.blockSizeKiB = 1;
                           return o;
                       }());
    const std::vector<Value> row{std::string("x"), null};
    for (int i = 0; i < 65535 * 3; ++i)
        writer.append(row);
    expectError([&] { writer.append(row); }, {"65535 blocks"});
    writer.finish();
    PxTable table(file);
    EXPECT_EQ(table.head().px_fileblocks, 65535u);
    EXPECT_EQ(table.head().px_numrecords, 65535 * 3);
    EXPECT_EQ(table.head().px_autoinc, 65535 * 3); // the refused row took no number
}

TEST(WriterInput, WriterLeftByAnExceptionCommitsNothing) {
    ScratchFolder folder;
    const auto file = folder / "T.DB";
    {
        TableWriter writer(file, {{"A", FieldType::Alpha, 4}});
        writer.append({std::string("old")});
    }
    const std::string before = contents(file);
    WriterOptions replace;
    replace.replaceExisting = true;
    try {
        TableWriter writer(file, {{"A", FieldType::Alpha, 4}, {"M", FieldType::Memo, 11}}, replace);
        writer.append({std::string("part"), std::string(5000, 'm')});
        throw std::runtime_error("the source of the rows failed");
    } catch (const std::runtime_error&) {
    }
    // Half a table does not replace the whole one, and leaves no files behind.
    EXPECT_EQ(contents(file), before);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"T.DB"}));
}
