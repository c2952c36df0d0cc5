// What dravena-cli send shows while it sends: the bar on a terminal, the table lines, the
// summary, timed on a clock the test moves.
#include "cli/CliTransfer.h"
#include "base/Dialogs.h"
#include "cli/TableClaims.h"
#include "support/ScriptedPorts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace dravena;
using namespace dravena::cli;

namespace {

// Standard error as a string.
class CapturedOutput {
public:
    CapturedOutput() : file_(open_memstream(&buffer_, &size_)) {}
    ~CapturedOutput() {
        std::fclose(file_);
        std::free(buffer_);
    }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;
    std::FILE* file() const { return file_; }
    QString text() const {
        std::fflush(file_);
        return QString::fromUtf8(buffer_, static_cast<qsizetype>(size_));
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

} // namespace

TEST(CliTransfer, BarRateTimeLeftTableLinesAndSummary) {
    auto clock = std::make_shared<dravena::testing::FixedClock>();
    clock->milliseconds = 1000;
    CapturedOutput out;
    CliTransfer::Settings settings;
    settings.tables = {QStringLiteral("T"), QStringLiteral("U")};
    settings.serverTables = {QStringLiteral("u")};
    CliTransfer transfer(settings, out.file(), true, clock);

    transfer.tableSource(1); // T, the first named
    transfer.tableStarting(QStringLiteral("T"), 10);
    const auto sendRows = [&](std::int64_t at, int rows, bool inserted = true) {
        clock->milliseconds = at;
        for (int i = 0; i < rows; ++i)
            transfer.rowSent(0, inserted);
    };
    sendRows(2000, 4); // the first of them redraws
    sendRows(2050, 1); // within 100 ms of the last drawing: not drawn
    sendRows(3000, 2); // 6 rows after 2 s: 3 rows/s, 4 rows left take 2 s
    sendRows(3000, 1, false);
    transfer.reportFailure({QStringLiteral("ORA-01722: invalid number"), 244, "T", 7});
    sendRows(3000, 2); // the last row is always drawn
    transfer.tableFinished(QStringLiteral("T"), TableOutcome::Sent);

    // No --overwrite: a table the server has is an error for that table.
    EXPECT_TRUE(transfer.isInServerList(QStringLiteral("U")));
    transfer.tableSource(0);
    EXPECT_EQ(transfer.askOverwrite(QStringLiteral("U")), AnswerNo);
    transfer.tableFinished(QStringLiteral("U"), TableOutcome::Skipped);
    clock->milliseconds = 5000;

    const QString text = out.text();
    EXPECT_TRUE(text.contains("T [..............................] 0/10 rows  0 rows/s  -:-- left"));
    EXPECT_TRUE(text.contains("T [###...........................] 1/10 rows  1 rows/s  0:09 left"));
    EXPECT_FALSE(text.contains("5/10 rows"));
    EXPECT_TRUE(text.contains("T [##################............] 6/10 rows  3 rows/s  0:02 left"));
    EXPECT_TRUE(text.contains("10/10 rows  5 rows/s  0:00 left"));
    EXPECT_TRUE(text.contains(
        "\r\x1b[Kdravena-cli send: T: row 8: INSERT failed: ORA-01722: invalid number\n"));
    EXPECT_TRUE(text.contains("\r\x1b[KT: 9 of 10 rows sent, 1 failed, 2.0s (not complete)\n"));
    EXPECT_TRUE(text.contains("dravena-cli send: U: the server already has this table"));
    EXPECT_EQ(transfer.summary(), "dravena-cli send: 2 tables: 0 whole, 0 left as they were, 2 "
                                  "with failures; 9 rows sent, 1 row failed; 4.0s");
    EXPECT_FALSE(transfer.allWhole());

    // Stopped while on X: the T named after it was not reached, though a T was.
    settings.tables = {QStringLiteral("T"), QStringLiteral("X"), QStringLiteral("T")};
    CliTransfer stopped(settings, out.file(), true, clock);
    for (const int index : {2, 1}) { // as the run asks: the name, then where it lies
        stopped.tableName(index);
        stopped.tableSource(index);
    }
    EXPECT_TRUE(stopped.summary().endsWith("; not reached: T")) << stopped.summary().toStdString();
}

// Jobs of one send take the tables in the order named, each table once; tables of one name (in
// any letter case) stay with the job that took the first of them.
TEST(CliTransfer, JobsTakeEachTableOnceAndKeepTablesOfOneNameTogether) {
    TableClaims claims({"A", "B", "a", "C", "A"});
    struct Claim {
        qsizetype position;
        int job;
        bool taken;
    };
    for (const Claim& claim :
         {Claim{0, 0, true}, Claim{0, 1, false}, Claim{1, 1, true}, Claim{2, 1, false},
          Claim{3, 1, true}, Claim{1, 0, false}, Claim{2, 0, true}, Claim{3, 0, false},
          Claim{4, 1, false}, Claim{4, 0, true}, Claim{0, 0, true}})
        EXPECT_EQ(claims.claim(claim.position, claim.job), claim.taken)
            << "table " << claim.position << ", job " << claim.job;
}

// Two jobs of one send: each sends the tables it takes (the run walks its list from the last
// entry, so the first table named is the last index), and one summary counts both.
TEST(CliTransfer, JobsSendTheirOwnTablesAndOneSummaryCountsThemAll) {
    auto clock = std::make_shared<dravena::testing::FixedClock>();
    CapturedOutput out;
    CliTransfer::Settings settings;
    settings.tables = {QStringLiteral("T"), QStringLiteral("U"), QStringLiteral("V")};
    CliTransfer::SharedRun shared(settings.tables);
    CliTransfer first(settings, out.file(), false, clock);
    CliTransfer second(settings, out.file(), false, clock);
    first.shareRun(shared, 0);
    second.shareRun(shared, 1);
    EXPECT_TRUE(first.isTableSelected(2));   // T
    EXPECT_FALSE(second.isTableSelected(2)); // T is taken
    EXPECT_TRUE(second.isTableSelected(1));  // U
    EXPECT_FALSE(first.isTableSelected(1));
    EXPECT_TRUE(first.isTableSelected(0)); // V
    const auto send = [](CliTransfer& job, int index, const char* name, int rows, int refused) {
        job.tableSource(index);
        job.tableStarting(QString::fromLatin1(name), rows);
        for (int row = 0; row < rows; ++row)
            job.rowSent(row, row >= refused);
        job.tableFinished(QString::fromLatin1(name), TableOutcome::Sent);
    };
    send(first, 2, "T", 4, 0);
    send(second, 1, "U", 3, 1);
    send(first, 0, "V", 2, 0);
    first.addCounts(second);
    EXPECT_EQ(first.summary(), "dravena-cli send: 3 tables: 2 whole, 0 left as they were, 1 "
                               "with failures; 8 rows sent, 1 row failed; 0.0s");
    EXPECT_FALSE(first.allWhole());
    const QStringList lines = out.text().split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{"T: 4 of 4 rows sent, 0 failed, 0.0s",
                                  "U: 2 of 3 rows sent, 1 failed, 0.0s (not complete)",
                                  "V: 2 of 2 rows sent, 0 failed, 0.0s"}));
}
