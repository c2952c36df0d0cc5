// dravena-cli send --schema full against the test server: every table of the joins samples and
// the typed samples, with the server's catalog checked and every value read back (--verify).

#include "CliRun.h"
#include "TestDatabase.h"
#include "TransferTables.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using dravena::testing::CliRun;
using dravena::testing::runCli;

namespace dravena {
namespace {

namespace fs = std::filesystem;

std::string lines(const QStringList& list) {
    return list.join(u'\n').toStdString();
}

const fs::path samples = DRAVENA_PARADOX_SAMPLES;

// Copies of joins tables, writable.
void copyJoins(const fs::path& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        fs::copy_file(samples / "joins" / name, dir / name);
        fs::permissions(dir / name, fs::perms::owner_write, fs::perm_options::add);
    }
}

// FK4's index on (FK1, FK) made unique (a 7.x index file, flag 0x20).
void makeFk4IndexUnique(const fs::path& dir) {
    std::fstream index(dir / "fk4.XG0", std::ios::in | std::ios::out | std::ios::binary);
    index.seekp(0x39);
    index.put(0x0C);
    index.seekp(0x55);
    index.put(0x20);
}

// C.VAL: a minimum and a maximum (Long values) for A (its second check record, at 0x51): the
// pointers set, the two values put in before the references, which move 8 bytes on, as does the
// footer.
void giveCARange(const fs::path& dir, char minimum, char maximum) {
    std::ifstream in(dir / "C.VAL", std::ios::binary);
    std::vector<char> val{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    ASSERT_EQ(val.size(), 1176u);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            val[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    };
    put32(0x09, 1073 + 8);
    put32(0x0D, 0x6D + 8);
    put32(0x51 + 0x0C, 1);
    put32(0x51 + 0x10, 1);
    const char limits[8] = {'\x80', 0, 0, minimum, '\x80', 0, 0, maximum};
    val.insert(val.begin() + 0x6D, limits, limits + 8);
    std::ofstream(dir / "C.VAL", std::ios::binary | std::ios::trunc)
        .write(val.data(), static_cast<std::streamsize>(val.size()));
}

class SchemaFullCli : public testing::ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!fs::exists(samples / "joins"))
            GTEST_SKIP() << "no sample tables at " << samples;
    }

    // The foreign keys of a full run would keep other suites from dropping these tables.
    void TearDown() override {
        if (!IsSkipped())
            dropWithForeignKeys(sent_);
    }
    void dropWithForeignKeys(const QStringList& tables) const {
        for (const QString& table : tables)
            executeAll({QStringLiteral("DROP TABLE IF EXISTS \"%1\" CASCADE").arg(table)});
    }

    // Sends and verifies the tables; `more` options go before the tables.
    CliRun send(const fs::path& folder, const QStringList& tables,
                const QStringList& more = {"--batch", "100"}) {
        dropWithForeignKeys(tables);
        sent_ += tables;
        return runCli(QStringList{"send", "--folder", QString::fromStdString(folder.string()),
                                  "--sid", db.sid, "--user", db.user, "--schema", "full",
                                  "--overwrite", "yes", "--verify"} +
                          more + tables,
                      testing::cliEnvironment(&db.password));
    }

    // The lines of what a run told that match the pattern, in their order.
    static QStringList told(const CliRun& run, const QString& pattern) {
        const QRegularExpression expression(pattern);
        QStringList found;
        // The failures (standard error), then the results (standard output).
        for (const QString& line : (run.errors + run.output).split(u'\n'))
            if (expression.match(line).hasMatch())
                found.append(line);
        return found;
    }
    // The tables the run's check found identical, sorted.
    static QStringList identical(const CliRun& run) {
        QStringList names;
        for (const QString& line : told(run, QStringLiteral("^\\S+: identical, ")))
            names.append(line.section(u':', 0, 0));
        names.sort();
        return names;
    }

    // Rows of a catalog query, each as its values joined by " ", sorted, one a line.
    std::string rows(const QString& sql) const { return rowList(sql).join(u'\n').toStdString(); }
    QStringList rowList(const QString& sql) const {
        const auto connection = connect(ClientSideCursor);
        const auto cursor = connection->query(sql);
        QStringList out;
        for (; !cursor->atEnd(); cursor->moveNext()) {
            QStringList values;
            for (int i = 0; i < cursor->fieldCount(); ++i) {
                const Value& v = cursor->fieldValue(i);
                const auto* s = std::get_if<std::string>(&v);
                values.append(s ? QString::fromStdString(*s) : QStringLiteral("NULL"));
            }
            out.append(values.join(u' '));
        }
        out.sort();
        return out;
    }

    QStringList sent_;
};

