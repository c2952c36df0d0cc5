// Rows in arrays against the test server, through a connection that fails on purpose: what
// arrives, what is told, and that nothing arrives twice or stays uncommitted.

#include "TestDatabase.h"
#include "TransferTables.h"
#include "cli/CliTransfer.h"
#include "cli/Options.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionString.h"
#include "drivers/Drivers.h"
#include "drivers/ParadoxConnection.h"
#include "odbc/OdbcConnection.h"
#include "paradoxwriter/TableWriter.h"
#include "transfer/TransferRun.h"
#include "ui/SystemPorts.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <numeric>
#include <string>
#include <utility>

using namespace dravena;

namespace {

// What the faulty connection does to the arrays it is given (numbered from 0 in sending order).
struct Faults {
    int spoilArray = -1;     // this array goes with a value the server refuses in its first row
    int misreportArray = -1; // after this array the status of one row says "refused"...
    std::size_t misreportRow = 0;         // ...this one, although the server took it
    QString refuseInsert{};               // a one-row INSERT whose text holds this is refused
    std::vector<std::size_t> arrayRows{}; // rows of every array sent, in order
    QStringList statements{}; // every INSERT sent: for an array "N rows from V: D told done" (V
                              // its first row's first value), else its text
    long memoryAtFirstBoundInsert = -1; // the process's resident KiB then
    bool refusePrepare = false;         // the server cannot prepare arrays
    // Another program writes the table during the first array of this many loads.
    int rewrites = 0;
    std::function<void()> rewrite{};
    bool loadBegun = false; // a CREATE TABLE went and no array since
};

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && !line.starts_with("VmRSS:")) {
    }
    return line.empty() ? -1 : std::atol(line.c_str() + 6);
}

class FaultyArrayInsert final : public ArrayInsert {
public:
    FaultyArrayInsert(std::unique_ptr<ArrayInsert> inner, Faults& faults)
        : inner_(std::move(inner)), faults_(faults) {}

    std::vector<ArrayRowStatus> send(std::span<const ArrayRow> rows) override {
        const int number = static_cast<int>(faults_.arrayRows.size());
        faults_.arrayRows.push_back(rows.size());
        std::vector<ArrayRow> sent(rows.begin(), rows.end());
        if (number == faults_.spoilArray)
            sent.front().front() = std::string("not a number");
        std::vector<ArrayRowStatus> statuses = inner_->send(sent);
        if (std::exchange(faults_.loadBegun, false) && faults_.rewrites > 0) {
            --faults_.rewrites;
            faults_.rewrite();
        }
        if (number == faults_.misreportArray)
            statuses.at(faults_.misreportRow) = ArrayRowStatus::Refused;
        const auto* first = rows.empty() ? nullptr : std::get_if<std::string>(&rows[0][0]);
        faults_.statements << QStringLiteral("%1 rows from %2: %3 told done")
                                  .arg(rows.size())
                                  .arg(first ? QString::fromStdString(*first) : QString())
                                  .arg(std::ranges::count(statuses, ArrayRowStatus::Done));
        return statuses;
    }

private:
    std::unique_ptr<ArrayInsert> inner_;
    Faults& faults_;
};

// A real connection (the Paradox engine or ODBC, by the connection string) with faults added.
class FaultyConnection final : public Connection {
public:
    explicit FaultyConnection(Faults& faults) : faults_(faults) {}

    void setCursorLocation(int location) override { location_ = location; }
    int cursorLocation() const override { return location_; }
    void open(const QString& connectionString) override {
        inner_ = isParadoxConnectionString(connectionString) ? makeParadoxConnection()
                                                             : makeOdbcConnection();
        inner_->setCursorLocation(location_);
        inner_->open(connectionString);
    }
    void execute(const QString& sql) override {
        if (sql.startsWith("INSERT"))
            faults_.statements << sql;
        faults_.loadBegun = faults_.loadBegun || sql.startsWith("CREATE TABLE");
        if (!faults_.refuseInsert.isEmpty() && sql.startsWith("INSERT") &&
            sql.contains(faults_.refuseInsert))
            throw RuntimeError(errnum::DataAccess, QStringLiteral("refused on purpose"));
        inner_->execute(sql);
    }
    void execute(const QString& sql, std::span<const BoundValue> parameters) override {
        if (faults_.memoryAtFirstBoundInsert < 0)
            faults_.memoryAtFirstBoundInsert = residentKiB();
        inner_->execute(sql, parameters);
    }
    std::unique_ptr<Cursor> query(const QString& sql) override { return inner_->query(sql); }
    std::unique_ptr<ArrayInsert> prepareArrayInsert(const QString& sql,
                                                    std::vector<ParameterColumn> columns) override {
        if (faults_.refusePrepare)
            throw RuntimeError(errnum::DataAccess, QStringLiteral("cannot prepare on purpose"));
        return std::make_unique<FaultyArrayInsert>(
            inner_->prepareArrayInsert(sql, std::move(columns)), faults_);
    }
    void beginTransaction() override { inner_->beginTransaction(); }
    void commit() override { inner_->commit(); }
    void rollback() override { inner_->rollback(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_ && inner_->isOpen(); }

private:
    Faults& faults_;
    int location_ = ServerSideCursor;
    std::unique_ptr<Connection> inner_;
};

class FaultyDataAccess final : public DataAccess {
public:
    std::unique_ptr<Connection> createConnection() override {
        return std::make_unique<FaultyConnection>(faults);
    }
    std::unique_ptr<Recordset> createRecordset() override { return std::make_unique<Recordset>(); }
    Faults faults;
};

class ArrayTransport : public dravena::testing::ServerTest {
protected:
    void TearDown() override {
        installDataAccess(nullptr);
        if (!IsSkipped())
            dropIfExists(Table);
    }

