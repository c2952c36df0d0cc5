// Rows in arrays against the test server, through a connection that fails on purpose: what
// arrives, what is told, and that nothing arrives twice or stays uncommitted.

#include "CliTransfer.h"
#include "Options.h"
#include "TestDatabase.h"
#include "TransferTables.h"

#include "app/RuntimeError.h"
#include "app/SystemPorts.h"
#include "connections/ConnectionString.h"
#include "connections/OdbcConnection.h"
#include "connections/ParadoxConnection.h"
#include "paradoxwriter/TableWriter.h"
#include "transfer/TransferRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace dravena;

namespace {

// What the faulty connection does to the arrays it is given (numbered from 0 in sending order).
struct Faults {
    int spoilArray = -1;     // this array goes with a value the server refuses in its first row
    int misreportArray = -1; // after this array the status of one row says "refused"...
    std::size_t misreportRow = 0;       // ...this one, although the server took it
    QString refuseInsert;               // a one-row INSERT whose text holds this is refused
    std::vector<std::size_t> arrayRows; // rows of every array sent, in order
    long memoryAtFirstBoundInsert = -1; // the process's resident KiB then
};

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kib = -1;
    while (status >> key && key != "VmRSS:")
        status.ignore(1 << 20, '\n');
    status >> kib;
    return kib;
}

Faults spoil(int array) {
    Faults faults;
    faults.spoilArray = array;
    return faults;
}

Faults misreport(int array, std::size_t row, const QString& refuseInsert) {
    Faults faults;
    faults.misreportArray = array;
    faults.misreportRow = row;
    faults.refuseInsert = refuseInsert;
    return faults;
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
        if (number == faults_.misreportArray)
            statuses.at(faults_.misreportRow) = ArrayRowStatus::Refused;
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

// One table sent as dravena-cli send sends it, with --overwrite yes; what it printed.
QString sendAsTheCommandLineDoes(const dravena::testing::TestDatabase& db, const QString& folder,
                                 const QString& table, int rowsPerArray) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    {
        cli::CliTransfer::Settings settings;
        settings.folder = folder;
        settings.sid = db.sid;
        settings.user = db.user;
        settings.password = db.password;
        settings.overwrite = true;
        settings.rowsPerArray = rowsPerArray;
        settings.tables = {table};
        cli::CliTransfer transfer(settings, out, false, localClock());
        SendTablesToOracle(transfer);
        cli::printLine(out, transfer.summary());
    }
    std::fclose(out);
    QString printed = QString::fromUtf8(buffer, static_cast<qsizetype>(size));
    std::free(buffer);
    return printed;
}

class ArrayTransport : public dravena::testing::ServerTest {
protected:
    void TearDown() override {
        installDataAccess(nullptr);
        if (!IsSkipped())
            dropIfExists(Table);
    }

    std::int64_t serverRows() const {
        return std::stoll(std::get<std::string>(
            scalar("SELECT CAST(COUNT(*) AS VARCHAR(20)) FROM \"" + Table + "\"")));
    }
    std::string serverSum() const {
        return std::get<std::string>(
            scalar("SELECT CAST(SUM(\"N\") AS VARCHAR(30)) FROM \"" + Table + "\""));
    }

    static inline const QString Table = QStringLiteral("ARRAYFAULTS");
    QTemporaryDir folder;
};

