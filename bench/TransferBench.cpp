// The transfer's speed against the test server, as a ratio to the least any client can do with
// one INSERT per row: the same INSERT texts executed directly through unixODBC, in the same run.
//
//   ours    SendTablesToOracle with one INSERT per row (as dravena-cli send --batch 1)
//   direct  sign-on, CREATE TABLE and the same statement texts, built beforehand, through
//           SQLExecDirectW and nothing else, under the same statement time limit
//   window  the tables window's send button
//   batch   SendTablesToOracle with arrays of 1,000 rows (as dravena-cli send)
//   verify  TableChecker comparing the sent table with the Paradox table (dravena-cli verify)
//
// Each is measured on a 10,000-row and a 100,000-row table of twelve fields, so that the rates
// show whether time grows in proportion to the rows; the peak memory of the process is printed
// after each run. The runs of all ways are interleaved, repeat after repeat, and the median of
// the repeats counts, with their spread. Direct and ours are measured twice: free, and with this
// process and the server pinned to one CPU (as taskset does), which takes the wake-ups of a
// client and a server on different CPUs out of the ratio. Verifying is set against sending in
// arrays on the largest table: checking a table should take no longer than sending it. Run
// through bench/transfer-bench, which starts a private test server and names its main process in
// DRAVENA_BENCH_SERVER_PID.

#include "base/Dialogs.h"
#include "base/Ports.h"
#include "compare/TableCheck.h"
#include "connections/Form1.h"
#include "dataaccess/ConnectionEntries.h"
#include "dataaccess/ConnectionStrings.h"
#include "drivers/Drivers.h"
#include "odbc/ServerTimeLimits.h"
#include "paradoxwriter/TableWriter.h"
#include "schema/Statements.h"
#include "tables/Form2.h"
#include "tables/TableList.h"
#include "transfer/TransferFrontEnd.h"
#include "transfer/TransferRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <sched.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace dravena;
namespace fs = std::filesystem;