// Over four connections, in arrays: keys, indexes, checks, comments and every value arrive; the
// foreign keys wait until every table of the run is in, whichever connection brought its master.
TEST_F(SchemaFullCli, JoinsTablesArriveWithKeysIndexesChecksAndForeignKeys) {
    QStringList tables =
        testing::tableNamesIn(QString::fromStdString((samples / "joins").string()));
    ASSERT_EQ(tables.size(), 18);
    const CliRun run = send(samples / "joins", tables, {"--batch", "100", "--jobs", "4"});
    // The two lookups refer to unkeyed tables: reported, not carried; so the run is not whole.
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_EQ(
        lines(told(run, QStringLiteral(": not carried | failed: "))),
        lines(QStringList{"JOINB: not carried lookup \"FK_JOINB_Id\" (\"Id\") to \"JOINA\": not "
                          "the whole primary key of \"JOINA\"",
                          "ORIGIN: not carried lookup \"FK_ORIGIN_FK\" (\"FK\") to "
                          "\"DESTINATION\": not the whole primary key of \"DESTINATION\""}))
        << run.errors.toStdString();
    EXPECT_TRUE(
        run.errors.contains("FK1: warning: referential integrity \"reference\": Oracle has no "
                            "update cascade"))
        << run.errors.toStdString();
    tables.sort();
    EXPECT_EQ(identical(run), tables) << run.errors.toStdString();

    EXPECT_EQ(rows("SELECT tc.table_name, kc.column_name, CAST(kc.ordinal_position AS VARCHAR(3)) "
                   "FROM information_schema.table_constraints tc JOIN "
                   "information_schema.key_column_usage kc ON kc.constraint_name = "
                   "tc.constraint_name WHERE tc.constraint_type = 'PRIMARY KEY' AND "
                   "tc.table_schema = current_user"),
              lines(QStringList{"A A 1", "B B 1", "C C 1", "FK1 ID 1", "FK2 ID 1", "FK3 ID 1",
                                "FK4 ID 1", "MULTIPLE ID 1", "PRIMARY ID 1", "TO_MULTIPLE ID 1",
                                "TWO ID1 1", "TWO ID2 2"}));
    EXPECT_EQ(rows("SELECT tablename, indexdef FROM pg_indexes WHERE schemaname = current_user "
                   "AND indexname LIKE 'IX%'"),
              lines(QStringList{
                  "C CREATE INDEX \"IX_C_A\" ON dravena.\"C\" USING btree (\"A\")",
                  "C CREATE INDEX \"IX_C_B\" ON dravena.\"C\" USING btree (\"B\")",
                  "CASE CREATE INDEX \"IX_CASE_C\" ON dravena.\"CASE\" USING btree (\"C\")",
                  "FK1 CREATE INDEX \"IX_FK1_FK\" ON dravena.\"FK1\" USING btree (\"FK\")",
                  "FK2 CREATE INDEX \"IX_FK2_FK\" ON dravena.\"FK2\" USING btree (\"FK\")",
                  "FK3 CREATE INDEX \"IX_FK3_FK2\" ON dravena.\"FK3\" USING btree (\"FK2\")",
                  "FK4 CREATE INDEX \"IX_FK4_reference\" ON dravena.\"FK4\" USING btree (\"FK1\", "
                  "\"FK\")",
                  "INDEXED CREATE INDEX \"IX_INDEXED_Descending\" ON dravena.\"INDEXED\" USING "
                  "btree (\"Indexed\" DESC)",
                  "MULTIPLE CREATE INDEX \"IX_MULTIPLE_FK\" ON dravena.\"MULTIPLE\" USING btree "
                  "(\"FK\")",
                  "MULTIPLE CREATE INDEX \"IX_MULTIPLE_FK2\" ON dravena.\"MULTIPLE\" USING btree "
                  "(\"FK2\")",
                  "TO_MULTIPLE CREATE INDEX \"IX_TO_MULTIPLE_FK\" ON dravena.\"TO_MULTIPLE\" "
                  "USING btree (\"FK\")"}));
    EXPECT_EQ(
        rows("SELECT conrelid::regclass::text, confrelid::regclass::text, "
             "pg_get_constraintdef(oid) FROM pg_constraint WHERE contype = 'f'"),
        lines(QStringList{
            "\"C\" \"A\" FOREIGN KEY (\"A\") REFERENCES \"A\"(\"A\")",
            "\"C\" \"B\" FOREIGN KEY (\"B\") REFERENCES \"B\"(\"B\")",
            "\"FK1\" \"PRIMARY\" FOREIGN KEY (\"FK\") REFERENCES \"PRIMARY\"(\"ID\")",
            "\"FK2\" \"PRIMARY\" FOREIGN KEY (\"FK\") REFERENCES \"PRIMARY\"(\"ID\")",
            "\"FK3\" \"PRIMARY\" FOREIGN KEY (\"FK2\") REFERENCES \"PRIMARY\"(\"ID\")",
            "\"FK4\" \"TWO\" FOREIGN KEY (\"FK1\", \"FK\") REFERENCES \"TWO\"(\"ID1\", \"ID2\")",
            "\"MULTIPLE\" \"PRIMARY\" FOREIGN KEY (\"FK\") REFERENCES \"PRIMARY\"(\"ID\")",
            "\"MULTIPLE\" \"PRIMARY\" FOREIGN KEY (\"FK2\") REFERENCES \"PRIMARY\"(\"ID\")",
            "\"TO_MULTIPLE\" \"MULTIPLE\" FOREIGN KEY (\"FK\") REFERENCES \"MULTIPLE\"(\"ID\")"}));
    EXPECT_EQ(
        rows("SELECT conrelid::regclass::text, pg_get_constraintdef(oid) FROM "
             "pg_constraint WHERE contype = 'c' AND conname NOT LIKE 'oracle%' AND conrelid <> 0"),
        lines(QStringList{"\"C\" CHECK ((\"A\" IS NOT NULL))",
                          "\"MULTIPLE\" CHECK ((\"FK\" IS NOT NULL))",
                          "\"PARADOX-ASCII\" CHECK ((\"A\" IS NOT NULL))"}));
    EXPECT_EQ(rows("SELECT col_description('dravena.\"MULTIPLE\"'::regclass, 3)"),
              "picture [(*3{#}) ]*3{#}-*4{#}");
    // A new row of a table with an autoincrement field gets the next number.
    executeAll({"INSERT INTO \"DESTINATION\"(\"NAME\") VALUES('next')"});
    EXPECT_EQ(rows("SELECT CAST(\"ID\" AS VARCHAR(9)) FROM \"DESTINATION\" WHERE \"NAME\" = "
                   "'next'"),
              "2");
}

