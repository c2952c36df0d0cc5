// dravena-cli check as a user runs it: made tables with one fault each, and the shared samples,
// read through --json; the source folder left as it was.

#include "CliRun.h"
#include "paradoxwriter/TableWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

using dravena::testing::CliRun;
using dravena::testing::runCli;

namespace dravena {
namespace {

namespace fs = std::filesystem;
using paradox::Field;
using paradox::FieldType;
using paradox::Value;

void patch(const fs::path& file, std::streamoff at, std::initializer_list<char> bytes) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(at);
    for (const char b : bytes)
        out.put(b);
}

std::streamoff headerSizeOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(0x02);
    const int low = in.get();
    return low + 256 * in.get();
}

void write(const fs::path& file, const std::vector<Field>& fields,
           const std::vector<std::vector<Value>>& rows, int codePage = 1252) {
    paradox::WriterOptions options;
    options.codePage = codePage;
    paradox::TableWriter writer(file, fields, options);
    for (const auto& row : rows)
        writer.append(row);
    writer.finish();
}

// The run's document: its tables by name.
std::map<QString, QJsonObject> tablesOf(const CliRun& run) {
    std::map<QString, QJsonObject> tables;
    const QJsonDocument document = QJsonDocument::fromJson(run.output.toUtf8());
    EXPECT_TRUE(document.isObject()) << run.output.toStdString() << run.errors.toStdString();
    for (const QJsonValue table : document["tables"].toArray())
        tables[table["table"].toString()] = table.toObject();
    return tables;
}

// The table's finding of the kind whose text contains `about`; empty when there is none.
QJsonObject findingOf(const QJsonObject& table, const QString& kind, const QString& about) {
    for (const QJsonValue finding : table["findings"].toArray())
        if (finding["kind"] == kind && finding["text"].toString().contains(about))
            return finding.toObject();
    return {};
}

std::vector<int> rowsOf(const QJsonObject& finding) {
    std::vector<int> rows;
    for (const QJsonValue row : finding["rows"].toArray())
        rows.push_back(row.toInt());
    return rows;
}

