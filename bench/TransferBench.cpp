// The transfer's speed against the test server, as a ratio to the least any client can do with
// one INSERT per row: the same INSERT texts executed directly through unixODBC, in the same run.
//
//   ours    SendTablesToOracle reading the Paradox table and sending it (as dravena-cli send)
//   direct  the same statement texts, built beforehand, through SQLExecDirectW and nothing else
//   window  the tables window's send button, yielding to the event loop per row and per value
//   batch   SendTablesToOracle with arrays of 1,000 rows (as dravena-cli send --batch 1000)
//   verify  TableChecker comparing the sent table with the Paradox table (dravena-cli verify)
//
// Each is measured on a 10,000-row and a 100,000-row table of twelve fields, so that the rates
// show whether time grows in proportion to the rows; the peak memory of the process is printed
// after each run. Verifying is set against sending with --batch 1000 on the 100,000-row table:
// checking a table should take no longer than sending it. Run through bench/transfer-bench,
// which starts a private test server.

#include "app/Dialogs.h"
#include "app/Ports.h"
#include "connections/ConnectionEntries.h"
#include "connections/ConnectionStrings.h"
#include "connections/Form1.h"
#include "paradoxwriter/TableWriter.h"
#include "tables/Form2.h"
#include "tables/TableList.h"
#include "transfer/Statements.h"
#include "transfer/TableCheck.h"
#include "transfer/TransferFrontEnd.h"
#include "transfer/TransferRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace dravena;
namespace fs = std::filesystem;

namespace {

const fs::path folder = fs::temp_directory_path() / "dravena-bench-transfer-1";

// Twelve fields: integers, floats, BCD, dates, texts of 10 to 60 characters, a short memo, a
// BLOB of about 200 bytes, and some NULLs.
void writeTable(const fs::path& file, int rows) {
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
        row[2] = i / 7.0;
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
        row[10] = "Note " + std::to_string(i) + ", delivered";
        paradox::Bytes picture(190 + static_cast<std::size_t>(i % 20));
        for (std::size_t b = 0; b < picture.size(); ++b)
            picture[b] = static_cast<std::uint8_t>(b * 31 + static_cast<std::size_t>(i));
        row[11] = i % 11 == 0 ? paradox::Value{} : paradox::Value{picture};
        writer.append(row);
    }
    writer.finish();
}

