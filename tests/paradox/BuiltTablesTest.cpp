// Tables assembled byte by byte: levels, block sizes, encryption, memo storage and character
// sets that the sample tables do not cover.
#include "ReadTable.h"
#include "TableImage.h"
#include "paradox/Cipher.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dravena::paradox::testing {
namespace {

using Row = std::vector<Value>;

constexpr std::uint8_t alpha = 0x01, dateType = 0x02, shortType = 0x03, longType = 0x04,
                       money = 0x05, numberType = 0x06, logical = 0x09, memoType = 0x0C,
                       blobType = 0x0D, graphic = 0x10, bcdType = 0x17, bytesType = 0x18;

ByteVector textBytes(const std::string& s) {
    return ByteVector(s.begin(), s.end());
}

// Printable text of the given size.
ByteVector words(std::size_t size) {
    ByteVector v(size);
    for (std::size_t i = 0; i < size; ++i) {
        v[i] = static_cast<std::uint8_t>(i % 61 == 60 ? '\n' : 'a' + i % 26);
    }
    return v;
}

ByteVector pattern(std::size_t size, unsigned seed) {
    ByteVector v(size);
    for (std::size_t i = 0; i < size; ++i) {
        v[i] = static_cast<std::uint8_t>((i * 31 + seed) % 251 + 1);
    }
    return v;
}

// A table of rows (Alpha "row N", Long N, Number N / 4) at the given level and block size.
TableImage numberedTable(std::uint8_t versionByte, unsigned blockKiB, int rows,
                         std::uint32_t key = 0) {
    TableLayout layout;
    layout.versionByte = versionByte;
    layout.blockKiB = blockKiB;
    layout.key = key;
    layout.fields = {{alpha, 12, "Name"}, {longType, 4, "Id"}, {numberType, 8, "Quarter"}};
    if (versionByte < 5) {
        layout.fields[1] = {shortType, 2, "Id"};
        layout.sortOrder = 0x00; // a DOS sort order, as 3.x tables have
    }
    TableImage image(layout);
    for (int i = 1; i <= rows; ++i) {
        ByteVector r = image.blankRecord();
        putText(&r[0], "row " + std::to_string(i));
        if (versionByte < 5) {
            putShort(&r[12], i);
        } else {
            putLong(&r[12], i);
        }
        putDouble(&r[image.fieldOffset(2)], i / 4.0);
        image.addRecord(r);
    }
    return image;
}

void expectNumberedRows(const TableContents& t, int rows) {
    EXPECT_EQ(t.announced, static_cast<std::uint64_t>(rows));
    ASSERT_EQ(t.rows.size(), static_cast<std::size_t>(rows));
    for (int i = 1; i <= rows; ++i) {
        const Row expected = {text(("row " + std::to_string(i)).c_str()), integer(i),
                              number(i / 4.0)};
        ASSERT_EQ(t.rows[static_cast<std::size_t>(i - 1)], expected) << "row " << i;
    }
}

TEST(BuiltTables, EveryLevelAndBlockSizeAcrossManyBlocks) {
    struct Case {
        std::uint8_t versionByte;
        unsigned blockKiB;
        int version;
    };
    for (const Case c : {Case{0x03, 1, 30}, Case{0x04, 2, 35}, Case{0x09, 4, 40}, Case{0x0B, 2, 50},
                         Case{0x0C, 16, 70}, Case{0x0C, 32, 70}}) {
        SCOPED_TRACE(c.version);
        TempDir dir;
        const TableImage image = numberedTable(c.versionByte, c.blockKiB, 1500);
        writeFile(dir / "T.DB", image.build(c.blockKiB == 2 ? 7 : 0));
        const TableContents t = readTable(dir / "T.DB");
        EXPECT_EQ(t.info.version, c.version);
        EXPECT_TRUE(t.warnings.empty()) << t.warnings.front();
        expectNumberedRows(t, 1500);
    }
}

TEST(BuiltTables, Version30HeaderEndsRightAfterTheFieldNames) {
    const TableImage image = numberedTable(0x03, 1, 3);
    EXPECT_LT(image.headerSize(), 2048);
    EXPECT_NE(image.headerSize() % 256, 0);
    TempDir dir;
    writeFile(dir / "AREA.DB", image.build());
    expectNumberedRows(readTable(dir / "AREA.DB"), 3);
}

TEST(BuiltTables, NameAreaOfTheOtherLevelIsFoundThroughTheHeaderLength) {
    // A 5.x version byte over a header laid out with the 261-byte name area of 7.x.
    ByteVector file = numberedTable(0x0C, 2, 4).build();
    file[0x39] = 0x0B;
    file[0x58] = 0x0B;
    file[0x5A] = 0x0B;
    TempDir dir;
    writeFile(dir / "MIXED.DB", file);
    const TableContents t = readTable(dir / "MIXED.DB");
    EXPECT_EQ(t.info.version, 50);
    ASSERT_EQ(t.fields.size(), 3u);
    EXPECT_EQ(t.fields[2].name, "Quarter");
    EXPECT_TRUE(hasWarningContaining(t.warnings, "261-byte table-name area"));
    expectNumberedRows(t, 4);
}

TEST(BuiltTables, ShortLastBlockAndEmptyTables) {
    TempDir dir;
    const TableImage image = numberedTable(0x0B, 2, 9);
    ByteVector file = image.build(7);
    // The last block ends right after its two records.
    file.resize(image.blockOffset(2) + 6 + 2 * static_cast<std::size_t>(image.recordSize()));
    writeFile(dir / "SHORT.DB", file);
    expectNumberedRows(readTable(dir / "SHORT.DB"), 9);

    const TableImage empty = numberedTable(0x0C, 2, 0);
    writeFile(dir / "EMPTY.DB", empty.build());
    const TableContents t = readTable(dir / "EMPTY.DB");
    EXPECT_EQ(t.announced, 0u);
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.fields.size(), 3u);