// One statement per row: the typed literals of every kind of field (the joins tables go in
// arrays) keep every value.
TEST_F(SchemaFullCli, TypedSamplesKeepEveryValueInTypedColumns) {
    const CliRun fields = send(samples / "fields",
                               {"BCD", "BYTES", "DATE5", "DATE7", "LOGICAL", "LONG", "MEMO", "TIME",
                                "TIMESTAMP", "GRAPHIC"},
                               {"--batch", "1"});
    EXPECT_EQ(fields.exitCode, 0) << fields.errors.toStdString();
    EXPECT_EQ(identical(fields).size(), 10) << fields.errors.toStdString();
    // TypSammlung holds a date of the year 1 BC, which DATE and TIMESTAMP cannot hold: that row
    // is refused with each such field, the others arrive.
    const CliRun typ = send(samples / "extdata", {"TYPSAMMLUNG"}, {"--batch", "1"});
    EXPECT_EQ(lines(told(typ, QStringLiteral(" failed: |not carried|^TYPSAMMLUNG: differs: "))),
              "dravena-cli send: TYPSAMMLUNG: row 3: carrying a value failed: field \"Datum\": a "
              "DATE column cannot hold the year -1\n"
              "dravena-cli send: TYPSAMMLUNG: row 3: carrying a value failed: field "
              "\"Datum/Zeit\": a TIMESTAMP(3) column cannot hold the year -1\n"
              "TYPSAMMLUNG: differs: 5 rows in the Paradox table, 4 on the server; 1 only in the "
              "Paradox table, 0 only on the server")
        << typ.errors.toStdString();
    // The column types as the server keeps them (whole numbers as bigint with a check of their
    // digits, BLOB as bytea: the test server's stand-ins).
    EXPECT_EQ(rows("SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute WHERE "
                   "attrelid = '\"TYPSAMMLUNG\"'::regclass AND attnum > 0"),
              "Alpha nvarchar2(30)\nBCD numeric(32,6)\nBin\u00e4r bytea\nBytes bytea\nDatum date\n"
              "Datum/Zeit timestamp(3) without time zone\nInteger kurz bigint\nInteger lang "
              "bigint\nLogisch bigint\nMemo nclob\nNumerisch binary_double\nW\u00e4hrung number\n"
              "Zeit interval day to second(3)\nZ\u00e4hler bigint");
}

