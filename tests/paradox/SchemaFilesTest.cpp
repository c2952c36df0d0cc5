// The schema of the real sample tables (key, secondary indexes, validity checks, references,
// autoincrement counter), and companion files that are stale, damaged or of unknown layout.
#include "ReadTable.h"
#include "TableImage.h"

#include "paradox/TableSchema.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dravena::paradox::testing {
namespace {

namespace fs = std::filesystem;

std::string shown(const Value& v) {
    if (const auto* s = std::get_if<std::string>(&v))
        return "'" + *s + "'";
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? "true" : "false";
    return isNull(v) ? "-" : "?";
}

// One line per object, in a form that reads like the table's definition.
std::string described(const TableSchema& s) {
    std::ostringstream out;
    out << "key " << s.keyFields;
    if (s.highestAutoIncrement)
        out << ", issued " << *s.highestAutoIncrement;
    for (const SecondaryIndex& i : s.indexes) {
        out << "\nindex " << i.file << " \"" << i.name << "\"" << (i.unique ? " unique" : "")
            << (i.caseInsensitive ? " nocase" : "") << (i.maintained ? "" : " unmaintained") << ":";
        for (const IndexField& f : i.fields)
            out << " " << s.fields.at(f.field).name << (f.descending ? " desc" : "");
    }
    for (const FieldCheck& c : s.checks) {
        out << "\ncheck " << s.fields.at(c.field).name << (c.required ? " required" : "");
        if (!isNull(c.minimum) || !isNull(c.maximum))
            out << " " << shown(c.minimum) << ".." << shown(c.maximum);
        if (!isNull(c.defaultValue))
            out << " default " << shown(c.defaultValue);
        if (!c.picture.empty())
            out << " picture " << c.picture;
        if (!c.lookupTable.empty())
            out << " lookup " << c.lookupTable;
    }
    for (const Reference& r : s.references) {
        out << "\nreference \"" << r.name << "\"";
        for (int f : r.fields)
            out << " " << s.fields.at(f).name;
        out << " -> " << r.masterTable;
        for (int f : r.masterFields)
            out << " " << f + 1;
        out << (r.cascadeUpdate ? " cascade" : "");
    }
    return out.str();
}

TEST_F(SampleTableTest, SchemaOfEveryJoinsTable) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"joins/A.db", "key 1"},
        {"joins/C.DB", "key 1\nindex C.X02 \"A\": A\nindex C.X03 \"B\": B\ncheck C required\n"
                       "check A required\nreference \"Reference A\" A -> A.db 1 cascade\n"
                       "reference \"Reference B\" B -> B.db 1 cascade"},
        {"joins/case.db", "key 0\nindex case.x01 \"C\" unmaintained: C"},
        {"joins/destination.db", "key 0, issued 1"},
        {"joins/fk1.db", "key 1, issued 0\nindex fk1.x02 \"FK\": FK\n"
                         "reference \"reference\" FK -> primary.db 1 cascade"},
        {"joins/fk2.db", "key 1, issued 0\nindex fk2.x02 \"FK\": FK\n"
                         "reference \"reference\" FK -> primary.db 1"},
        {"joins/fk3.db", "key 1, issued 0\nindex fk3.x03 \"FK2\": FK2\n"
                         "reference \"reference\" FK2 -> primary.db 1"},
        {"joins/fk4.db", "key 1\nindex fk4.XG0 \"reference\": FK1 FK\n"
                         "reference \"reference\" FK1 FK -> two.db 1 2 cascade"},
        {"joins/indexed.db", "key 0\nindex indexed.xg0 \"Descending\" unmaintained: Indexed desc"},
        {"joins/joinb.db", "key 0\ncheck Id lookup joina.db"},
        {"joins/multiple.db",
         "key 1, issued 0\nindex multiple.X02 \"FK\": FK\nindex multiple.X04 \"FK2\": FK2\n"
         "check FK required\ncheck A picture [(*3{#}) ]*3{#}-*4{#}\n"
         "reference \"fk2\" FK2 -> primary.db 1 cascade\n"
         "reference \"fk_multiple_primary\" FK -> primary.db 1 cascade"},
        {"joins/origin.db", "key 0, issued 1\ncheck FK lookup destination.db"},
        {"joins/paradox-ascii.db", "key 0\ncheck A required"},
        {"joins/primary.db", "key 1, issued 0"},
        {"joins/to_multiple.db", "key 1, issued 0\nindex to_multiple.X02 \"FK\": FK\n"
                                 "reference \"to_multiple\" FK -> multiple.DB 1 cascade"},
        {"joins/two.db", "key 2"},
        {"fields/logical.db", "key 0\ncheck BOOL required default true"},
        {"fields/long.db", "key 1, issued 3"},
        {"extdata/TypSammlung.DB", "key 2, issued 5"},
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file);
        const TableSchema schema = readTableSchema(sample(file));
        EXPECT_EQ(described(schema), expected);
        // TypSammlung has no .PX beside it, which is said; every other file reads cleanly.
        EXPECT_EQ(schema.warnings.size(), std::string(file).find("Typ") != std::string::npos);
        EXPECT_TRUE(schema.leftOut.empty());
    }
}

class SchemaFileDamageTest : public SampleTableTest {
protected:
    // Copies a sample table with every companion file into the temporary folder; returns its .db.
    fs::path copied(const std::string& base) {
        fs::path db;
        for (const auto& entry : fs::directory_iterator(sample("joins"))) {
            const fs::path name = entry.path().filename();
            if (name.stem() == base)
                fs::copy_file(entry.path(), dir_ / name, fs::copy_options::overwrite_existing);
            if (name.stem() == base && (name.extension() == ".db" || name.extension() == ".DB"))
                db = dir_ / name;
        }
        return db;
    }
    TempDir dir_;
};