// The table of `rows` rows, written once and reused by later runs.
QString benchTable(int rows) {
    const std::string name = "BENCH" + std::to_string(rows);
    const fs::path done = folder / (name + ".complete");
    if (!fs::exists(done)) {
        std::fprintf(stderr, "Writing %d rows into %s (once)\n", rows, folder.c_str());
        fs::create_directories(folder);
        writeTable(folder / (name + ".DB"), rows);
        std::ofstream(done) << rows << "\n";
    }
    return QString::fromStdString(name);
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

double secondsOf(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double runOurs(const Server& server, const QString& table, int rowsPerArray = 1) {
    dropServerTable(server, table);
    QuietFrontEnd frontEnd(server, table, rowsPerArray);
    QElapsedTimer timer;
    timer.start();
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
    timer.start();
    const TableCheck check = TableChecker(frontEnd.entries()).check(table, table);
    const double seconds = secondsOf(timer);
    if (!check.identical())
        std::fprintf(stderr,
                     "verify: not identical: %s %lld only in Paradox, %lld only on the "
                     "server\n",
                     qPrintable(check.failure), static_cast<long long>(check.rows.onlyInParadox),
                     static_cast<long long>(check.rows.onlyOnServer));
    return seconds;
}

double runWindow(const Server& server, const QString& table) {
    dropServerTable(server, table);
    auto dialogs = std::make_shared<QuietDialogs>();
    ports().dialogs = dialogs;
    Form1 form1([] { return std::unique_ptr<TablesWindow>(); });
    form1.findChild<QLineEdit*>("Text1")->setText(QString::fromStdString(folder.string()));
    form1.findChild<QLineEdit*>("Text2")->setText(server.sid);
    form1.findChild<QLineEdit*>("Text3")->setText(server.user);
    form1.findChild<QLineEdit*>("Text4")->setText(server.password);
    Form2 window(form1);
    window.show();
    window.paradoxList().addEntry(table);
    window.paradoxList().setEntrySelected(0, true);
    window.paradoxList().setCurrentIndex(0);
    QElapsedTimer timer;
    timer.start();
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

// Executes the texts one by one through unixODBC's own calls; returns the seconds taken.
double runDirect(const Server& server, const QString& table) {
    const QString serverTable = table + QStringLiteral("_DIRECT");
    const std::vector<std::u16string> texts = statementTexts(table, serverTable);
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
    QElapsedTimer timer;
    timer.start();
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
    std::printf("%-7s %7d rows  %7.2f s  %8.0f rows/s  peak memory %ld KiB\n", what, rows, seconds,
                rows / seconds, peakMemoryKiB());
    std::fflush(stdout);
}

double timed(const char* what, int rows, double seconds) {
    print(what, rows, seconds);
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // --write-tables: write the tables (once) and print their folder, for other benchmarks.
    if (argc > 1 && std::string(argv[1]) == "--write-tables") {
        benchTable(10000);
        benchTable(100000);
        std::printf("%s\n", folder.c_str());
        return 0;
    }
    const Server server;
    // --only direct|ours|window|batch|verify ROWS: one run of one way, for a profiler (verify
    // sends the table first, untimed).
    if (argc > 3 && std::string(argv[1]) == "--only") {
        const std::string way = argv[2];
        const int rows = std::atoi(argv[3]);
        const QString table = benchTable(rows);
        if (way == "verify")
            runBatch(server, table); // the table to check, sent outside the time
        const double seconds = way == "direct"   ? runDirect(server, table)
                               : way == "ours"   ? runOurs(server, table)
                               : way == "batch"  ? runBatch(server, table)
                               : way == "verify" ? runVerify(server, table)
                                                 : runWindow(server, table);
        print(way.c_str(), rows, seconds);
        return 0;
    }
    if (server.sid.isEmpty()) {
        std::fprintf(stderr, "No test server: run this through bench/transfer-bench\n");
        return 2;
    }
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    // A first pass that is not counted: the server's caches and the client's libraries warm up.
    runDirect(server, benchTable(10000));
    for (const int rows : {10000, 100000}) {
        const QString table = benchTable(rows);
        double direct = 1e300;
        double ours = 1e300;
        double window = 1e300;
        // The best of each is compared. The runs are interleaved, and their order turns from repeat
        // to repeat, so that neither a slow spell of the machine nor the server's own work after a
        // run (autovacuum, checkpoints) falls on one way only.
        for (int r = 0; r < repeats; ++r) {
            for (int turn = 0; turn < 3; ++turn) {
                switch ((turn + r) % 3) {
                case 0:
                    direct = std::min(direct, timed("direct", rows, runDirect(server, table)));
                    break;
                case 1:
                    ours = std::min(ours, timed("ours", rows, runOurs(server, table)));
                    break;
                default:
                    window = std::min(window, timed("window", rows, runWindow(server, table)));
                }
            }
        }
        std::printf("%d rows: ours/direct = %.3f (goal >= 0.95), window/direct = %.3f\n\n", rows,
                    direct / ours, direct / window);
    }
    // Verifying against sending with arrays, each verify right after a send of the same table.
    const QString table = benchTable(100000);
    double batch = 1e300;
    double verify = 1e300;
    for (int r = 0; r < repeats; ++r) {
        batch = std::min(batch, timed("batch", 100000, runBatch(server, table)));
        verify = std::min(verify, timed("verify", 100000, runVerify(server, table)));
    }
    std::printf("100000 rows: verify/send --batch 1000 = %.3f (goal <= 1)\n", verify / batch);
    return 0;
}