    // A table emptied by deletion keeps a block whose last-record offset is -recordSize.
    ByteVector emptied = numberedTable(0x0C, 2, 1).build();
    const int rs = image.recordSize();
    emptied[0x06] = 0;
    emptied[2048 + 4] = static_cast<std::uint8_t>(-rs & 0xFF);
    emptied[2048 + 5] = static_cast<std::uint8_t>((-rs >> 8) & 0xFF);
    writeFile(dir / "EMPTIED.DB", emptied);
    const TableContents e = readTable(dir / "EMPTIED.DB");
    EXPECT_EQ(e.announced, 0u);
    EXPECT_TRUE(e.rows.empty());
}

TEST(BuiltTables, EncryptedTablesReadWithoutPassword) {
    const std::uint32_t key = Cipher::keyForPassword("123");
    for (const std::uint8_t versionByte : {std::uint8_t{0x04}, std::uint8_t{0x0B}}) {
        SCOPED_TRACE(int(versionByte));
        TempDir dir;
        // 4 KiB blocks: records in several 256-byte chunks of blocks beyond the first.
        const TableImage image = numberedTable(versionByte, 4, 600, key);
        const ByteVector file = image.build();
        writeFile(dir / "SECRET.DB", file);
        const TableContents t = readTable(dir / "SECRET.DB");
        EXPECT_TRUE(t.info.encrypted);
        expectNumberedRows(t, 600);
        // The blocks on disk really are scrambled: the plain text is not there.
        const std::string raw(file.begin() + image.headerSize(), file.end());
        EXPECT_EQ(raw.find("row 1"), std::string::npos);
    }
}

TEST(BuiltTables, EncryptedMemoFile) {
    const std::uint32_t key = Cipher::keyForPassword("secret");
    TableLayout layout;
    layout.versionByte = 0x09;
    layout.key = key;
    layout.fields = {{memoType, 15, "Text"}};
    TableImage image(layout);
    MemoImage memo;
    const ByteVector big = words(70000);
    const ByteVector small = textBytes("a memo longer than five bytes");
    const std::uint32_t bigRef = memo.addSingle(big);
    const std::uint32_t smallRef = memo.addSubAllocated({small}).front();
    for (const auto& [value, ref] : {std::pair{big, bigRef}, std::pair{small, smallRef}}) {
        ByteVector r = image.blankRecord();
        putBlob(r.data(), 15, value, ref, value);
        image.addRecord(r);
    }
    TempDir dir;
    writeFile(dir / "M.DB", image.build());
    writeFile(dir / "M.MB", memo.bytes(key));
    const TableContents t = readTable(dir / "M.DB");
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(std::get<std::string>(t.rows[0][0]), std::string(big.begin(), big.end()));
    EXPECT_EQ(t.rows[1][0], text("a memo longer than five bytes"));
    EXPECT_TRUE(t.warnings.empty()) << t.warnings.front();
}