// Constraints the data breaks are reported with the rows that break them and not created;
// everything else is, and every row arrives. C's rows are changed so that they break its key,
// its required field, a range given to it and one of its references; JOINA is made keyed on its
// first field, so that JOINB's lookup into it becomes a foreign key, which JOINB's 4 breaks.
TEST_F(SchemaFullCli, ConstraintsTheDataBreaksAreReportedAndNotCreated) {
    QTemporaryDir folder;
    const fs::path dir = folder.path().toStdString();
    copyJoins(dir, {"A.db",    "A.PX",     "A.VAL",    "B.db",      "B.PX",    "B.VAL",
                    "C.DB",    "C.PX",     "C.VAL",    "C.X02",     "C.X03",   "C.Y02",
                    "C.Y03",   "joina.db", "joinb.db", "joinb.val", "fk4.db",  "fk4.px",
                    "fk4.XG0", "fk4.YG0",  "case.db",  "case.x01",  "case.y01"});
    {
        // Records of 3 Long fields (C, A, B) from byte 2048 + 6: values stored big-endian with
        // the sign bit flipped, blank as zeros.
        std::fstream c(dir / "C.DB", std::ios::in | std::ios::out | std::ios::binary);
        const auto put = [&](int record, int field, std::uint32_t stored) {
            c.seekp(2048 + 6 + record * 12 + field * 4);
            const char bytes[4] = {static_cast<char>(stored >> 24), static_cast<char>(stored >> 16),
                                   static_cast<char>(stored >> 8), static_cast<char>(stored)};
            c.write(bytes, 4);
        };
        put(1, 0, 0x80000001u); // key 1 twice
        put(2, 1, 0);           // A blank, though required
        put(0, 2, 0x80000009u); // B 9, which B does not hold
        std::fstream a(dir / "joina.db", std::ios::in | std::ios::out | std::ios::binary);
        a.seekp(0x04);
        a.put(0); // keyed
        a.seekp(0x23);
        a.put(1); // on its first field
        // FK4's index on (FK1, FK) made unique, and both its rows (records of ID, FK1, B1, FK:
        // 15 bytes) given FK1 5 beside a blank FK: Oracle's unique index refuses ('5', NULL)
        // twice.
        std::fstream fk4(dir / "fk4.db", std::ios::in | std::ios::out | std::ios::binary);
        for (int record = 0; record < 2; ++record) {
            fk4.seekp(2048 + 6 + record * 15 + 4);
            fk4.write("\x80\x00\x00\x05", 4);
        }
        makeFk4IndexUnique(dir);
        // CASE keyed on its one field C, and its index on C made a named 7.x index "CI" with
        // flag 0x01: case-insensitive, so not the key's own index.
        std::fstream keyed(dir / "case.db", std::ios::in | std::ios::out | std::ios::binary);
        keyed.seekp(0x04);
        keyed.put(0);
        keyed.seekp(0x23);
        keyed.put(1);
        std::fstream ci(dir / "case.x01", std::ios::in | std::ios::out | std::ios::binary);
        for (const auto& [at, byte] : std::initializer_list<std::pair<int, char>>{
                 {0x04, 6}, {0x23, 2}, {0x39, 0x0C}, {0x51, 0x13}, {0x55, 0x01}}) {
            ci.seekp(at);
            ci.put(byte);
        }
        ci.seekp(0x110);
        ci.write("CI", 3); // the index name, after the sort order's; 0x51 points past it
    }
    giveCARange(dir, 2, 3);
    const CliRun run = send(dir, {"A", "B", "C", "JOINA", "JOINB", "FK4", "CASE"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(lines(told(run, QStringLiteral("^(C|JOIN.|FK4|CASE): .*carried"))),
              "C: not carried primary key \"PK_C\" (\"C\"): rows break it: (1)\n"
              "C: carried index \"IX_C_A\" (\"A\")\n"
              "C: carried index \"IX_C_B\" (\"B\")\n"
              "C: not carried required \"A\" (check \"NN_C_A\"): rows break it: (3, NULL, 6)\n"
              "C: not carried range of \"A\" (check \"CK_C_A\": \"A\" >= 2 AND \"A\" <= 3): rows "
              "break it: (1, 1, 9)\n"
              "JOINA: carried primary key \"PK_JOINA\" (\"ID\")\n"
              "FK4: carried primary key \"PK_FK4\" (\"ID\")\n"
              "FK4: not carried unique index \"IX_FK4_reference\" (\"FK1\", \"FK\"): rows break "
              "it: (5, NULL)\n"
              "CASE: carried primary key \"PK_CASE\" (\"C\")\n"
              "CASE: carried index \"IX_CASE_CI\" (UPPER(\"C\")), not maintained in Paradox\n"
              "C: carried referential integrity \"FK_C_Reference A\" (\"A\") to \"A\" (\"A\")\n"
              "C: not carried referential integrity \"FK_C_Reference B\" (\"B\") to \"B\" "
              "(\"B\"): rows break it: (9)\n"
              "JOINB: not carried lookup \"FK_JOINB_Id\" (\"Id\") to \"JOINA\" (\"ID\"): rows "
              "break it: (4)")
        << run.errors.toStdString();
    // Every row arrives, but the server lacks what was not carried: those tables differ (the
    // foreign keys come after send's check, which leaves them to the report above).
    EXPECT_EQ(identical(run), (QStringList{"A", "B", "CASE", "JOINA", "JOINB"}))
        << run.errors.toStdString();
    EXPECT_EQ(lines(told(run, QStringLiteral("^  .*: missing on the server$"))),
              "  primary key \"PK_C\" (\"C\"): missing on the server\n"
              "  required \"A\" (check \"NN_C_A\"): missing on the server\n"
              "  range of \"A\" (check \"CK_C_A\": \"A\" >= 2 AND \"A\" <= 3): missing on the "
              "server\n"
              "  unique index \"IX_FK4_reference\" (\"FK1\", \"FK\"): missing on the server")
        << run.output.toStdString();
    EXPECT_EQ(rows("SELECT conname FROM pg_constraint WHERE conrelid IN ('\"C\"'::regclass, "
                   "'\"JOINB\"'::regclass) AND conname NOT LIKE 'oracle%'"),
              "FK_C_Reference A");

    // The dry run writes the lookup as it stands.
    const CliRun again =
        runCli(QStringList{"sql", "--folder", folder.path(), "--schema", "full", "JOINB"},
               testing::cliEnvironment(&db.password));
    EXPECT_TRUE(again.lines.contains("ALTER TABLE \"JOINB\" ADD CONSTRAINT \"FK_JOINB_Id\" "
                                     "FOREIGN KEY (\"Id\") REFERENCES \"JOINA\" (\"ID\");"))
        << again.lines.join(u'\n').toStdString();
}

// A companion file that cannot be used costs the objects it holds, told one line each with the
// file and why; the table is then not whole (exit 1) though every row arrives. sql tells the same.
// A field name with control characters is carried with "_" in their place by send, verify and
// sql alike, with a warning naming the field.
TEST_F(SchemaFullCli, DamagedCompanionFilesAreToldAndTheTableIsNotWhole) {
    struct Case {
        const char* what;
        const char* table;
        std::function<void(const fs::path&)> damage;
        int exitCode;
        QString told; // the lines about the table's files, "%1" standing for the folder
    };
    const auto cut = [](const fs::path& file, std::size_t size) { fs::resize_file(file, size); };
    const Case cases[] = {
        {"a truncated .VAL", "C", [&](const fs::path& dir) { cut(dir / "C.VAL", 100); }, 1,
         "C: not carried %1/C.VAL: field count at byte 1073 runs past the end (100 bytes); its "
         "checks and references are left out"},
        {"a .Ynn without its .Xnn", "C", [](const fs::path& dir) { fs::remove(dir / "C.X02"); }, 1,
         "C: not carried %1/C.Y02: the index file C.X02 that defines its index is missing; the "
         "index is left out"},
        {"an empty .Xnn", "C", [&](const fs::path& dir) { cut(dir / "C.X03", 0); }, 1,
         "C: not carried %1/C.X03: file type at byte 4 runs past the end (0 bytes); the "
         "index is left out"},
        {"a control character in a field name", "DESTINATION",
         [](const fs::path& dir) {
             std::fstream db(dir / "destination.db",
                             std::ios::in | std::ios::out | std::ios::binary);
             db.seekp(219);
             db.put(0x01); // "NAME" becomes "N\x01ME"
         },
         0,
         "dravena-cli send: DESTINATION: warning: %1/destination.db: field 2 \"N\\x01ME\" holds "
         "control characters; it is named \"N_ME\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        const fs::path dir = folder.path().toStdString();
        for (const auto& entry : fs::directory_iterator(samples / "joins")) {
            fs::copy_file(entry.path(), dir / entry.path().filename());
            fs::permissions(dir / entry.path().filename(), fs::perms::owner_write,
                            fs::perm_options::add);
        }
        c.damage(dir);
        const QStringList tables{c.table};
        const CliRun run = send(dir, tables + QStringList{"A", "B"});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.errors.toStdString();
        const QString expected = c.told.arg(folder.path());
        EXPECT_EQ(lines(told(run, QStringLiteral("^%1: not carried|: warning: %2")
                                      .arg(c.table, QRegularExpression::escape(folder.path())))),
                  expected.toStdString())
            << run.errors.toStdString();
        EXPECT_EQ(identical(run), (QStringList{"A", "B", c.table})) << run.errors.toStdString();

        const CliRun sql = runCli({"sql", "--folder", folder.path(), "--schema", "full", c.table},
                                  testing::cliEnvironment(&db.password));
        EXPECT_EQ(sql.exitCode, 0);
        EXPECT_TRUE(sql.errors.contains(QString(expected).replace(
            QRegularExpression(QStringLiteral("^(dravena-cli send: )?")), "dravena-cli sql: ")))
            << sql.errors.toStdString();
        if (c.exitCode == 0) {
            EXPECT_EQ(rows("SELECT attname FROM pg_attribute WHERE attrelid = "
                           "'\"DESTINATION\"'::regclass AND attnum > 0"),
                      "ID\nN_ME");
            EXPECT_TRUE(sql.lines.join(u'\n').contains("\"N_ME\" NVARCHAR2"))
                << sql.lines.join(u'\n').toStdString();
        }
    }
}

// verify --schema full pairs the server's keys, indexes, checks, foreign keys and identities with
// those send carries: each one the server lost or changed is named on its own line and the table
// differs; an equal object under another name (as Oracle names its own) is only a note.
TEST_F(SchemaFullCli, VerifyNamesEachSchemaObjectTheServerLostOrChanged) {
    QTemporaryDir folder;
    const fs::path dir = folder.path().toStdString();
    copyJoins(dir, {"A.db",         "A.PX",         "B.db",         "B.PX",         "C.DB",
                    "C.PX",         "C.VAL",        "C.X02",        "C.X03",        "C.Y02",
                    "C.Y03",        "fk4.db",       "fk4.px",       "fk4.XG0",      "fk4.YG0",
                    "fk4.val",      "two.db",       "two.px",       "multiple.db",  "multiple.PX",
                    "multiple.X02", "multiple.X04", "multiple.Y02", "multiple.Y04", "multiple.val",
                    "primary.db",   "primary.px",   "primary.val"});
    makeFk4IndexUnique(dir);
    giveCARange(dir, 1, 3);
    const QStringList tables = {"A", "B", "C", "FK4", "TWO", "MULTIPLE", "PRIMARY"};
    struct Case {
        QStringList statements;
        const char* table;
        QStringList told; // the lines under the table's own
        int exitCode = 1;
    };
    const Case cases[] = {
        {{}, "C", {}, 0},
        // Oracle lets a key column take NULL again once its key is dropped.
        {{"ALTER TABLE \"C\" DROP CONSTRAINT \"PK_C\"",
          "ALTER TABLE \"C\" ALTER \"C\" DROP NOT NULL"},
         "C",
         {"  primary key \"PK_C\" (\"C\"): missing on the server"}},
        {{"ALTER TABLE \"C\" RENAME CONSTRAINT \"PK_C\" TO \"SYS_C0012\""},
         "C",
         {"  note: primary key \"PK_C\" (\"C\"): named \"SYS_C0012\" on the server"},
         0},
        {{"DROP INDEX \"IX_C_A\""}, "C", {"  index \"IX_C_A\" (\"A\"): missing on the server"}},
        {{"DROP INDEX \"IX_FK4_reference\"",
          "CREATE INDEX \"IX_FK4_reference\" ON \"FK4\" (\"FK1\", \"FK\")"},
         "FK4",
         {"  unique index \"IX_FK4_reference\" (\"FK1\", \"FK\"): not unique on the server"}},
        {{"CREATE UNIQUE INDEX \"IX_EXTRA\" ON \"C\" (\"B\", \"A\")"},
         "C",
         {"  unique index \"IX_EXTRA\" (\"B\", \"A\"): only on the server"}},
        {{"ALTER TABLE \"C\" DROP CONSTRAINT \"CK_C_A\""},
         "C",
         {"  range of \"A\" (check \"CK_C_A\": \"A\" >= 1 AND \"A\" <= 3): missing on the server"}},
        // A check of the server's own refuses rows the Paradox table takes.
        {{"ALTER TABLE \"C\" ADD CONSTRAINT \"CK_EXTRA\" CHECK (\"B\" < 10)"},
         "C",
         {"  check \"CK_EXTRA\" (\"B\" < 10): only on the server"}},
        {{"ALTER TABLE \"MULTIPLE\" DROP CONSTRAINT \"NN_MULTIPLE_FK\""},
         "MULTIPLE",
         {"  required \"FK\" (check \"NN_MULTIPLE_FK\"): missing on the server"}},
        {{"ALTER TABLE \"C\" DROP CONSTRAINT \"FK_C_Reference B\""},
         "C",
         {"  referential integrity \"FK_C_Reference B\" (\"B\") to \"B\" (\"B\"): missing on the "
          "server"}},
        {{"COMMENT ON COLUMN \"MULTIPLE\".\"A\" IS NULL"},
         "MULTIPLE",
         {"  picture of \"A\" (column comment): missing on the server"}},
        {{"ALTER TABLE \"MULTIPLE\" ALTER \"ID\" RESTART WITH 12"},
         "MULTIPLE",
         {"  identity of \"ID\": next value 12 on the server, the table's 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statements.join("; ").toStdString());
        const CliRun sent = send(dir, tables);
        ASSERT_EQ(sent.exitCode, 0) << sent.errors.toStdString() << sent.output.toStdString();
        for (const QString& statement : c.statements)
            executeAll({statement});
        const CliRun checked =
            runCli(QStringList{"verify", "--folder", folder.path(), "--sid", db.sid, "--user",
                               db.user, "--schema", "full", QLatin1String(c.table)},
                   testing::cliEnvironment(&db.password));
        EXPECT_EQ(checked.exitCode, c.exitCode) << checked.output.toStdString();
        const qsizetype head = checked.lines.indexOf(
            QRegularExpression(QStringLiteral("%1: (identical|differs).*").arg(c.table)));
        ASSERT_GE(head, 0) << checked.output.toStdString();
        QStringList under;
        for (qsizetype i = head + 1; i < checked.lines.size() && checked.lines[i].startsWith("  ");
             ++i)
            under.append(checked.lines[i]);
        EXPECT_EQ(lines(under), lines(c.told)) << checked.output.toStdString();
    }
}

} // namespace
} // namespace dravena