    QString file() const { return folder.filePath(Table + ".db"); }
    void writeTable(std::vector<paradox::Field> fields, int rows,
                    const std::function<std::vector<paradox::Value>(int)>& row) {
        paradox::TableWriter table(QFile::encodeName(file()).toStdString(), std::move(fields));
        for (int i = 0; i < rows; ++i)
            table.append(row(i));
        table.finish();
    }

    // Sends the table as dravena-cli send does with --overwrite yes, through a connection with
    // these faults, and returns what was printed. The faults then tell what was sent, their
    // memory figure counted from just before the send.
    // Without `dropFirst` the server's table stays, and is in the run's list when `onServer`.
    QString send(Faults& faults, int rowsPerArray, bool dropFirst = true, bool onServer = false) {
        if (dropFirst)
            dropIfExists(Table);
        auto faulty = std::make_shared<FaultyDataAccess>();
        faulty->faults = faults;
        installDataAccess(faulty);
        char* buffer = nullptr;
        std::size_t size = 0;
        std::FILE* out = open_memstream(&buffer, &size);
        const long before = residentKiB();
        {
            cli::CliTransfer::Settings settings;
            settings.folder = folder.path();
            settings.sid = db.sid;
            settings.user = db.user;
            settings.password = db.password;
            settings.overwrite = true;
            settings.rowsPerArray = rowsPerArray;
            settings.tables = {Table};
            if (onServer)
                settings.serverTables = {Table};
            cli::CliTransfer transfer(settings, out, false, localClock());
            SendTablesToOracle(transfer);
            cli::printLine(out, transfer.summary());
        }
        std::fclose(out);
        installDataAccess(nullptr);
        faults = faulty->faults;
        faults.memoryAtFirstBoundInsert -= before;
        QString printed = QString::fromUtf8(buffer, static_cast<qsizetype>(size));
        std::free(buffer);
        return printed;
    }

    // A figure of the table on the server, as text: COUNT(*), SUM("N").
    std::string server(const QString& figure) const {
        return std::get<std::string>(
            scalar("SELECT CAST(" + figure + " AS VARCHAR(30)) FROM \"" + Table + "\""));
    }