namespace {

const fs::path folder = fs::temp_directory_path() / "dravena-bench-transfer-1";

// Twelve fields: integers, floats, BCD, dates, texts of 10 to 60 characters, a short memo, a
// BLOB of about 200 bytes, and some NULLs.
// With memoChars, every memo is that long; the rows in `refused` hold a Ratio beyond FLOAT's range,
// which the server refuses.
void writeTable(const fs::path& file, int rows, std::size_t memoChars = 0,
                const std::vector<int>& refused = {}) {
    using paradox::FieldType;
    paradox::WriterOptions options;
    options.replaceExisting = true;
    paradox::TableWriter writer(file,
                                {{"Id", FieldType::Long, 4},
                                 {"Qty", FieldType::Short, 2},
                                 {"Ratio", FieldType::Number, 8},
                                 {"Price", FieldType::Money, 8},
                                 {"Total", FieldType::Bcd, 2},
                                 {"SaleDate", FieldType::Date, 4},
                                 {"Shipped", FieldType::Timestamp, 8},
                                 {"Name", FieldType::Alpha, 60},
                                 {"City", FieldType::Alpha, 30},
                                 {"Paid", FieldType::Logical, 1},
                                 {"Notes", FieldType::Memo, 40},
                                 {"Picture", FieldType::Blob, 10}},
                                options);
    std::vector<paradox::Value> row(12);
    for (int i = 0; i < rows; ++i) {
        row[0] = std::int64_t{i};
        row[1] = std::int64_t{i % 30000 - 15000};
        row[2] = std::find(refused.begin(), refused.end(), i) != refused.end() ? 1e130 : i / 7.0;
        row[3] = (i % 100000) / 100.0;
        row[4] = paradox::Decimal{std::to_string(i % 1000000) + "." + std::to_string(10 + i % 90)};
        row[5] = paradox::Date{1990 + i % 30, 1 + i % 12, 1 + i % 28};
        row[6] =
            i % 5 == 0
                ? paradox::Value{}
                : paradox::Value{paradox::Timestamp{{2000 + i % 20, 6, 15}, {12, i % 60, 0, 0}}};
        std::string name = "Customer " + std::to_string(i) + " O'Brien ";
        name.append(static_cast<std::size_t>(i % 45), 'x');
        name.resize(std::min<std::size_t>(name.size(), 60)); // 10 to 60 characters
        row[7] = name;
        row[8] = i % 7 == 0 ? paradox::Value{} : paradox::Value{std::string("Kapaa Kauai")};
        row[9] = i % 3 == 0;
        std::string note = "Note " + std::to_string(i) + ", delivered";
        if (memoChars > 0)
            note.resize(memoChars, 'm');
        row[10] = note;
        paradox::Bytes picture(190 + static_cast<std::size_t>(i % 20));
        for (std::size_t b = 0; b < picture.size(); ++b)
            picture[b] = static_cast<std::uint8_t>(b * 31 + static_cast<std::size_t>(i));
        row[11] = i % 11 == 0 ? paradox::Value{} : paradox::Value{picture};
        writer.append(row);
    }
    writer.finish();
}

// The table of `rows` rows, written once and reused by later runs; with memoChars, a table
// whose memos are that long.
QString benchTable(int rows, std::size_t memoChars = 0) {
    const std::string name = (memoChars > 0 ? "BENCHMEMO" : "BENCH") + std::to_string(rows);
    const fs::path done = folder / (name + ".complete");
    if (!fs::exists(done)) {
        std::fprintf(stderr, "Writing %d rows into %s (once)\n", rows, folder.c_str());
        fs::create_directories(folder);
        writeTable(folder / (name + ".DB"), rows, memoChars);
        std::ofstream(done) << rows << "\n";
    }
    return QString::fromStdString(name);
}

// The size of a real table of zip codes: 43,185 rows, clean (BENCH43185) and with ten rows the
// server refuses in nine arrays of 1,000 (BENCHREFUSED43185: at the start, the middle and the end
// of an array, two in one array); written once.
constexpr int RefusedTableRows = 43185;
QString refusedTable() {
    const std::string name = "BENCHREFUSED" + std::to_string(RefusedTableRows);
    const fs::path done = folder / (name + ".complete");
    if (!fs::exists(done)) {
        std::fprintf(stderr, "Writing %d rows into %s (once)\n", RefusedTableRows, folder.c_str());
        fs::create_directories(folder);
        writeTable(folder / (name + ".DB"), RefusedTableRows, 0,
                   {3000, 7500, 11999, 15000, 20400, 20444, 26999, 31000, 38500, 43184});
        std::ofstream(done) << RefusedTableRows << "\n";
    }
    return QString::fromStdString(name);
}

// Twenty tables of 5,000 rows, JOBS01 to JOBS20, for sending with several jobs; written once.
fs::path jobTables() {
    const fs::path jobs = folder / "jobs";
    const fs::path done = jobs / "tables.complete";
    if (!fs::exists(done)) {
        std::fprintf(stderr, "Writing 20 tables of 5000 rows into %s (once)\n", jobs.c_str());
        fs::create_directories(jobs);
        for (int table = 1; table <= 20; ++table) {
            char name[16];
            std::snprintf(name, sizeof name, "JOBS%02d.DB", table);
            writeTable(jobs / name, 5000);
        }
        std::ofstream(done) << 20 << "\n";
    }
    return jobs;
}

struct Server {
    QString sid = qEnvironmentVariable("DRAVENA_TEST_SID");
    QString user = qEnvironmentVariable("DRAVENA_TEST_USER");
    QString password = qEnvironmentVariable("DRAVENA_TEST_PASSWORD");
    QString connectionString() const { return oracleConnectionString(sid, user, password); }
};

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Counts what goes wrong; shows nothing.
class QuietDialogs final : public Dialogs {
public:
    void message(const QString&, const QString&) override { ++failures; }
    int question(const QString&, const QString&, int) override { return AnswerYes; }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    void errorReport(const QString& text) override {
        if (++failures <= 3)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    int failures = 0;
};

// dravena-cli send's way: no window, no yielding.
// Drops the server table before a timed run, as the direct run does outside its time.
void dropServerTable(const Server& server, const QString& table) {
    const auto connection = dataAccess().createConnection();
    connection->open(server.connectionString());
    connection->execute(QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(table));
}

class QuietFrontEnd final : public TransferFrontEnd, private ConnectionEntries {
public:
    QuietFrontEnd(const Server& server, QString table, int rowsPerArray = 1)
        : server_(server), table_(std::move(table)), rowsPerArray_(rowsPerArray) {}
    const ConnectionEntries& entries() const override { return *this; }
    int currentTableIndex() const override { return 0; }
    int tableCount() const override { return 1; }
    bool isTableSelected(int) const override { return true; }
    QString tableName(int) const override { return table_; }
    bool isInServerList(const QString&) const override { return false; }
    void removeFromServerList(const QString&) override {}
    void addToServerList(const QString&) override {}
    int askOverwrite(const QString&) override { return AnswerYes; }
    void tellNoTableSelected() override {}
    void setPointer(int) override {}
    void setProgress(double) override {}
    void resetProgress() override {}
    void yield() override {}
    int rowsPerArray() const override { return rowsPerArray_; }
    void reportFailure(const TransferFailure& failure) override {
        if (++failures <= 3)
            std::fprintf(stderr, "failed at %d: %s\n", failure.line,
                         qPrintable(failure.description));
    }
    void reportReadingProblems(const QString&, const QStringList&) override {}
    int failures = 0;

private:
    QString paradoxFolder() const override { return QString::fromStdString(folder.string()); }
    QString oracleSid() const override { return server_.sid; }
    QString oracleUser() const override { return server_.user; }
    QString oraclePassword() const override { return server_.password; }
    const Server& server_;
    QString table_;
    int rowsPerArray_;
};

// The process's processor time so far (user and system, every thread), in seconds.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The processor time of the last timed run: from startTiming to secondsOf.
double cpuAtStart = 0;
double cpuOfLastRun = 0;

void startTiming(QElapsedTimer& timer) {
    cpuAtStart = cpuSeconds();
    timer.start();
}

double secondsOf(const QElapsedTimer& timer) {
    cpuOfLastRun = cpuSeconds() - cpuAtStart;
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// One INSERT per row unless rowsPerArray says otherwise.
double runOurs(const Server& server, const QString& table, int rowsPerArray = 1) {
    dropServerTable(server, table);
    QuietFrontEnd frontEnd(server, table, rowsPerArray);
    QElapsedTimer timer;
    startTiming(timer);
    SendTablesToOracle(frontEnd);
    const double seconds = secondsOf(timer);
    if (frontEnd.failures > 0)
        std::fprintf(stderr, "ours: %d failures\n", frontEnd.failures);
    return seconds;
}

double runBatch(const Server& server, const QString& table) {
    return runOurs(server, table, 1000);
}

// Checks the table that the last run sent.
double runVerify(const Server& server, const QString& table) {
    QuietFrontEnd frontEnd(server, table);
    QElapsedTimer timer;
    startTiming(timer);
    const TableCheck check = TableChecker(frontEnd.entries(), NameLimit{}).check(table, table);
    const double seconds = secondsOf(timer);
    if (!check.identical())
        std::fprintf(stderr,
                     "verify: not identical: %s %lld only in Paradox, %lld only on the "
                     "server\n",
                     qPrintable(check.failure), static_cast<long long>(check.rows.onlyInParadox),
                     static_cast<long long>(check.rows.onlyOnServer));
    return seconds;
}

// The window's own rows per round trip unless rowsPerArray says otherwise.
double runWindow(const Server& server, const QString& table, int rowsPerArray = 0) {
    dropServerTable(server, table);
    auto dialogs = std::make_shared<QuietDialogs>();
    ports().dialogs = dialogs;
    Form1 form1([] { return std::unique_ptr<TablesWindow>(); });
    form1.findChild<QLineEdit*>("Text1")->setText(QString::fromStdString(folder.string()));
    form1.findChild<QLineEdit*>("Text2")->setText(server.sid);
    form1.findChild<QLineEdit*>("Text3")->setText(server.user);
    form1.findChild<QLineEdit*>("Text4")->setText(server.password);
    Form2 window(form1);
    if (rowsPerArray > 0)
        window.setRowsPerArray(rowsPerArray);
    window.show();
    window.paradoxList().addEntry(table);
    window.paradoxList().setEntrySelected(0, true);
    window.paradoxList().setCurrentIndex(0);
    QElapsedTimer timer;
    startTiming(timer);
    window.findChild<QPushButton*>("PushButton4")->click();
    const double seconds = secondsOf(timer);
    if (dialogs->failures > 0)
        std::fprintf(stderr, "window: %d failures\n", dialogs->failures);
    return seconds;
}

std::vector<std::u16string> statementTexts(const QString& table, const QString& serverTable) {
    const auto paradox = dataAccess().createConnection();
    paradox->setCursorLocation(ClientSideCursor);
    paradox->open(paradoxConnectionString(QString::fromStdString(folder.string())));
    Recordset rows;
    rows.open(selectAllStatement(table), *paradox);
    std::vector<bool> blob(static_cast<std::size_t>(rows.fieldCount()), false);
    blob.back() = true;
    InsertStatementBuilder insert(serverTable, blob);
    std::vector<std::u16string> texts;
    for (; !rows.atEnd(); rows.moveNext()) {
        insert.begin();
        for (int i = 0; i < rows.fieldCount(); ++i)
            insert.appendValue(rows.fieldValue(i));
        const QString text = insert.finish().text;
        texts.emplace_back(reinterpret_cast<const char16_t*>(text.utf16()),
                           static_cast<std::size_t>(text.size()));
    }
    return texts;
}

// Signs on, creates the table and executes the texts one by one through unixODBC's own calls;
// returns the seconds taken. Ours signs on and creates its table in its time too.
double runDirect(const Server& server, const QString& table) {
    const QString serverTable = table + QStringLiteral("_DIRECT");
    const std::vector<std::u16string> texts = statementTexts(table, serverTable);
    QElapsedTimer timer;
    startTiming(timer);
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    const QByteArray connection = server.connectionString().toUtf8();
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, (SQLCHAR*)connection.constData(), SQL_NTS,
                                        nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
        std::fprintf(stderr, "direct: cannot connect\n");
        return 0;
    }
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    // The statement time limit every statement of ours carries: the server pays for it on every
    // statement (PostgreSQL arms a timer per statement).
    setQueryTimeout(stmt);
    const auto exec = [&](const std::u16string& sql) {
        return SQL_SUCCEEDED(
            SQLExecDirectW(stmt, (SQLWCHAR*)sql.data(), static_cast<SQLINTEGER>(sql.size())));
    };
    const auto u16 = [](const QString& s) {
        return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                              static_cast<std::size_t>(s.size()));
    };
    exec(u16(QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(serverTable)));
    exec(u16(QStringLiteral("CREATE TABLE \"%1\"(\"Id\" INT,\"Qty\" INT,\"Ratio\" FLOAT,"
                            "\"Price\" NVARCHAR2(2000),\"Total\" DECIMAL(32,2),\"SaleDate\" "
                            "NVARCHAR2(2000),\"Shipped\" NVARCHAR2(2000),\"Name\" "
                            "NVARCHAR2(2000),\"City\" NVARCHAR2(2000),\"Paid\" NVARCHAR2(2000),"
                            "\"Notes\" NVARCHAR2(2000),\"Picture\" BLOB)")
                 .arg(serverTable)));
    int failures = 0;
    for (const std::u16string& text : texts)
        if (!exec(text))
            ++failures;
    const double seconds = secondsOf(timer);
    if (failures > 0)
        std::fprintf(stderr, "direct: %d failures\n", failures);
    exec(u16(QStringLiteral("DROP TABLE \"%1\"").arg(serverTable)));
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return seconds;
}

void print(const char* what, int rows, double seconds) {
    std::printf("%-13s %7d rows  %7.2f s  %8.0f rows/s  client CPU %5.1f us/row  peak memory %ld "
                "KiB\n",
                what, rows, seconds, rows / seconds, cpuOfLastRun / rows * 1e6, peakMemoryKiB());
    std::fflush(stdout);
}

// The server's processes: its main process and every process it started.
std::vector<pid_t> serverProcesses() {
    const pid_t main = static_cast<pid_t>(qEnvironmentVariableIntValue("DRAVENA_BENCH_SERVER_PID"));
    std::vector<pid_t> found;
    if (main <= 0)
        return found;
    found.push_back(main);
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        // pid (name) state ppid ...: the name may hold blanks, so read after its last ')'.
        char state = 0;
        long parent = 0;
        if (std::sscanf(line.c_str() + line.rfind(')') + 1, " %c %ld", &state, &parent) == 2 &&
            parent == main)
            found.push_back(static_cast<pid_t>(std::stol(entry.path().filename().string())));
    }
    return found;
}