TEST(BuiltTables, MemoAndBlobStorageAndItsDamage) {
    TableLayout layout;
    layout.versionByte = 0x0C;
    layout.fields = {
        {shortType, 2, "N"}, {memoType, 15, "Memo"}, {graphic, 10, "Pic"}, {blobType, 12, "Blob"}};
    TableImage image(layout);
    MemoImage memo;
    const ByteVector exact = textBytes("12345");
    const ByteVector oneMore = textBytes("123456");
    const ByteVector large = pattern(300000, 7);
    const ByteVector image1 = pattern(1000, 9);
    const ByteVector rawPicture = pattern(300, 5); // a graphic stored without its prefix
    ByteVector graphicValue = {0x01, 0x00, 0x00, 0x01, 0xE8, 0x03, 0x00, 0x00};
    graphicValue.insert(graphicValue.end(), image1.begin(), image1.end());

    const auto subRefs =
        memo.addSubAllocated({oneMore, graphicValue, textBytes("gone for good"), rawPicture});
    const std::uint32_t freeBlock = memo.addFree(2);
    const std::uint32_t largeRef = memo.addSingle(large);
    // The third slot was deleted afterwards: offset 0, stale length kept.
    memo.data[subRefs[0] - 63 + 12 + 5 * 61] = 0;

    struct Stored {
        ByteVector memoValue;
        std::uint32_t memoRef;
        ByteVector pic;
        std::uint32_t picRef;
        ByteVector blob;
        std::uint32_t blobRef;
    };
    const std::vector<Stored> stored = {
        {{}, 0, {}, 0, {}, 0},                           // 1: all blank
        {exact, 0, graphicValue, subRefs[1], {1, 2}, 0}, // 2: in the record, sub-allocated
        {oneMore, subRefs[0], {}, 0, large, largeRef},   // 3: sub-allocated, single block
        {textBytes("gone for good"), subRefs[2], {}, 0, large, freeBlock | 0xFF}, // 4: damaged refs
        {{}, 0, rawPicture, subRefs[3], {}, 0}, // 5: graphic without prefix
    };
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const Stored& s = stored[i];
        ByteVector r = image.blankRecord();
        putShort(&r[0], static_cast<int>(i + 1));
        putBlob(&r[2], 15, s.memoValue, s.memoRef, s.memoValue);
        putBlob(&r[17], 10, s.pic, s.picRef, s.pic);
        putBlob(&r[27], 12, s.blob, s.blobRef, s.blob);
        image.addRecord(r);
    }
    TempDir dir;
    writeFile(dir / "Blobs.db", image.build());
    writeFile(dir / "blobs.mb", memo.bytes());
    const TableContents t = readTable(dir / "Blobs.db");
    EXPECT_TRUE(t.info.hasMemoFile);
    ASSERT_EQ(t.rows.size(), 5u);
    EXPECT_EQ(t.rows[0], (Row{integer(1), null(), null(), null()}));
    EXPECT_EQ(t.rows[1], (Row{integer(2), text("12345"), Value(image1), Value(Bytes{1, 2})}));
    EXPECT_EQ(t.rows[2], (Row{integer(3), text("123456"), null(), Value(large)}));
    // A deleted slot and a pointer to a free block cost only those values.
    EXPECT_EQ(t.rows[3], (Row{integer(4), null(), null(), null()}));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "deleted"));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "type 4"));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "row 4"));
    EXPECT_EQ(t.rows[4], (Row{integer(5), null(), Value(rawPicture), null()}));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "without its 8-byte prefix"));
}