    static inline const QString Table = QStringLiteral("ARRAYFAULTS");
    QTemporaryDir folder;
};

// Each case, in order, fails on a fault of the array path: the last row of 28 in arrays of 27
// left uncommitted; a status array that tells one row refused taken for a whole array (it must
// go again row by row, and that row is then refused on its own); an array the server refused
// (the second, and the last) committed or lost instead of going again row by row; a server that
// cannot prepare arrays taken for a table not complete (every row goes one statement each then).
TEST_F(ArrayTransport, EveryRowArrivesOnceOrIsToldRefused) {
    struct Case {
        int rows, rowsPerArray;
        Faults faults;
        QString told;       // the summary, whose first figure is the rows on the server
        int refusedRow = 0; // told as refused on its own (counted from 1), missing from the sum
        QString alsoTold{}; // a line of what was printed
    };
    const auto misreport = [](int array, std::size_t row, const char* refuseInsert) {
        return Faults{.misreportArray = array, .misreportRow = row, .refuseInsert = refuseInsert};
    };
    const Case cases[] = {
        {28, 27, {}, "28 rows sent, 0 rows failed"},
        {20, 7, misreport(1, 3, "'10.5'"), "19 rows sent, 1 row failed", 11},
        {20, 7, {.spoilArray = 1}, "20 rows sent, 0 rows failed"},
        {16, 7, {.spoilArray = 2}, "16 rows sent, 0 rows failed"},
        {20,
         7,
         {.refusePrepare = true},
         "20 rows sent, 0 rows failed",
         0,
         "dravena-cli send: " + Table +
             ": rows went one statement each: the server could not prepare arrays of "
             "rows: cannot prepare on purpose\n"},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.told.toStdString());
        QFile::remove(file());
        dravena::testing::writeNumbers(file(), c.rows);
        const QString printed = send(c.faults, c.rowsPerArray);
        QStringList refused;
        if (c.refusedRow)
            refused << QStringLiteral("dravena-cli send: %1: row %2: INSERT failed: refused on "
                                      "purpose")
                           .arg(Table)
                           .arg(c.refusedRow);
        EXPECT_EQ(printed.split(u'\n').filter(" failed: "), refused) << printed.toStdString();
        EXPECT_TRUE(printed.contains(c.told)) << printed.toStdString();
        // Every row that arrived makes the table whole, however it went.
        EXPECT_TRUE(printed.contains(c.refusedRow ? "0 whole" : "1 whole"))
            << printed.toStdString();
        EXPECT_TRUE(printed.contains(c.alsoTold)) << printed.toStdString();
        EXPECT_EQ(server("COUNT(*)"), c.told.section(u' ', 0, 0).toStdString());
        double sum = 0; // N is 0.5, 1.5, 2.5...
        for (int i = 0; i < c.rows; ++i)
            sum += i + 1 == c.refusedRow ? 0 : i + 0.5;
        EXPECT_EQ(server("SUM(\"N\")"), QString::number(sum, 'g', 12).toStdString());
    }
}