// Pins this thread and the server's processes to one CPU, or frees them to every CPU this
// process started with. New server sessions inherit the main process's CPUs.
class Pinning {
public:
    Pinning() { sched_getaffinity(0, sizeof(all_), &all_); }
    bool available() const { return !serverProcesses().empty() && CPU_COUNT(&all_) > 1; }
    void set(bool pinned) {
        cpu_set_t cpus = all_;
        if (pinned) {
            CPU_ZERO(&cpus);
            for (int cpu = CPU_SETSIZE - 1; cpu >= 0; --cpu)
                if (CPU_ISSET(cpu, &all_)) {
                    CPU_SET(cpu, &cpus); // the last CPU: the first one takes most interrupts
                    break;
                }
        }
        sched_setaffinity(0, sizeof(cpus), &cpus);
        for (const pid_t process : serverProcesses())
            sched_setaffinity(process, sizeof(cpus), &cpus);
    }

private:
    cpu_set_t all_{};
};

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The seconds of the repeats of one way, and the client's processor seconds of each; their
// medians count.
struct Timings {
    std::string name;
    bool pinned = false;
    std::function<double()> run;
    std::vector<double> seconds;
    std::vector<double> cpu;

    double median() const { return medianOf(seconds); }
    // Runs the way once and keeps its figures.
    double repeat() {
        seconds.push_back(run());
        cpu.push_back(cpuOfLastRun);
        return seconds.back();
    }
};