TEST(BuiltTables, CharacterSetsFromCodePageOrSortOrder) {
    struct Case {
        std::uint16_t codePage;
        std::string sortId;
        std::uint8_t sortOrder;
        std::string stored;
        std::string expected;
        std::string encoding;
        bool guessTold = false; // a warning names the code page taken without a clue
    };
    const std::vector<Case> cases = {
        {936, "china", 0x03, "\xD6\xD0\xCE\xC4", "中文", "CP936"},
        {0, "BLROM800", 0x14, "\xEB\xF8\xBE\xF4", "Š½ƒ¶", "HP-ROMAN8"},
        {1252, "ANSIINTL", 0x62,
         "Gr\xFC\xDF"
         "e",
         "Grüße", "CP1252"},
        {850, "intl850", 0x54,
         "Gr\x81\xE1"
         "e",
         "Grüße", "CP850"},
        {0, "", 0xC0, "\x8C\xA8\xE0", "Мир", "CP866"},
        // No code page and a sort order nobody knows: the DOS default, said out loud.
        {0, "", 0x33, "\x81", "ü", "CP437", true},
        {0, "nosuchid", 0x33, "\x81", "ü", "CP437", true},
        // A double-byte character cut at the field end is replaced, not fatal.
        {936, "china", 0x03, "ab\xD6", "ab\xEF\xBF\xBD", "CP936"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.encoding);
        TableLayout layout;
        layout.versionByte = 0x0B;
        layout.codePage = c.codePage;
        layout.sortOrderId = c.sortId;
        layout.sortOrder = c.sortOrder;
        layout.fields = {{alpha, 20, "Word"}};
        TableImage image(layout);
        ByteVector r = image.blankRecord();
        putText(r.data(), c.stored);
        image.addRecord(r);
        TempDir dir;
        writeFile(dir / "CS.DB", image.build());
        const TableContents t = readTable(dir / "CS.DB");
        EXPECT_EQ(t.info.encoding, c.encoding);
        ASSERT_EQ(t.rows.size(), 1u);
        EXPECT_EQ(t.rows[0][0], text(c.expected.c_str()));
        const auto told = std::count_if(t.warnings.begin(), t.warnings.end(), [](const auto& w) {
            return w.find("no code page") != std::string::npos;
        });
        EXPECT_EQ(told, c.guessTold ? 1 : 0);
        if (c.guessTold) {
            EXPECT_TRUE(hasWarningContaining(t.warnings, "sort order 0x33"));
        }
        EXPECT_EQ(hasWarningContaining(t.warnings, "read as CP437"), c.guessTold);
    }
}

TEST(BuiltTables, AlphaBytesLogicalBcdAndUnknownTypesAtTheirEdges) {
    TableLayout layout;
    layout.versionByte = 0x0B;
    layout.fields = {{alpha, 4, "Full"},    {alpha, 6, "Spaces"},   {bytesType, 3, "Raw"},
                     {logical, 1, "Flag"},  {bcdType, 2, "Amount"}, {0x1F, 3, "Odd"},
                     {dateType, 4, "When"}, {money, 8, "Price"}};
    TableImage image(layout);
    ByteVector r = image.blankRecord();
    putText(&r[0], "ABCD"); // fills the width, no terminator
    putText(&r[4], "ab  "); // trailing spaces are data
    r[10] = 0;              // Bytes starting with a zero byte are still a value
    r[11] = 0;
    r[12] = 5;
    r[13] = 0x7F; // not a Logical value: read as true with a warning
    r[14] = 0xC2; // BCD 12.50
    r[29] = 0x12;
    r[30] = 0x50;
    r[31] = 9; // unknown type: raw bytes
    putLong(&r[34], 736695);
    putDouble(&r[38], 0.16999999999999998);
    image.addRecord(r);
    image.addRecord(image.blankRecord());
    TempDir dir;
    writeFile(dir / "EDGE.DB", image.build());
    const TableContents t = readTable(dir / "EDGE.DB");
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0],
              (Row{text("ABCD"), text("ab  "), Value(Bytes{0, 0, 5}), Value(true), decimal("12.50"),
                   Value(Bytes{9, 0, 0}), date(2018, 1, 1), number(0.16999999999999998)}));
    // A record of zero bytes is a record of blanks.
    EXPECT_EQ(t.rows[1], Row(8, null()));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "unknown type code 31"));
    EXPECT_TRUE(hasWarningContaining(t.warnings, "read as true"));
}

} // namespace
} // namespace dravena::paradox::testing