// Every file of the folder with its size and bytes.
std::map<fs::path, std::string> contentsOf(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

QString text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// One made table per fault, each found with its rows, under --schema full; a table whose text is
// in another code page than its header's reads clean once --code-page names the right one.
TEST(CheckCli, FindsEachFaultOfMadeTablesWithItsRows) {
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    const std::vector<Field> named{{"Id", FieldType::Long, 4}, {"Name", FieldType::Alpha, 20}};
    write(folder / "clean.db", named, {{std::int64_t{1}, std::string("Anna")}});
    // Windows Cyrillic text under a header that names the DOS Cyrillic code page: capitals
    // become box-drawing characters.
    write(folder / "cyrillic.db", named,
          {{std::int64_t{1}, std::string("Ok")}, {std::int64_t{2}, std::string("Москва")}}, 1251);
    patch(folder / "cyrillic.db", 0x6A, {char(866 & 0xFF), char(866 >> 8)});
    // Windows Western text under a header naming DOS Cyrillic: "ü" becomes "№" inside a word.
    write(folder / "western.db", named,
          {{std::int64_t{1}, std::string("Erste")}, {std::int64_t{2}, std::string("Fünfter")}},
          1252);
    patch(folder / "western.db", 0x6A, {char(866 & 0xFF), char(866 >> 8)});
    // DOS Cyrillic under a header naming 1252, which has no character for the byte of "П".
    write(folder / "nochar.db", named,
          {{std::int64_t{1}, std::string("a")},
           {std::int64_t{2}, std::string("b")},
           {std::int64_t{3}, std::string("Привет")}},
          866);
    patch(folder / "nochar.db", 0x6A, {char(1252 & 0xFF), char(1252 >> 8)});
    write(folder / "damaged.db", named, {{std::int64_t{1}, std::string("x")}});
    patch(folder / "damaged.db", headerSizeOf(folder / "damaged.db") + 4,
          {3, 0}); // the first block's last record offset: not a record's
    write(folder / "fardate.db", {{"Day", FieldType::Date, 4}},
          {{paradox::Date{2001, 2, 3}}, {paradox::Date{10000, 1, 1}}});
    write(folder / "dupkey.db", named,
          {{std::int64_t{1}, std::string("a")},
           {std::int64_t{2}, std::string("b")},
           {std::int64_t{1}, std::string("c")},
           {Value{}, std::string("d")}});
    patch(folder / "dupkey.db", 0x04, {0}); // keyed on its first field
    patch(folder / "dupkey.db", 0x23, {1});

    // Memo texts outside the record, and the .MB that holds them gone.
    write(folder / "nomb.db", {{"Notes", FieldType::Memo, 11}},
          {{std::string(300, 'm')}, {std::string(300, 'n')}});
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().stem() == "nomb" && entry.path().extension() != ".db")
            fs::remove(entry.path());
    // Another program's lock on a table, with the user the net file names.
    write(folder / "locked.db", named, {{std::int64_t{1}, std::string("z")}});
    std::ofstream(folder / "LOCKED.LCK", std::ios::binary).write("\x01\x00\x02\x00\x9a\x00", 6);
    std::ofstream(folder / "PDOXUSRS.NET", std::ios::binary)
        .write("\x01\x00\x00\x00"
               "ALICE\0\0\0\0",
               13);
    QTemporaryDir runs;
    const fs::path report = fs::path(runs.path().toStdString()) / "run";
    const auto before = contentsOf(folder);
    const CliRun run = runCli({"check", "--folder", text(folder), "--all", "--schema", "full",
                               "--json", "--report", text(report)},
                              testing::cliEnvironment());
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_EQ(contentsOf(folder), before);
    EXPECT_TRUE(fs::exists(report / "report.json") && fs::exists(report / "report.html"));
    // The page's table of tables tells records and findings, not rows sent by a send.
    std::ifstream pageFile(report / "report.html");
    const std::string page(std::istreambuf_iterator<char>(pageFile), {});
    EXPECT_NE(page.find(">Findings</th>"), std::string::npos);
    EXPECT_EQ(page.find(">Rows sent</th>"), std::string::npos);
    auto tables = tablesOf(run);

    struct Case {
        const char* table;
        const char* verdict;
        const char* kind;
        const char* about;
        std::vector<int> rows;
        bool loses;
    };
    const std::vector<Case> cases{
        {"CLEAN", "ok", nullptr, nullptr, {}, false},
        {"CYRILLIC", "warnings", "suspect text", "\"Name\"", {2}, false},
        {"WESTERN", "warnings", "suspect text", "'№' in a word", {2}, false},
        {"NOCHAR", "would lose or refuse", "no character", "\"Name\"", {3}, true},
        {"DAMAGED", "unreadable", "unreadable", "damaged block chain", {}, true},
        {"NOMB", "would lose or refuse", "companion", "no readable .MB", {}, true},
        {"FARDATE", "would lose or refuse", "refused", "year 10000", {2}, true},
        {"DUPKEY", "would lose or refuse", "object", "rows repeating the key", {3}, true},
        {"DUPKEY", "would lose or refuse", "object", "blank key field", {4}, true},
        {"LOCKED",
         "warnings",
         "in use",
         "held for writing by another program: user ALICE",
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const QJsonObject& table = tables[QString::fromLatin1(c.table)];
        EXPECT_EQ(table["verdict"].toString().toStdString(), c.verdict);
        if (c.kind == nullptr) {
            EXPECT_TRUE(table["findings"].toArray().isEmpty());
            continue;
        }
        const QJsonObject finding =
            findingOf(table, QLatin1String(c.kind), QString::fromUtf8(c.about));
        ASSERT_FALSE(finding.isEmpty()) << QJsonDocument(table).toJson().toStdString();
        EXPECT_EQ(rowsOf(finding), c.rows);
        EXPECT_EQ(finding["loses"].toBool(), c.loses);
    }
    EXPECT_EQ(tables["CYRILLIC"]["code_page"].toString(), "CP866");

    const CliRun chosen =
        runCli({"check", "--folder", text(folder), "--code-page", "cyrillic=CP1251", "--json",
                "--report", text(report.parent_path() / "run2"), "CYRILLIC"},
               testing::cliEnvironment());
    EXPECT_EQ(chosen.exitCode, 0) << chosen.output.toStdString();
    EXPECT_EQ(tablesOf(chosen)["CYRILLIC"]["verdict"].toString(), "ok");
    // A table held for writing is one send would not read once --refuse-locked says so.
    const CliRun refusing =
        runCli({"check", "--folder", text(folder), "--refuse-locked", "--json", "--report",
                text(report.parent_path() / "run3"), "LOCKED", "CLEAN"},
               testing::cliEnvironment());
    EXPECT_EQ(refusing.exitCode, 1) << refusing.output.toStdString();
    EXPECT_EQ(tablesOf(refusing)["LOCKED"]["verdict"].toString(), "would lose or refuse");
    EXPECT_EQ(tablesOf(refusing)["CLEAN"]["verdict"].toString(), "ok");
}

// The shared samples as a user meets them: each table's verdict and the findings that matter,
// in a copy of the folder that check leaves as it was.
TEST(CheckCli, SharedSamplesAsExpected) {
    const fs::path samples = fs::path(DRAVENA_PARADOX_SAMPLES) / "extdata";
    if (!fs::exists(samples))
        GTEST_SKIP() << "no sample tables at " << samples;
    QTemporaryDir dir;
    const fs::path folder = fs::path(dir.path().toStdString()) / "extdata";
    fs::copy(samples, folder, fs::copy_options::recursive);
    const auto before = contentsOf(folder);
    const CliRun run = runCli({"check", "--folder", text(folder), "--all", "--schema", "full",
                               "--json", "--report", text(folder.parent_path() / "run")},
                              testing::cliEnvironment());
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_EQ(contentsOf(folder), before);
    auto tables = tablesOf(run);
    std::map<QString, QString> verdicts;
    for (const auto& [name, table] : tables)
        verdicts[name] = table["verdict"].toString();
    const std::map<QString, QString> expected{{"BIOLIFE", "warnings"},
                                              {"COUNTRY", "warnings"},
                                              {"EMPTY", "ok"},
                                              {"OF", "warnings"},
                                              {"TYPSAMMLUNG", "would lose or refuse"}};
    EXPECT_EQ(verdicts, expected);

    const QJsonObject& of = tables["OF"];
    EXPECT_EQ(of["code_page"].toString(), "none");
    EXPECT_EQ(of["read_as"].toString(), "CP866");
    EXPECT_EQ(of["records"].toInt(), 2197);
    int cut = 0;
    for (const QJsonValue column : of["full_columns"].toArray())
        if (column["column"] != column["field"]) {
            ++cut;
            EXPECT_LE(column["column"].toString().toUtf8().size(), 30);
        }
    EXPECT_EQ(cut, 6);
    EXPECT_FALSE(findingOf(of, "name", QStringLiteral("\"Инвентарный номер\"")).isEmpty());

    const QJsonObject& typs = tables["TYPSAMMLUNG"];
    for (const char* field : {"\"Datum\"", "\"Datum/Zeit\""}) {
        const QJsonObject refused = findingOf(typs, "refused", QString::fromUtf8(field));
        EXPECT_EQ(rowsOf(refused), std::vector<int>{3}) << field;
    }
    EXPECT_EQ(tables["BIOLIFE"]["level"].toInt(), 40);
    EXPECT_EQ(tables["BIOLIFE"]["code_page"].toString(), "CP437");
}

// --sid and --user are taken (the files are checked all the same; a server that cannot be
// signed on to counts as refused); a wrong command line ends with status 2 before any table is
// read.
TEST(CheckCli, TakesTheServerOptionsAndRefusesAWrongCommandLine) {
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
    write(folder / "clean.db", {{"Id", FieldType::Long, 4}}, {{std::int64_t{1}}});
    QTemporaryDir runs;
    const QStringList common{"check", "--folder", text(folder), "--report", runs.path()};
    struct Case {
        QStringList arguments;
        int status;
    };
    const std::vector<Case> cases{
        {{"--sid", "ORCL", "--user", "SCOTT", "CLEAN"}, 1},
        {{"--name-bytes", "128", "CLEAN"}, 0},
        {{"--name-bytes", "64", "CLEAN"}, 2},
        {{"CLEAN", "--sid"}, 2},
        {{"--schema", "typed", "CLEAN"}, 2},
        {{"--code-page", "NO-SUCH-SET", "CLEAN"}, 2},
        {{"NOSUCH"}, 2},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(common + c.arguments, testing::cliEnvironment());
        EXPECT_EQ(run.exitCode, c.status) << c.arguments.join(u' ').toStdString() << "\n"
                                          << run.errors.toStdString();
    }
}

} // namespace
} // namespace dravena