void printMedian(const Timings& way, int rows) {
    const auto [fastest, slowest] = std::minmax_element(way.seconds.begin(), way.seconds.end());
    const double median = way.median();
    std::printf("  %-13s median %8.0f rows/s  (%.0f to %.0f, spread %.0f%% of the median)\n",
                way.name.c_str(), rows / median, rows / *slowest, rows / *fastest,
                (*slowest - *fastest) / median * 100);
    const auto [least, most] = std::minmax_element(way.cpu.begin(), way.cpu.end());
    const double cpu = medianOf(way.cpu);
    std::printf("  %-13s client CPU median %5.1f us/row  (%.1f to %.1f, spread %.0f%% of the "
                "median)\n",
                way.name.c_str(), cpu / rows * 1e6, *least / rows * 1e6, *most / rows * 1e6,
                (*most - *least) / cpu * 100);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // --write-tables: write the tables (once) and print their folder, for other benchmarks;
    // --write-job-tables: the same for the twenty tables of 5,000 rows.
    if (argc > 1 && std::string(argv[1]) == "--write-tables") {
        benchTable(10000);
        benchTable(100000);
        benchTable(RefusedTableRows);
        refusedTable();
        std::printf("%s\n", folder.c_str());
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--write-job-tables") {
        std::printf("%s\n", jobTables().c_str());
        return 0;
    }
    const Server server;
    // --only direct|ours|arrays|arrays-memo|batch|verify|verify-sent|window|window-per-row ROWS:
    // one run of one way, for a profiler, for the peak memory of one way (arrays-memo: arrays of
    // 1,000 rows with memos of 2,000 characters), or for the network benchmark; verify sends the
    // table first, untimed; verify-sent checks the table a run of batch sent before, so that the
    // peak memory is verify's own.
    if (argc > 3 && std::string(argv[1]) == "--only") {
        const std::string way = argv[2];
        const int rows = std::atoi(argv[3]);
        const QString table = benchTable(rows, way == "arrays-memo" ? 2000 : 0);
        if (way == "verify")
            runBatch(server, table); // the table to check, sent outside the time
        const double seconds = way == "direct"             ? runDirect(server, table)
                               : way == "ours"             ? runOurs(server, table)
                               : way.starts_with("arrays") ? runBatch(server, table)
                               : way == "batch"            ? runBatch(server, table)
                               : way.starts_with("verify") ? runVerify(server, table)
                               : way == "window-per-row"   ? runWindow(server, table, 1)
                                                           : runWindow(server, table);
        print(way.c_str(), rows, seconds);
        return 0;
    }
    if (server.sid.isEmpty()) {
        std::fprintf(stderr, "No test server: run this through bench/transfer-bench\n");
        return 2;
    }
    const int repeats = std::max(7, argc > 1 ? std::atoi(argv[1]) : 7);
    Pinning pinning;
    const bool pin = pinning.available();
    if (!pin)
        std::printf("Not pinned: one CPU only, or no server process named\n");
    // A first pass that is not counted: the server's caches and the client's libraries warm up.
    runDirect(server, benchTable(10000));
    // Table sizes after REPEATS: 10,000 and 100,000 rows unless given.
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {10000, 100000};
    for (const int rows : sizes) {
        const QString table = benchTable(rows);
        std::vector<Timings> ways = {
            {"direct", false, [&] { return runDirect(server, table); }, {}, {}},
            {"ours", false, [&] { return runOurs(server, table); }, {}, {}},
            {"window", false, [&] { return runWindow(server, table); }, {}, {}}};
        if (pin) {
            ways.push_back(
                {"direct pinned", true, [&] { return runDirect(server, table); }, {}, {}});
            ways.push_back({"ours pinned", true, [&] { return runOurs(server, table); }, {}, {}});
        }
        // Interleaved, in an order that turns from repeat to repeat, so that neither a slow spell
        // of the machine nor the server's own work after a run (autovacuum, checkpoints) falls on
        // one way only.
        for (int r = 0; r < repeats; ++r) {
            for (std::size_t turn = 0; turn < ways.size(); ++turn) {
                Timings& way = ways[(turn + static_cast<std::size_t>(r)) % ways.size()];
                if (pin)
                    pinning.set(way.pinned);
                print(way.name.c_str(), rows, way.repeat());
            }
        }
        if (pin)
            pinning.set(false);
        std::printf("%d rows, medians of %d repeats:\n", rows, repeats);
        for (const Timings& way : ways)
            printMedian(way, rows);
        std::printf("%d rows: ours/direct = %.3f free", rows, ways[0].median() / ways[1].median());
        if (pin)
            std::printf(", %.3f pinned (goal >= 0.95)", ways[3].median() / ways[4].median());
        std::printf("; window/direct = %.3f\n\n", ways[0].median() / ways[2].median());
        std::fflush(stdout);
    }
    // Verifying against sending with arrays, each verify right after a send of the same table.
    const int rows = *std::max_element(sizes.begin(), sizes.end());
    const QString table = benchTable(rows);
    Timings batch{"batch", false, [&] { return runBatch(server, table); }, {}, {}};
    Timings verify{"verify", false, [&] { return runVerify(server, table); }, {}, {}};
    for (int r = 0; r < repeats; ++r) {
        for (Timings* way : {&batch, &verify}) {
            print(way->name.c_str(), rows, way->repeat());
        }
    }
    printMedian(batch, rows);
    printMedian(verify, rows);
    std::printf("%d rows: verify/send --batch 1000 = %.3f (goal <= 1)\n", rows,
                verify.median() / batch.median());
    return 0;
}
