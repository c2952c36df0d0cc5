// Damaged, truncated and hostile files: a clear error or a consistent read, never a crash, a
// hang or an unbounded allocation.
#include "ReadTable.h"
#include "TableImage.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace dravena::paradox::testing {
namespace {

constexpr std::uint8_t alpha = 0x01, longType = 0x04, memoType = 0x0C, bcdType = 0x17;

TableImage smallTable(int rows, std::uint8_t versionByte = 0x0B) {
    TableLayout layout;
    layout.versionByte = versionByte;
    layout.blockKiB = 1;
    layout.fields = {{alpha, 8, "Name"}, {longType, 4, "Id"}};
    TableImage image(layout);
    for (int i = 1; i <= rows; ++i) {
        ByteVector r = image.blankRecord();
        std::string name = "n";
        name += std::to_string(i);
        putText(&r[0], name);
        putLong(&r[8], i);
        image.addRecord(r);
    }
    return image;
}

void set16(ByteVector& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Opens and reads the file; returns the error text, or "" when it read consistently.
std::string tryRead(const std::filesystem::path& file) {
    try {
        TableReader reader(file);
        std::vector<Value> row;
        std::uint64_t rows = 0;
        while (reader.next(row)) {
            ++rows;
            EXPECT_EQ(row.size(), reader.fields().size());
        }
        EXPECT_EQ(rows, reader.recordCount()) << file;
        return "";
    } catch (const ParadoxError& e) {
        return e.what();
    }
}

class DamagedTable : public ::testing::Test {
protected:
    std::string readDamaged(const ByteVector& bytes) {
        writeFile(file_, bytes);
        return tryRead(file_);
    }
    std::filesystem::path file() const { return file_; }

    TempDir dir_;
    std::filesystem::path file_ = dir_ / "BROKEN.DB";
};

TEST_F(DamagedTable, TruncatedAnywhereGivesAnErrorNamingTheFile) {
    for (const std::uint8_t versionByte : {std::uint8_t{0x03}, std::uint8_t{0x0C}}) {
        const TableImage image = smallTable(150, versionByte);
        const ByteVector full = image.build();
        // Every byte of the fixed part, then in small steps through names and blocks.
        for (std::size_t size = 0; size < full.size(); size += size < 0x80 ? 1 : 5) {
            const std::string error = readDamaged(ByteVector(full.begin(), full.begin() + size));
            if (size < image.headerSize()) {
                ASSERT_NE(error, "") << "size " << size;
                EXPECT_EQ(error.rfind(file().string() + ": ", 0), 0u) << error;
            }
        }
        EXPECT_EQ(readDamaged(full), "");
    }
}

TEST_F(DamagedTable, HeaderFaultsAreNamed) {
    const ByteVector good = smallTable(3).build();
    struct Case {
        const char* what;
        std::size_t at;
        std::vector<std::uint8_t> bytes;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"index file", 0x04, {1}, "damaged header: file type 1"},
        {"block size 0", 0x05, {0}, "block size"},
        {"block size 33 KiB", 0x05, {33}, "block size"},
        {"version 2", 0x39, {2}, "version byte"},
        {"record size 0", 0x00, {0, 0}, "record size"},
        {"record size beyond the block", 0x00, {0xFF, 0x7F}, "record size"},
        {"no fields", 0x21, {0, 0}, "field count"},
        {"too many fields", 0x21, {0x00, 0x01}, "field count"},
        {"header beyond the file", 0x02, {0xFF, 0xFF}, "exceeds the file size"},
        {"header too small", 0x02, {0x10, 0x00}, "too small"},
        {"field sizes", 0x78 + 1, {9}, "add up to"},
        {"Long of 3 bytes", 0x78 + 3, {3}, "size 3 for a Long field"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ByteVector bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<long>(c.at));
        const std::string error = readDamaged(bad);
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(error.rfind(file().string() + ": damaged header: ", 0), 0u) << error;
    }

    // A BCD scale above 32 and unterminated names are damage too.
    TableLayout layout;
    layout.fields = {{bcdType, 40, "Amount"}};
    EXPECT_NE(readDamaged(TableImage(layout).build()).find("decimal places"), std::string::npos);
    ByteVector unterminated = smallTable(1).build();
    const std::size_t names = 0x78 + 6 * 2 + 4 + 79;
    std::fill(unterminated.begin() + static_cast<long>(names), unterminated.begin() + 2048,
              std::uint8_t{'x'});
    EXPECT_NE(readDamaged(unterminated).find("unterminated"), std::string::npos);
}

TEST_F(DamagedTable, BrokenBlockChainsStopBeforeTheFirstRow) {
    const TableImage image = smallTable(200); // 1 KiB blocks of 84 records: 3 blocks
    const ByteVector good = image.build();
    const auto block = [&](std::uint16_t n) { return image.blockOffset(n); };

    ByteVector loop = good;
    set16(loop, block(3), 1); // block 3 continues with block 1
    EXPECT_NE(readDamaged(loop).find("damaged block chain: block 1 is reached twice"),
              std::string::npos);

    ByteVector selfLoop = good;
    set16(selfLoop, block(1), 1);
    EXPECT_NE(readDamaged(selfLoop).find("loops"), std::string::npos);

    ByteVector beyond = good;
    set16(beyond, block(2), 9);
    EXPECT_NE(readDamaged(beyond).find("beyond the end of the file"), std::string::npos);

    ByteVector first = good;
    set16(first, 0x0E, 700);
    EXPECT_NE(readDamaged(first).find("block 700"), std::string::npos);

    ByteVector tooMany = good;
    set16(tooMany, block(2) + 4, 12 * 200); // 201 records in a 1 KiB block
    EXPECT_NE(readDamaged(tooMany).find("do not fit a block"), std::string::npos);

    ByteVector ragged = good;
    set16(ragged, block(2) + 4, 13);
    EXPECT_NE(readDamaged(ragged).find("not a multiple of the record size"), std::string::npos);

    // The last block claims more records than the bytes present hold.
    ByteVector cut(good.begin(), good.begin() + static_cast<long>(block(3) + 6 + 12 * 10));
    EXPECT_NE(readDamaged(cut).find("the file holds"), std::string::npos);
}

TEST_F(DamagedTable, CountsFarTooLargeAreNotTrusted) {
    const TableImage image = smallTable(200);
    ByteVector bad = image.build();
    bad[0x06] = 0xFF; // header record count 0xFFFFFFFF
    bad[0x07] = 0xFF;
    bad[0x08] = 0xFF;
    bad[0x09] = 0xFF;
    set16(bad, 0x0C, 0xFFFF); // 65535 blocks in the file
    set16(bad, 0x0A, 0xFFFF);
    writeFile(file(), bad);
    const TableContents t = readTable(file());
    EXPECT_EQ(t.announced, 200u);
    EXPECT_EQ(t.rows.size(), 200u);
    EXPECT_TRUE(hasWarningContaining(t.warnings, "the header counts 4294967295"));

    // A header that claims blocks while the file has none.
    ByteVector empty = smallTable(0).build();
    set16(empty, 0x0C, 5);
    set16(empty, 0x0E, 1);
    EXPECT_NE(readDamaged(empty).find("beyond the end of the file"), std::string::npos);
}

TEST_F(DamagedTable, HostileMemoReferencesCostOnlyTheirValue) {
    TableLayout layout;
    layout.versionByte = 0x0C;
    layout.fields = {{longType, 4, "Id"}, {memoType, 11, "Note"}};
    TableImage image(layout);
    MemoImage memo;
    const ByteVector note = {'h', 'e', 'l', 'l', 'o', ' ', 'm', 'e', 'm', 'o'};
    const std::uint32_t ref = memo.addSingle(note);
    struct Ref {
        std::uint32_t ref;
        std::uint32_t length;
    };
    const std::vector<Ref> refs = {
        {ref, 0xFFFFFFF0u},                  // length far beyond the file
        {0x7FFFFF00u | 0xFF, 10},            // block far beyond the file
        {ref & ~0xFFu, 10},                  // single block with a slot number
        {0x00000000u, 10},                   // the header block
        {((ref & ~0xFFu) + 256) | 0xFF, 10}, // inside a block
        {ref, 10},                           // good
    };
    for (std::size_t i = 0; i < refs.size(); ++i) {
        ByteVector r = image.blankRecord();
        putLong(&r[0], static_cast<std::int32_t>(i + 1));
        putBlob(&r[4], 11, ByteVector(refs[i].length > 100 ? 2 : refs[i].length, 'x'), refs[i].ref,
                note);
        r[4 + 1 + 4] = static_cast<std::uint8_t>(refs[i].length);
        r[4 + 1 + 5] = static_cast<std::uint8_t>(refs[i].length >> 8);
        r[4 + 1 + 6] = static_cast<std::uint8_t>(refs[i].length >> 16);
        r[4 + 1 + 7] = static_cast<std::uint8_t>(refs[i].length >> 24);
        image.addRecord(r);
    }
    writeFile(dir_ / "MEMO.DB", image.build());
    writeFile(dir_ / "MEMO.MB", memo.bytes());
    const TableContents t = readTable(dir_ / "MEMO.DB");
    ASSERT_EQ(t.rows.size(), refs.size());
    for (std::size_t i = 0; i + 1 < refs.size(); ++i) {
        EXPECT_EQ(t.rows[i][1], null()) << "row " << i + 1;
        EXPECT_TRUE(hasWarningContaining(t.warnings, "of row " + std::to_string(i + 1)));
    }
    EXPECT_EQ(t.rows.back()[1], text("hello memo"));

    // A .MB that is not a memo file at all (too short for any block).
    writeFile(dir_ / "MEMO.MB", ByteVector(100, 0xEE));
    const TableContents junk = readTable(dir_ / "MEMO.DB");
    EXPECT_EQ(junk.rows.back()[1], null());
}

TEST_F(DamagedTable, TimesOutsideTheirRangeAreNullAndCountAsLost) {
    struct Case {
        std::uint8_t type;
        std::uint8_t size;
        void (*put)(std::uint8_t*);
        const char* warning;
    };
    const std::vector<Case> cases = {
        {0x14, 4, [](std::uint8_t* p) { putLong(p, 86400000); }, "time outside the day"},
        {0x15, 8, [](std::uint8_t* p) { putDouble(p, 1e18); }, "impossible time stamp"},
    };
    for (const Case& c : cases) {
        TableLayout layout;
        layout.fields = {{longType, 4, "Id"}, {c.type, c.size, "At"}};
        TableImage image(layout);
        ByteVector r = image.blankRecord();
        putLong(&r[0], 1);
        c.put(&r[4]);
        image.addRecord(r);
        writeFile(file_, image.build());
        const TableContents t = readTable(file_);
        ASSERT_EQ(t.rows.size(), 1u) << c.warning;
        EXPECT_EQ(t.rows[0][1], null()) << c.warning;
        EXPECT_TRUE(hasWarningContaining(t.warnings, c.warning)) << c.warning;
        EXPECT_TRUE(t.valuesLost) << c.warning;
    }
}

TEST_F(DamagedTable, FilesThatAreNotTablesAreRefused) {
    EXPECT_NE(tryRead(dir_ / "MISSING.DB").find("MISSING.DB: cannot open"), std::string::npos);
    std::filesystem::create_directory(dir_ / "FOLDER.DB");
    EXPECT_NE(tryRead(dir_ / "FOLDER.DB").find("is a folder"), std::string::npos);

    // A named pipe in place of the memo file must not stall the read.
    TableLayout layout;
    layout.fields = {{memoType, 11, "Note"}};
    TableImage image(layout);
    ByteVector r = image.blankRecord();
    putBlob(r.data(), 11, ByteVector(20, 'x'), 0x1000 | 0xFF, ByteVector(20, 'x'));
    image.addRecord(r);
    writeFile(dir_ / "PIPE.DB", image.build());
    ASSERT_EQ(::mkfifo((dir_ / "PIPE.MB").c_str(), 0600), 0);
    const TableContents t = readTable(dir_ / "PIPE.DB");
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0][0], null());
    EXPECT_TRUE(hasWarningContaining(t.warnings, "PIPE.MB: cannot open"));
}

TEST_F(DamagedTable, RandomByteDamageNeverCrashes) {
    const TableImage image = smallTable(300);
    const ByteVector good = image.build();
    std::mt19937 random(12345);
    for (int round = 0; round < 800; ++round) {
        ByteVector bad = good;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f) {
            // Mostly in the header and the block headers, where the structure lives.
            std::size_t at = random() % 3 != 0 ? random() % 0x120 : random() % bad.size();
            if (random() % 4 == 0) {
                at = image.blockOffset(static_cast<std::uint16_t>(1 + random() % 4)) + random() % 6;
            }
            if (at < bad.size()) {
                bad[at] = static_cast<std::uint8_t>(random());
            }
        }
        readDamaged(bad);
    }
}

} // namespace
} // namespace dravena::paradox::testing