// Another program writes the table while its rows go: the run reads it again, a new load, and
// sends the table as it stands once a read sees no write; after three reads that each saw one it
// sends nothing and the server's table stays as it was (never half old, half new). The faults
// it catches: a changed table sent from its first read; no read again; more than three reads;
// the changing copy put in place of the server's table, or left behind under its loading name.
TEST_F(ArrayTransport, ATableWrittenWhileItIsReadIsReadAgainAndNeverSentHalfOld) {
    const struct Case {
        int rewrites;
        bool onServer;     // the server has the table (10 rows) before the send
        const char* count; // rows on the server afterwards; none: no such table
        const char* told;
        bool refusedFirst = false; // the first read holds a row the server refuses
    } cases[] = {
        {1, true, "11", "1 whole"},
        {2, true, "12", "1 whole"},
        {3, true, "10", "not replaced: the Paradox table changed while it was read (3 reads)"},
        {3, false, nullptr, "not sent: the Paradox table changed while it was read (3 reads)"},
        {1, true, "11", "1 whole", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        QFile::remove(file());
        dravena::testing::writeNumbers(file(), 10);
        Faults whole;
        if (c.onServer)
            ASSERT_TRUE(send(whole, 4).contains("1 whole"));
        else
            dropIfExists(Table);
        if (c.refusedFirst) {
            QFile::remove(file());
            dravena::testing::writeNumbers(file(), 10, {{2, 1e130}});
        }
        int rows = 10;
        Faults faults{.rewrites = c.rewrites, .rewrite = [&] {
                          QFile::remove(file());
                          dravena::testing::writeNumbers(file(), ++rows);
                      }};
        const QString printed = send(faults, 4, false, c.onServer);
        EXPECT_TRUE(printed.contains(c.told)) << printed.toStdString();
        // The first read's refused row is told, and counts no more once the table is read again.
        EXPECT_EQ(printed.contains("row 3: INSERT failed"), c.refusedFirst)
            << printed.toStdString();
        EXPECT_EQ(printed.count("changed while it was read: reading it again"),
                  std::min(c.rewrites, 2))
            << printed.toStdString();
        EXPECT_EQ(faults.rewrites, 0);
        if (c.count) {
            EXPECT_EQ(server("COUNT(*)"), c.count);
        }
        // No copy is left under a name of its own.
        EXPECT_EQ(std::get<std::string>(
                      scalar("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM information_schema.tables "
                             "WHERE table_name LIKE '%" +
                             Table + "%'")),
                  c.count ? "1" : "0");
    }
}

// Rows the server refuses (a number beyond FLOAT's range) at the start, in the middle and at the
// end of an array, and two in one array: each is told once, in order, with the server's own
// message; every other row arrives once; and finding them takes a few statements per refused
// row, not one for every row of its array. An array longer than the part the driver runs at
// once (psqlODBC: 100 rows) is told done up to that part: only the part refused is searched, and
// the rows after it go again as one array.
TEST_F(ArrayTransport, RefusedRowsAreFoundWithAFewStatementsEach) {
    struct Case {
        int rows, rowsPerArray;
        std::vector<int> refused;       // 0-based
        std::size_t rowsSentAtMost = 0; // in arrays, the first one included
    };
    const Case cases[] = {
        {200, 50, {0, 74, 149}},   {200, 50, {160, 171}},          {120, 40, {39, 40}},
        {1000, 1000, {450}, 2100}, {1000, 1000, {120, 960}, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        std::map<int, double> special;
        QStringList told;
        for (const int row : c.refused) {
            special[row] = 1e130;
            told << QStringLiteral("dravena-cli send: %1: row %2: INSERT failed: ")
                        .arg(Table)
                        .arg(row + 1);
        }
        QFile::remove(file());
        dravena::testing::writeNumbers(file(), c.rows, special);
        Faults faults;
        const QString printed = send(faults, c.rowsPerArray);
        QStringList failures = printed.split(u'\n').filter(" failed: ");
        ASSERT_EQ(failures.size(), told.size()) << printed.toStdString();
        for (qsizetype i = 0; i < told.size(); ++i) {
            EXPECT_TRUE(failures[i].startsWith(told[i])) << failures[i].toStdString();
            EXPECT_GT(failures[i].size(), told[i].size() + 5) << "the server's own message";
        }
        const auto arrived = c.rows - static_cast<int>(c.refused.size());
        EXPECT_TRUE(printed.contains(QStringLiteral("%1 rows sent, %2 row%3 failed")
                                         .arg(arrived)
                                         .arg(c.refused.size())
                                         .arg(c.refused.size() == 1 ? "" : "s")))
            << printed.toStdString();
        EXPECT_EQ(server("COUNT(*)"), std::to_string(arrived));
        double sum = 0; // N is 0.5, 1.5, 2.5...
        for (int i = 0; i < c.rows; ++i)
            sum += std::ranges::count(c.refused, i) ? 0 : i + 0.5;
        EXPECT_EQ(server("SUM(\"N\")"), QString::number(sum, 'g', 12).toStdString());
        EXPECT_LT(faults.statements.size(), c.rows / 2)
            << faults.statements.join(u'\n').toStdString();
        if (c.rowsSentAtMost > 0) {
            EXPECT_LE(std::reduce(faults.arrayRows.begin(), faults.arrayRows.end()),
                      c.rowsSentAtMost)
                << faults.statements.join(u'\n').toStdString();
        }
    }
}

// Wide rows split into arrays of at most 16 MB of bound values: 8,300 rows of four texts of 255
// characters (2 KB a row as wide characters) take two arrays although 10,000 rows are allowed.
TEST_F(ArrayTransport, ArraysOfWideRowsAreSplitByTheirSize) {
    using paradox::FieldType;
    const std::string text(255, 'w');
    writeTable({{"A", FieldType::Alpha, 255},
                {"B", FieldType::Alpha, 255},
                {"C", FieldType::Alpha, 255},
                {"D", FieldType::Alpha, 255}},
               8300, [&](int) {
                   return std::vector<paradox::Value>{text, text, text, text};
               });
    Faults faults;
    const QString printed = send(faults, 10000);
    EXPECT_TRUE(printed.contains("8300 rows sent, 0 rows failed")) << printed.toStdString();
    EXPECT_EQ(faults.arrayRows, (std::vector<std::size_t>{8192, 108}));
    EXPECT_EQ(server("COUNT(*)"), "8300");
}

// One INSERT per row reads rows ahead, but never megabytes without end: 40 rows with a BLOB of
// 1.5 MB each (60 MB, and as much again in their statements) are not all held before the first
// row goes.
TEST_F(ArrayTransport, RowsReadAheadOfOneInsertPerRowAreHeldToAFewMegabytes) {
    using paradox::FieldType;
    writeTable({{"N", FieldType::Long, 4}, {"B", FieldType::Blob, 10}}, 40, [](int i) {
        return std::vector<paradox::Value>{std::int64_t{i},
                                           paradox::Bytes(1536 * 1024, std::uint8_t(i))};
    });
    Faults faults;
    const QString printed = send(faults, 1);
    EXPECT_TRUE(printed.contains("40 rows sent, 0 rows failed")) << printed.toStdString();
    EXPECT_LT(faults.memoryAtFirstBoundInsert, 32 * 1024) << "KiB grown";
    EXPECT_EQ(server("COUNT(*)"), "40");
}

} // namespace