// A companion file that cannot be trusted costs exactly what it holds, told in one line naming
// it: among the objects left out, or among the warnings when no object is lost (a .PX: the table
// header has the key). Changes that keep a file valid read as that file says.
TEST_F(SchemaFileDamageTest, UntrustedFilesAreLeftOutWithAWarningNamingThem) {
    constexpr std::size_t removed = ~std::size_t{0}; // the file is deleted
    struct Case {
        const char *table, *file;
        std::size_t offset;
        std::uint8_t value;
        const char* told; // part of what is told; nullptr: nothing
        bool objectLost;  // told among leftOut, not among the warnings
        const char* left; // what remains of the schema
    };
    const std::string fk2 = "key 1, issued 0\nindex fk2.x02 \"FK\": FK";
    const std::string cWithoutX02 =
        "key 1\nindex C.X03 \"B\": B\ncheck C required\ncheck A required\n"
        "reference \"Reference A\" A -> A.db 1 cascade\n"
        "reference \"Reference B\" B -> B.db 1 cascade";
    const Case cases[] = {
        {"multiple", "multiple.val", 0x00, 0x01, "stale", true,
         "key 1, issued 0\nindex multiple.X02 \"FK\": FK\nindex multiple.X04 \"FK2\": FK2"},
        {"fk4", "fk4.val", 0x01, 0x01, "layout 0x01 is not known (a 3.x validity file)", true,
         "key 1\nindex fk4.XG0 \"reference\": FK1 FK"},
        {"fk2", "fk2.val", 0x0D, 0x40, "not where the header says", true, fk2.c_str()},
        {"fk2", "fk2.val", 0x35 + 2 + 0x19A, 0x07, "unknown rules 7", true, fk2.c_str()},
        {"paradox-ascii", "paradox-ascii.val", 0x37, 0x05, "unknown flags", true, "key 0"},
        {"C", "C.X02", 0x78, 0x01, "does not match the table's field", true, cWithoutX02.c_str()},
        {"C", "C.X02", removed, 0, "C.Y02: the index file C.X02 that defines its index is missing",
         true, cWithoutX02.c_str()},
        {"fk4", "fk4.XG0", removed, 0, "fk4.YG0: the index file fk4.XG0", true,
         "key 1\nreference \"reference\" FK1 FK -> two.db 1 2 cascade"},
        {"indexed", "indexed.xg0", 0x55, 0x51, "unknown index flags 0x51", true, "key 0"},
        {"indexed", "indexed.xg0", 0x23, 0x09, "9 key fields of 4", true, "key 0"},
        {"two", "two.px", 0x21, 0x01, "the primary index has 1 key fields", false, "key 2"},
        // Descending told by the flag byte alone (the field number's high bit cleared).
        {"indexed", "indexed.xg0", 0x1BC, 0x00, nullptr, false,
         "key 0\nindex indexed.xg0 \"Descending\" unmaintained: Indexed desc"},
        // A level 4.0 table counts the autoincrement numbers it issued, as later levels do.
        {"destination", "destination.db", 0x39, 0x09, nullptr, false, "key 0, issued 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) +
                     (c.offset == removed ? " removed" : " byte " + std::to_string(c.offset)));
        const fs::path db = copied(c.table);
        if (c.offset == removed) {
            fs::remove(dir_ / c.file);
        } else {
            auto bytes = readFile(dir_ / c.file);
            bytes.at(c.offset) = c.value;
            writeFile(dir_ / c.file, bytes);
        }
        const TableSchema schema = readTableSchema(db);
        EXPECT_EQ(described(schema), c.left);
        const std::vector<std::string>& told = c.objectLost ? schema.leftOut : schema.warnings;
        EXPECT_EQ(schema.leftOut.size() + schema.warnings.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(told.size(), 1u);
            EXPECT_TRUE(hasWarningContaining(told, dir_.path().string()) &&
                        hasWarningContaining(told, c.told))
                << ::testing::PrintToString(told);
        }
    }
}

// Every cut of a companion file reads either as it was (the cut fell in unused bytes) or as if
// the file were absent, with a warning naming it; never a crash, never a part of it.
TEST_F(SchemaFileDamageTest, EveryTruncationReadsWholeOrNotAtAll) {
    const std::pair<std::string, std::string> cases[] = {{"C", "C.VAL"},
                                                         {"multiple", "multiple.val"},
                                                         {"fk4", "fk4.XG0"},
                                                         {"indexed", "indexed.xg0"}};
    for (const auto& [table, file] : cases) {
        const fs::path db = copied(table);
        const std::string whole = described(readTableSchema(db));
        const auto original = readFile(dir_ / file);
        fs::remove(dir_ / file);
        const std::string without = described(readTableSchema(db));
        // Every size through the headers, then every seventh.
        for (std::size_t size = 0; size < original.size(); size += size < 400 ? 1 : 7) {
            writeFile(dir_ / file, {original.begin(), original.begin() + size});
            const TableSchema schema = readTableSchema(db);
            if (described(schema) == whole)
                continue;
            SCOPED_TRACE(file + " cut to " + std::to_string(size));
            EXPECT_EQ(described(schema), without);
            EXPECT_TRUE(schema.warnings.empty());
            ASSERT_EQ(schema.leftOut.size(), 1u);
            EXPECT_NE(schema.leftOut[0].find(file), std::string::npos);
        }
    }
}

} // namespace
} // namespace dravena::paradox::testing