// Each case fails on a fault of the array path: the last row of 28 in arrays of 27 left
// uncommitted; a status array that tells one row refused taken for a whole array (it must go
// again row by row, and that row is then refused on its own); an array the server refused
// committed or lost instead of going again row by row.
TEST_F(ArrayTransport, EveryRowArrivesOnceOrIsToldRefused) {
    struct Case {
        const char* what;
        int rows;
        int rowsPerArray;
        Faults faults;
        std::int64_t arrived;
        std::string sum;
        std::vector<std::int64_t> refusedRows;
    };
    const auto numbers = [](int rows, int without) {
        double sum = 0;
        for (int i = 0; i < rows; ++i)
            sum += i == without ? 0 : i + 0.5;
        return QString::number(sum, 'g', 12).toStdString();
    };
    const std::vector<Case> cases = {
        {"a row more than a multiple of the array", 28, 27, {}, 28, numbers(28, -1), {}},
        {"one row refused in the status array",
         20,
         7,
         misreport(1, 3, "'10.5'"),
         19,
         numbers(20, 10),
         {10}},
        {"an array the server refused", 20, 7, spoil(1), 20, numbers(20, -1), {}},
        {"the last array refused", 16, 7, spoil(2), 16, numbers(16, -1), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dropIfExists(Table);
        QFile::remove(folder.filePath(Table + ".db"));
        dravena::testing::writeNumbers(folder.filePath(Table + ".db"), c.rows);
        auto faulty = std::make_shared<FaultyDataAccess>();
        faulty->faults = c.faults;
        installDataAccess(faulty);
        const QString printed = sendAsTheCommandLineDoes(db, folder.path(), Table, c.rowsPerArray);
        installDataAccess(nullptr);

        QStringList refused;
        for (const QString& line : printed.split(u'\n'))
            if (line.contains(" failed: "))
                refused.append(line);
        QStringList expected;
        for (const std::int64_t row : c.refusedRows)
            expected.append(QStringLiteral("dravena-cli send: %1: row %2: INSERT failed: refused "
                                           "on purpose")
                                .arg(Table)
                                .arg(row + 1));
        EXPECT_EQ(refused, expected) << printed.toStdString();
        EXPECT_TRUE(
            printed.contains(QStringLiteral("%1 rows sent, %2 %3")
                                 .arg(c.arrived)
                                 .arg(c.refusedRows.size())
                                 .arg(c.refusedRows.size() == 1 ? "row failed" : "rows failed")))
            << printed.toStdString();
        EXPECT_EQ(serverRows(), c.arrived);
        EXPECT_EQ(serverSum(), c.sum);
    }
}

// Wide rows split into arrays of at most 16 MB of bound values: 8,300 rows of four texts of 255
// characters (2 KB a row as wide characters) take two arrays although 10,000 rows are allowed.
TEST_F(ArrayTransport, ArraysOfWideRowsAreSplitByTheirSize) {
    const std::string text(255, 'w');
    {
        using paradox::FieldType;
        paradox::TableWriter table(QFile::encodeName(folder.filePath(Table + ".db")).toStdString(),
                                   {{"A", FieldType::Alpha, 255},
                                    {"B", FieldType::Alpha, 255},
                                    {"C", FieldType::Alpha, 255},
                                    {"D", FieldType::Alpha, 255}});
        for (int i = 0; i < 8300; ++i)
            table.append({text, text, text, text});
        table.finish();
    }
    dropIfExists(Table);
    auto faulty = std::make_shared<FaultyDataAccess>();
    installDataAccess(faulty);
    const QString printed = sendAsTheCommandLineDoes(db, folder.path(), Table, 10000);
    installDataAccess(nullptr);
    EXPECT_TRUE(printed.contains("8300 rows sent, 0 rows failed")) << printed.toStdString();
    EXPECT_EQ(faulty->faults.arrayRows, (std::vector<std::size_t>{8192, 108}));
    EXPECT_EQ(serverRows(), 8300);
}

// One INSERT per row reads rows ahead, but never megabytes without end: 40 rows with a BLOB of
// 1.5 MB each (60 MB, and as much again in their statements) are not all held before the first
// row goes.
TEST_F(ArrayTransport, RowsReadAheadOfOneInsertPerRowAreHeldToAFewMegabytes) {
    {
        using paradox::FieldType;
        paradox::TableWriter table(QFile::encodeName(folder.filePath(Table + ".db")).toStdString(),
                                   {{"N", FieldType::Long, 4}, {"B", FieldType::Blob, 10}});
        for (int i = 0; i < 40; ++i)
            table.append({std::int64_t{i}, paradox::Bytes(1536 * 1024, std::uint8_t(i))});
        table.finish();
    }
    dropIfExists(Table);
    auto faulty = std::make_shared<FaultyDataAccess>();
    installDataAccess(faulty);
    const long before = residentKiB();
    const QString printed = sendAsTheCommandLineDoes(db, folder.path(), Table, 1);
    installDataAccess(nullptr);
    EXPECT_TRUE(printed.contains("40 rows sent, 0 rows failed")) << printed.toStdString();
    EXPECT_LT(faulty->faults.memoryAtFirstBoundInsert - before, 32 * 1024)
        << "KiB: " << faulty->faults.memoryAtFirstBoundInsert << " " << before;
    EXPECT_EQ(serverRows(), 40);
}

} // namespace
