#include "TestDatabase.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "drivers/Drivers.h"
#include "odbc/OdbcSession.h"
#include "odbc/ServerCallThread.h"
#include "odbc/ServerTimeLimits.h"
#include "ui/ServerWait.h"

#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <latch>
#include <list>
#include <set>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <clocale>

using namespace dravena;
using dravena::testing::CallThreadsInstalled;
using dravena::testing::programCallThreads;
using dravena::testing::ServerTest;

namespace {

std::string text(const Value& v) {
    const auto* s = std::get_if<std::string>(&v);
    return s ? *s : std::string("<not text>");
}

// The description of the RuntimeError that `action` throws (fails the test when none).
template <typename Action> QString failureOf(Action action, int* number = nullptr) {
    try {
        action();
    } catch (const RuntimeError& e) {
        if (number)
            *number = e.number();
        return e.description();
    }
    ADD_FAILURE() << "no failure";
    return {};
}

std::vector<std::string> tableNames(Connection& connection) {
    Recordset rs;
    rs.open(QStringLiteral("SELECT table_name FROM user_tables"), connection);
    std::vector<std::string> names;
    for (; !rs.atEnd(); rs.moveNext())
        names.push_back(text(rs.fieldValue(0)));
    return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A connection's thread that notes the thread each of its calls ran on.
class RecordingCallThread final : public CallThread {
public:
    RecordingCallThread(std::unique_ptr<CallThread> inner, std::vector<std::thread::id>& ran)
        : inner_(std::move(inner)), ran_(ran) {}
    void run(const std::function<void()>& call) override {
        inner_->run([&] {
            ran_.push_back(std::this_thread::get_id());
            call();
        });
    }
    bool runsHere() const override { return inner_->runsHere(); }

private:
    std::unique_ptr<CallThread> inner_;
    std::vector<std::thread::id>& ran_;
};

} // namespace

TEST_F(ServerTest, OpensWithTheProgramsConnectionStringAndFailsWithTheDriversMessage) {
    EXPECT_TRUE(connect()->isOpen());

    const std::unique_ptr<Connection> connection = dataAccess().createConnection();
    int number = 0;
    const QString wrongPassword = failureOf(
        [&] { connection->open(db.connectionStringWithPassword("not-the-password")); }, &number);
    EXPECT_EQ(number, errnum::DataAccess);
    EXPECT_TRUE(wrongPassword.contains(
        QStringLiteral("password authentication failed for user \"%1\"").arg(db.user)))
        << wrongPassword.toStdString();
    EXPECT_FALSE(wrongPassword.contains("QODBC")) << wrongPassword.toStdString();
    EXPECT_FALSE(connection->isOpen());

    // A driver that is not registered: the driver manager's own words.
    const QString unknownDriver = failureOf(
        [&] { connection->open(QStringLiteral("Driver={No Such Driver};Server=x;Uid=a;Pwd=b;")); });
    EXPECT_TRUE(unknownDriver.contains("The driver manager said: [unixODBC][Driver Manager]"))
        << unknownDriver.toStdString();
    // ... after plain words: which name was looked up in which odbcinst.ini.
    EXPECT_TRUE(unknownDriver.startsWith(
        QStringLiteral("The ODBC driver \"No Such Driver\" is not registered: the driver "
                       "manager looked that name up in %1/odbcinst.ini")
            .arg(qEnvironmentVariable("ODBCSYSINI", QStringLiteral("/etc")))))
        << unknownDriver.toStdString();

    // A string that mentions ".dsn" (here in a key the driver ignores; as well in a password)
    // still reaches the driver with its own keys.
    {
        const std::unique_ptr<Connection> dsn = dataAccess().createConnection();
        dsn->open(db.connectionString() + "Description=Sales.DSN;");
        EXPECT_TRUE(dsn->isOpen());
    }

    // The same object opens once the string is right, and a second open is refused.
    connection->open(db.connectionString());
    EXPECT_TRUE(connection->isOpen());
    EXPECT_THROW(connection->open(db.connectionString()), RuntimeError);
}

TEST_F(ServerTest, ExecuteCommitsEachStatementAtOnce) {
    dropIfExists("ODBC_AUTOCOMMIT");
    const std::unique_ptr<Connection> writer = connect();
    writer->execute(R"(CREATE TABLE "ODBC_AUTOCOMMIT"("F1" INT))");
    writer->execute(R"(INSERT INTO "ODBC_AUTOCOMMIT" VALUES('7'))");
    // Another connection sees the row while the writer is still open: nothing waits for a commit.
    EXPECT_EQ(scalar(R"(SELECT COUNT(*) FROM "ODBC_AUTOCOMMIT")"), Value{std::int64_t{1}});
    writer->execute(R"(DROP TABLE "ODBC_AUTOCOMMIT")");
    EXPECT_FALSE(contains(tableNames(*writer), "ODBC_AUTOCOMMIT"));
}

TEST_F(ServerTest, ARejectedStatementFailsWithTheDriversMessageAndTheConnectionGoesOn) {
    const std::unique_ptr<Connection> connection = connect();
    int number = 0;
    const QString message =
        failureOf([&] { connection->execute(R"(DROP TABLE "ODBC_NO_SUCH_TABLE")"); }, &number);
    EXPECT_EQ(number, errnum::DataAccess);
    EXPECT_TRUE(message.contains(R"(table "ODBC_NO_SUCH_TABLE" does not exist)"))
        << message.toStdString();
    EXPECT_FALSE(message.startsWith(' ') || message.endsWith(' ')) << message.toStdString();
    EXPECT_FALSE(message.contains("QODBC"));
    // The server's words keep their characters, whichever way the statement went, also where
    // the driver manager's own conversion of narrow text knows only ASCII (the C locale).
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    const std::unique_ptr<Connection> plain = connect();
    std::setlocale(LC_ALL, locale.c_str());
    for (const char* statement :
         {R"(DROP TABLE "ИНВЕНТАРНЫЙ")", R"(SELECT * FROM "ИНВЕНТАРНЫЙ")"}) {
        const QString cyrillic = failureOf([&] {
            if (QString::fromUtf8(statement).startsWith(u'D'))
                plain->execute(QString::fromUtf8(statement));
            else
                plain->query(QString::fromUtf8(statement));
        });
        EXPECT_TRUE(cyrillic.contains(QString::fromUtf8(R"("ИНВЕНТАРНЫЙ")")))
            << statement << ": " << cyrillic.toStdString();
    }

    // RENAME is Oracle's own statement: this server refuses it, which the program reports.
    EXPECT_THROW(connection->execute(R"(RENAME "A" TO "B")"), RuntimeError);
    // A failing query, too.
    EXPECT_TRUE(failureOf([&] {
                    connection->query("SELECT no_such_column FROM user_tables");
                }).contains("no_such_column"));

    const std::unique_ptr<Cursor> still = connection->query("SELECT 1");
    EXPECT_EQ(still->fieldValue(0), Value{std::int64_t{1}});
}

// A slow statement does not freeze a window's operation: events go on while it waits, a second
// statement on the same connection meanwhile is refused instead of running beside it, and the
// statement's own failure still reaches its caller.
TEST_F(ServerTest, WindowsHandleTheirEventsWhileAStatementWaits) {
    const CallThreadsInstalled threads;
    const std::unique_ptr<Connection> connection = connect();
    const EventsWhileWaiting operation;
    bool waiting = false;
    bool eventDuringTheWait = false;
    QString secondCall;
    QTimer::singleShot(100, [&] {
        eventDuringTheWait = waiting;
        secondCall = failureOf([&] { connection->execute("SELECT 1"); });
    });
    waiting = true;
    const std::unique_ptr<Cursor> slept = connection->query("SELECT pg_sleep(1), 7");
    waiting = false;
    EXPECT_TRUE(eventDuringTheWait);
    EXPECT_EQ(secondCall, QStringLiteral("The connection is still waiting for the server."));
    EXPECT_EQ(slept->fieldValue(1), Value{std::int64_t{7}});
    EXPECT_TRUE(failureOf([&] {
                    connection->execute(R"(DROP TABLE "ODBC_NO_SUCH_TABLE")");
                }).contains("ODBC_NO_SUCH_TABLE"));
}

// Qt's connections and queries may be used only on the thread that opened them: every call of a
// connection, from sign-on to close, runs on the one thread of its own, never on the window
// thread, while the window goes on handling its events.
TEST_F(ServerTest, EveryCallOfAConnectionRunsOnTheThreadThatOpenedIt) {
    dropIfExists("ODBC_THREAD");
    std::list<std::vector<std::thread::id>> ranOn; // one list of threads per connection
    const CallThreadsInstalled threads([&ranOn] {
        return std::make_unique<RecordingCallThread>(programCallThreads()(), ranOn.emplace_back());
    });
    const QStringList namesBefore = QSqlDatabase::connectionNames();
    const std::unique_ptr<Connection> server = connect(ServerSideCursor);
    const std::unique_ptr<Connection> client = connect(ClientSideCursor);
    const EventsWhileWaiting operation;

    bool waiting = false;
    bool eventDuringTheWait = false;
    QTimer::singleShot(100, [&] { eventDuringTheWait = waiting; });
    waiting = true;
    const std::unique_ptr<Cursor> slept = server->query("SELECT pg_sleep(1), 7");
    waiting = false;
    EXPECT_TRUE(eventDuringTheWait);
    EXPECT_EQ(slept->fieldValue(1), Value{std::int64_t{7}});

    // Each kind of call: statements, bound values, a transaction with an array, both cursors.
    server->execute(R"(CREATE TABLE "ODBC_THREAD"("N" INT, "S" NVARCHAR2(2000)))");
    const BoundValue one[] = {QStringLiteral("one")};
    server->execute(R"(INSERT INTO "ODBC_THREAD" VALUES(1, ?))", one);
    server->beginTransaction();
    const std::unique_ptr<ArrayInsert> insert =
        server->prepareArrayInsert(R"(INSERT INTO "ODBC_THREAD" VALUES(?, ?))",
                                   {{ParameterKind::Integer}, {ParameterKind::WideText}});
    const std::vector<ArrayRow> rows = {{std::int64_t{2}, std::string("two")},
                                        {std::int64_t{3}, std::string("three")}};
    EXPECT_EQ(insert->send(rows), std::vector<ArrayRowStatus>(2, ArrayRowStatus::Done));
    server->commit();
    server->beginTransaction();
    server->execute(R"(DELETE FROM "ODBC_THREAD")");
    server->rollback();
    const std::unique_ptr<Cursor> streamed =
        server->query(R"(SELECT "S" FROM "ODBC_THREAD" ORDER BY "N")");
    std::vector<Value> texts;
    for (; !streamed->atEnd(); streamed->moveNext())
        texts.push_back(streamed->fieldValue(0));
    const std::unique_ptr<Cursor> counted = client->query(R"(SELECT "N" FROM "ODBC_THREAD")");
    EXPECT_EQ(counted->recordCount(), 3);
    EXPECT_EQ(texts,
              (std::vector<Value>{std::string("one"), std::string("two"), std::string("three")}));
    EXPECT_TRUE(failureOf([&] {
                    server->execute(R"(DROP TABLE "ODBC_NO_SUCH_TABLE")");
                }).contains("ODBC_NO_SUCH_TABLE"));
    server->execute(R"(DROP TABLE "ODBC_THREAD")");

    // Qt holds the connections opened here as another thread's: the window thread cannot have them.
    int opened = 0;
    for (const QString& name : QSqlDatabase::connectionNames())
        if (!namesBefore.contains(name)) {
            ++opened;
            EXPECT_FALSE(QSqlDatabase::database(name, false).isValid()) << name.toStdString();
        }
    EXPECT_EQ(opened, 2);
    server->close();
    client->close();

    ASSERT_EQ(ranOn.size(), 2u);
    std::set<std::thread::id> connectionThreads;
    for (const std::vector<std::thread::id>& ran : ranOn) {
        ASSERT_GT(ran.size(), 2u); // open, the calls, close
        EXPECT_EQ(std::set<std::thread::id>(ran.begin(), ran.end()).size(), 1u);
        EXPECT_NE(ran.front(), std::this_thread::get_id());
        connectionThreads.insert(ran.front());
    }
    EXPECT_EQ(connectionThreads.size(), 2u);
}

// Texts go into arrays as wide characters, their ASCII parts sixteen and eight bytes at a time:
// every length around those steps, with a character beyond ASCII at each place (first, within,
// just after a step, last) and a byte order mark within, arrives as it was.
TEST_F(ServerTest, ArraysOfTextsArriveExactlyWhateverTheirLengthsAndCharacters) {
    const std::unique_ptr<Connection> connection = connect();
    connection->execute(R"(CREATE TABLE "ODBC_WIDE"("N" INT, "S" NVARCHAR2(2000)))");
    std::vector<std::string> texts;
    for (const std::size_t length : {1, 7, 8, 9, 15, 16, 17, 23, 31, 32, 33, 47, 48, 60, 1999}) {
        std::string ascii;
        for (std::size_t i = 0; i < length; ++i)
            ascii += static_cast<char>('!' + i % 90);
        texts.push_back(ascii);
        for (const std::size_t at : {std::size_t{0}, length / 2, std::size_t{8}, std::size_t{16},
                                     std::size_t{17}, length - 1})
            if (at < length) {
                texts.push_back(std::string(ascii).replace(at, 1, "ü"));
                texts.push_back(std::string(ascii).replace(at, 1, "\xF0\x9F\x98\x80")); // 😀
            }
        texts.push_back(ascii.substr(0, (length + 1) / 2) + "\xEF\xBB\xBF" + // a byte order mark
                        ascii.substr((length + 1) / 2));
    }
    std::vector<ArrayRow> rows;
    for (std::size_t i = 0; i < texts.size(); ++i)
        rows.push_back({static_cast<std::int64_t>(i), texts[i]});
    connection->beginTransaction();
    const std::unique_ptr<ArrayInsert> insert =
        connection->prepareArrayInsert(R"(INSERT INTO "ODBC_WIDE" VALUES(?, ?))",
                                       {{ParameterKind::Integer}, {ParameterKind::WideText}});
    ASSERT_EQ(insert->send(rows), std::vector<ArrayRowStatus>(rows.size(), ArrayRowStatus::Done));
    connection->commit();
    const std::unique_ptr<Cursor> read =
        connection->query(R"(SELECT "N", "S" FROM "ODBC_WIDE" ORDER BY "N")");
    std::size_t n = 0;
    for (; !read->atEnd(); read->moveNext(), ++n) {
        ASSERT_LT(n, texts.size());
        EXPECT_EQ(text(read->fieldValue(1)), texts[n]) << "row " << n;
    }
    EXPECT_EQ(n, texts.size());
    connection->execute(R"(DROP TABLE "ODBC_WIDE")");
}

TEST_F(ServerTest, ClientSideCursorsKnowTheRecordCountBeforeTheFirstRow) {
    dropIfExists("ODBC_ROWS");
    executeAll({R"(CREATE TABLE "ODBC_ROWS"("N" INT, "S" NVARCHAR2(2000)))",
                R"(INSERT INTO "ODBC_ROWS" VALUES('1', 'one'))",
                R"(INSERT INTO "ODBC_ROWS" VALUES('2', 'two'))",
                R"(INSERT INTO "ODBC_ROWS" VALUES('3', NULL))"});
    const QString sql = R"(SELECT "N", "S" FROM "ODBC_ROWS" ORDER BY "N")";

    const std::unique_ptr<Connection> client = connect(ClientSideCursor);
    Recordset rs;
    rs.open(sql, *client);
    ASSERT_EQ(rs.recordCount(), 3);
    ASSERT_EQ(rs.fieldCount(), 2);
    EXPECT_EQ(rs.fieldName(0), "N");
    EXPECT_EQ(rs.fieldName(1), "S");
    std::vector<Value> read;
    for (std::int64_t i = 0; i < rs.recordCount(); ++i) {
        read.push_back(rs.fieldValue(0));
        read.push_back(rs.fieldValue(1));
        rs.moveNext();
    }
    using paradox::Decimal; // INT is NUMBER(38)
    EXPECT_EQ(read, (std::vector<Value>{Decimal{"1"}, std::string("one"), Decimal{"2"},
                                        std::string("two"), Decimal{"3"}, Value{}}));
    EXPECT_TRUE(rs.atEnd());
    int number = 0;
    failureOf([&] { rs.moveNext(); }, &number);
    EXPECT_EQ(number, 3021);
    failureOf([&] { rs.fieldValue(0); }, &number);
    EXPECT_EQ(number, 3021);
    failureOf([&] { rs.fieldName(2); }, &number);
    EXPECT_EQ(number, 3265);
    rs.close();

    // Server-side cursors read the same rows one at a time, count unknown.
    const std::unique_ptr<Connection> server = connect(ServerSideCursor);
    const std::unique_ptr<Cursor> cursor = server->query(sql);
    EXPECT_EQ(cursor->recordCount(), -1);
    std::vector<Value> streamed;
    for (; !cursor->atEnd(); cursor->moveNext()) {
        streamed.push_back(cursor->fieldValue(0));
        streamed.push_back(cursor->fieldValue(1));
    }
    EXPECT_EQ(streamed, read);

    // An empty result: count 0, at the end at once.
    const std::unique_ptr<Cursor> none =
        client->query(R"(SELECT * FROM "ODBC_ROWS" WHERE "N" > 9)");
    EXPECT_EQ(none->recordCount(), 0);
    EXPECT_TRUE(none->atEnd());
    EXPECT_EQ(none->fieldCount(), 2);
    dropIfExists("ODBC_ROWS");
}

TEST_F(ServerTest, ReportsTypesAndValuesOfEveryKindOfColumn) {
    dropIfExists("ODBC_KINDS");
    executeAll({R"(CREATE TABLE "ODBC_KINDS"("NV" NVARCHAR2(2000), "I" INT, "SI" SMALLINT,
             "BI" BIGINT, "R" REAL, "F" FLOAT, "D" DECIMAL, "DT" DATE, "TM" TIME(0),
             "TS" TIMESTAMP(3), "BL" BLOB, "TX" TEXT, "CH" CHAR(3), "VC" VARCHAR(10)))",
                R"(INSERT INTO "ODBC_KINDS" VALUES('Grüße, O''Brien', '-2147483648', '-32768',
             '9007199254740993', '1.5', '0.1', '-12345678901234567890.125', '1999-12-31',
             '23:59:58', '2004-02-29 13:14:15.678', '00FF10A5', 'long text', 'ab', 'v'))",
                R"(INSERT INTO "ODBC_KINDS" VALUES(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
             NULL, NULL, NULL, NULL, NULL, NULL))"});

    const std::unique_ptr<Connection> connection = connect(ClientSideCursor);
    const std::unique_ptr<Cursor> cursor =
        connection->query(R"(SELECT * FROM "ODBC_KINDS" ORDER BY "I" NULLS LAST)");
    ASSERT_EQ(cursor->recordCount(), 2);
    ASSERT_EQ(cursor->fieldCount(), 14);
    // INT and a bare DECIMAL are whole numbers of up to 38 digits, as in Oracle.
    const std::vector<int> types = {202, 131, 2, 20, 4, 5, 131, 133, 134, 135, 205, 203, 130, 202};
    const std::vector<QString> names = {"NV", "I",  "SI", "BI", "R",  "F",  "D",
                                        "DT", "TM", "TS", "BL", "TX", "CH", "VC"};
    for (int i = 0; i < cursor->fieldCount(); ++i) {
        EXPECT_EQ(cursor->fieldType(i), types[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(cursor->fieldName(i), names[static_cast<std::size_t>(i)]) << i;
    }
    const std::vector<Value> expected = {
        std::string("Grüße, O'Brien"),
        paradox::Decimal{"-2147483648"},
        std::int64_t{-32768},
        std::int64_t{9007199254740993LL}, // not exactly representable as a double
        1.5,
        0.1,
        paradox::Decimal{"-12345678901234567890"}, // the fraction rounded away
        paradox::Date{1999, 12, 31},
        paradox::Time{23, 59, 58, 0},
        paradox::Timestamp{{2004, 2, 29}, {13, 14, 15, 678}},
        paradox::Bytes{0x00, 0xFF, 0x10, 0xA5},
        std::string("long text"),
        std::string("ab "),
        std::string("v")};
    for (int i = 0; i < cursor->fieldCount(); ++i)
        EXPECT_EQ(cursor->fieldValue(i), expected[static_cast<std::size_t>(i)]) << i;
    cursor->moveNext();
    for (int i = 0; i < cursor->fieldCount(); ++i)
        EXPECT_TRUE(paradox::isNull(cursor->fieldValue(i))) << i;

    // Booleans come as BIT when the driver is asked to (this server's driver sends text
    // otherwise; the Oracle side has no logical columns).
    const std::unique_ptr<Connection> bits = dataAccess().createConnection();
    bits->open(db.connectionString() + "BoolsAsChar=0;");
    const std::unique_ptr<Cursor> logical = bits->query("SELECT true, false");
    EXPECT_EQ(logical->fieldType(0), adotype::Boolean);
    EXPECT_EQ(logical->fieldValue(0), Value{true});
    EXPECT_EQ(logical->fieldValue(1), Value{false});
    dropIfExists("ODBC_KINDS");
}

TEST_F(ServerTest, BlobColumnsTakeHexTextAndRefuseOtherText) {
    dropIfExists("ODBC_BLOB");
    const std::unique_ptr<Connection> connection = connect(ClientSideCursor);
    connection->execute(R"(CREATE TABLE "ODBC_BLOB"("K" INT,"B" BLOB))");
    connection->execute(R"(INSERT INTO "ODBC_BLOB" VALUES('1', '0a0B'))");
    connection->execute(R"(INSERT INTO "ODBC_BLOB" VALUES('2', NULL))");
    const QString notHex =
        failureOf([&] { connection->execute(R"(INSERT INTO "ODBC_BLOB" VALUES('3', 'XYZ'))"); });
    EXPECT_TRUE(notHex.contains("invalid hex number")) << notHex.toStdString();
    const std::unique_ptr<Cursor> cursor =
        connection->query(R"(SELECT "B" FROM "ODBC_BLOB" ORDER BY "K")");
    ASSERT_EQ(cursor->recordCount(), 2);
    EXPECT_EQ(cursor->fieldValue(0), Value{paradox::Bytes({0x0A, 0x0B})});
    cursor->moveNext();
    EXPECT_TRUE(paradox::isNull(cursor->fieldValue(0)));
    dropIfExists("ODBC_BLOB");
}

TEST_F(ServerTest, CreatesInsertsReadsBackAndDropsInTheProgramsStatementForms) {
    dropIfExists("T");
    const std::unique_ptr<Connection> connection = connect(ClientSideCursor);
    connection->execute("CREATE TABLE \"T\"(\"F1\" NVARCHAR2(2000),\"F2\" INT)");
    connection->execute("INSERT INTO \"T\" VALUES('1', NULL)");
    connection->execute("INSERT INTO \"T\" VALUES('O''Brien', '42')");
    EXPECT_TRUE(contains(tableNames(*connection), "T"));

    const std::unique_ptr<Cursor> cursor = connection->query("SELECT * FROM \"T\"");
    ASSERT_EQ(cursor->recordCount(), 2);
    EXPECT_EQ(cursor->fieldType(0), adotype::VarWChar);
    EXPECT_EQ(cursor->fieldType(1), adotype::Numeric); // INT is NUMBER(38)
    EXPECT_EQ(cursor->fieldValue(0), Value{std::string("1")});
    EXPECT_TRUE(paradox::isNull(cursor->fieldValue(1)));
    cursor->moveNext();
    EXPECT_EQ(cursor->fieldValue(0), Value{std::string("O'Brien")});
    EXPECT_EQ(cursor->fieldValue(1), Value{paradox::Decimal{"42"}});

    connection->execute("DROP TABLE \"T\"");
    EXPECT_FALSE(contains(tableNames(*connection), "T"));
}

TEST_F(ServerTest, RefusesAnNvarchar2ValueLongerThan2000Characters) {
    dropIfExists("ODBC_LONG");
    const std::unique_ptr<Connection> connection = connect();
    connection->execute(R"(CREATE TABLE "ODBC_LONG"("F1" NVARCHAR2(2000)))");
    // 2000 characters fit, whatever their size in bytes.
    connection->execute(QStringLiteral(R"(INSERT INTO "ODBC_LONG" VALUES('%1'))")
                            .arg(QString(2000, QChar(0x00E4))));
    const QString tooLong = failureOf([&] {
        connection->execute(
            QStringLiteral(R"(INSERT INTO "ODBC_LONG" VALUES('%1'))").arg(QString(2001, u'x')));
    });
    EXPECT_TRUE(tooLong.contains("too long")) << tooLong.toStdString();
    EXPECT_EQ(scalar(R"(SELECT COUNT(*) FROM "ODBC_LONG")"), Value{std::int64_t{1}});
    EXPECT_EQ(scalar(R"(SELECT length("F1") FROM "ODBC_LONG")"), Value{std::int64_t{2000}});
    dropIfExists("ODBC_LONG");
}

// As in Oracle, an empty text is NULL: stored as NULL in a text column of either kind, and so
// refused by NOT NULL and by a check that the value is there.
TEST_F(ServerTest, AnEmptyTextIsNull) {
    dropIfExists("ODBC_EMPTY");
    const std::unique_ptr<Connection> connection = connect();
    connection->execute(R"(CREATE TABLE "ODBC_EMPTY"("K" INT NOT NULL,"T" NVARCHAR2(20),)"
                        R"("M" NCLOB,"R" NVARCHAR2(20) NOT NULL,"C" NVARCHAR2(20)))");
    connection->execute(R"(ALTER TABLE "ODBC_EMPTY" ADD CHECK ("C" IS NOT NULL))");
    connection->execute(R"(INSERT INTO "ODBC_EMPTY" VALUES('1', '', '', 'r', 'c'))");
    connection->execute(R"(INSERT INTO "ODBC_EMPTY" VALUES('2', ' ', 'm', 'r', 'c'))");
    for (const char* refused : {R"(INSERT INTO "ODBC_EMPTY" VALUES('3', 't', 'm', '', 'c'))",
                                R"(INSERT INTO "ODBC_EMPTY" VALUES('4', 't', 'm', 'r', ''))",
                                R"(UPDATE "ODBC_EMPTY" SET "R" = '' WHERE "K" = 2)"}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(failureOf([&] { connection->execute(refused); }).isEmpty());
    }
    EXPECT_EQ(scalar(R"(SELECT COUNT(*) FROM "ODBC_EMPTY" WHERE "T" IS NULL AND "M" IS NULL)"),
              Value{std::int64_t{1}});
    EXPECT_EQ(scalar(R"(SELECT COUNT(*) FROM "ODBC_EMPTY" WHERE "T" = ' ' AND "R" = 'r')"),
              Value{std::int64_t{1}});
    dropIfExists("ODBC_EMPTY");
}

TEST_F(ServerTest, UserTablesListsTheUsersTablesOnly) {
    dropIfExists("ODBC_LISTED");
    executeAll({R"(CREATE TABLE "ODBC_LISTED"("A" INT))",
                R"(CREATE OR REPLACE VIEW "ODBC_NOT_A_TABLE" AS SELECT 1 AS "A")"});
    const std::unique_ptr<Connection> connection = connect(ClientSideCursor);
    const std::vector<std::string> names = tableNames(*connection);
    EXPECT_TRUE(contains(names, "ODBC_LISTED"));
    EXPECT_FALSE(contains(names, "ODBC_NOT_A_TABLE"));
    EXPECT_FALSE(contains(names, "user_tables"));
    connection->execute(R"(DROP VIEW "ODBC_NOT_A_TABLE")");
    dropIfExists("ODBC_LISTED");
}

namespace {

// Sessions the test user has open on the server, as the server counts them.
std::int64_t sessionsOf(const std::unique_ptr<Connection>& observer) {
    const std::unique_ptr<Cursor> c =
        observer->query("SELECT COUNT(*) FROM pg_stat_activity WHERE usename = current_user AND "
                        "backend_type = 'client backend'");
    return std::get<std::int64_t>(c->fieldValue(0));
}

// The server ends a session shortly after its client leaves; wait a bounded time for that.
std::int64_t sessionsSettledAt(const std::unique_ptr<Connection>& observer, std::int64_t want) {
    std::int64_t n = sessionsOf(observer);
    for (int i = 0; i < 100 && n != want; ++i) {
        QThread::msleep(50);
        n = sessionsOf(observer);
    }
    return n;
}

} // namespace

TEST_F(ServerTest, ClosingOrDestroyingAConnectionEndsItsSessionAndReleasesItsCursors) {
    const std::unique_ptr<Connection> observer = connect(ClientSideCursor);
    const std::int64_t before = sessionsOf(observer);

    std::unique_ptr<Connection> dropped = connect();
    std::unique_ptr<Connection> closed = connect();
    EXPECT_EQ(sessionsSettledAt(observer, before + 2), before + 2);

    // An open server-side cursor does not keep the connection alive.
    std::unique_ptr<Cursor> cursor = closed->query("SELECT generate_series(1, 5)");
    EXPECT_FALSE(cursor->atEnd());
    closed->close();
    EXPECT_FALSE(closed->isOpen());
    EXPECT_TRUE(cursor->atEnd());
    EXPECT_THROW(cursor->fieldValue(0), RuntimeError);
    EXPECT_THROW(closed->execute("SELECT 1"), RuntimeError);
    EXPECT_THROW(closed->close(), RuntimeError);

    dropped.reset(); // destroyed while open
    EXPECT_EQ(sessionsSettledAt(observer, before), before);
    cursor.reset();

    // A closed connection object opens again.
    closed->open(db.connectionString());
    EXPECT_EQ(closed->query("SELECT 2")->fieldValue(0), Value{std::int64_t{2}});
}

// Jobs sign on at the same moment; a session holding another's socket as its own would have the
// statement time limit of one job cut another job's connection.
TEST_F(ServerTest, SessionsSigningOnTogetherEachHoldOnlyTheirOwnSockets) {
    constexpr int Sessions = 4;
    const QString connectionString = db.connectionString();
    std::vector<std::vector<OpenSocket>> held(Sessions);
    std::vector<QString> failures(Sessions);
    std::latch start(Sessions), allOpen(Sessions);
    std::vector<std::thread> jobs;
    for (int i = 0; i < Sessions; ++i)
        jobs.emplace_back([&, i] {
            OdbcSession session;
            start.arrive_and_wait();
            try {
                session.open(connectionString);
                held[i] = session.sockets();
            } catch (const RuntimeError& e) {
                failures[i] = e.description();
            }
            allOpen.arrive_and_wait(); // no descriptor is closed and reused meanwhile
        });
    for (std::thread& job : jobs)
        job.join();
    std::set<OpenSocket> seen;
    for (int i = 0; i < Sessions; ++i) {
        EXPECT_TRUE(failures[i].isEmpty()) << failures[i].toStdString();
        EXPECT_FALSE(held[i].empty());
        for (const OpenSocket& socket : held[i])
            EXPECT_TRUE(seen.insert(socket).second) << "socket " << socket.fd << " held twice";
    }
}

TEST_F(ServerTest, ATimeStampKeepsItsFieldsWhereTheLocalClockSkipsThem) {
    // 02:30 on that day does not exist on a Berlin wall clock; the stored value must not move.
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const Value stamp = scalar("SELECT timestamp '2021-03-28 02:30:00.250'");
    if (savedZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedZone);
    tzset();
    EXPECT_EQ(stamp, (Value{paradox::Timestamp{{2021, 3, 28}, {2, 30, 0, 250}}}));
}

// A password may hold any character: ";" and braces must neither cut it short nor let the rest
// of it be read as other keys of the connection string.
TEST_F(ServerTest, APasswordWithSemicolonsAndBracesSignsOn) {
    // A session that is open already outlives a change of password: it puts the old one back.
    const std::unique_ptr<Connection> keeper = connect();
    struct Restore {
        Connection& keeper;
        QString password;
        ~Restore() {
            keeper.execute(QStringLiteral("ALTER ROLE CURRENT_USER PASSWORD '%1'").arg(password));
        }
    } restore{*keeper, db.password};

    for (const QString& password :
         {QStringLiteral("ti;ger"), QStringLiteral("{braced}"), QStringLiteral("a}b;c{d=e"),
          QStringLiteral("x;Driver={nonexistent SECRET}"), QStringLiteral("}}{;")}) {
        SCOPED_TRACE(password.toStdString());
        keeper->execute(QStringLiteral("ALTER ROLE CURRENT_USER PASSWORD '%1'").arg(password));
        const std::unique_ptr<Connection> connection = dataAccess().createConnection();
        EXPECT_NO_THROW(connection->open(db.connectionStringWithPassword(password)));
        EXPECT_TRUE(connection->isOpen());
    }

    // Typed wrongly, the rest of such a password does not reach the driver as keys of its own.
    const QString wrong = failureOf([&] {
        dataAccess().createConnection()->open(
            db.connectionStringWithPassword(QStringLiteral("x;Driver={nonexistent SECRET}!")));
    });
    EXPECT_FALSE(wrong.contains(QStringLiteral("SECRET"))) << wrong.toStdString();
    EXPECT_TRUE(wrong.contains(QStringLiteral("password authentication failed")))
        << wrong.toStdString();
}

// Every wait on the server ends within its limit, as on a lost connection: sign-on to a server
// that takes the connection and never answers; the fetches of a client-side cursor's rows and
// of a server-side cursor's rows while the server's process is stopped.
TEST_F(ServerTest, EveryWaitEndsWithinItsLimitWhenTheServerStopsAnswering) {
    const ServerTimeLimits before = serverTimeLimits();
    struct Restore {
        ServerTimeLimits limits;
        ~Restore() { setServerTimeLimits(limits); }
    } restore{before};
    setServerTimeLimits({2, 2});
    const QString noAnswer = QStringLiteral("No answer from the server within 2 seconds.");

    // A server that takes connections (the system completes them) and never says a word.
    QTemporaryDir silent(QStringLiteral("/tmp/dravena-silent-XXXXXX"));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(silent.filePath(QStringLiteral(".s.PGSQL.5432")));
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0);

    // Rows that come a hundred at a time, each fetch a wait on the server.
    const QString fetching = db.connectionString() + QStringLiteral("UseDeclareFetch=1;Fetch=100;");
    // Rows that stream (a join of two small functions' results) rather than being made first.
    const QString manyRows = QStringLiteral("SELECT a.g * 10000 + b.g FROM generate_series(1, "
                                            "10000) a(g), generate_series(1, 10000) b(g)");
    struct Case {
        const char* what;
        QString connectionString;
        int cursorLocation;
        bool stopSession; // the server's process is stopped while the rows come
    };
    const std::vector<Case> cases = {
        {"sign-on to a server that never answers",
         oracleConnectionString(silent.path(), db.user, db.password), ServerSideCursor, false},
        {"client-side cursor's fetches", fetching, ClientSideCursor, true},
        {"server-side cursor's fetches", fetching, ServerSideCursor, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<Connection> connection = dataAccess().createConnection();
        connection->setCursorLocation(c.cursorLocation);
        std::atomic<bool> ended{false};
        std::jthread stopper;
        if (c.stopSession) {
            connection->open(c.connectionString);
            const auto pid = static_cast<pid_t>(std::stol(text(
                connection->query(QStringLiteral("SELECT CAST(pg_backend_pid() AS VARCHAR(20))"))
                    ->fieldValue(0))));
            // Stopped once the rows flow; let go after a minute at most, whatever happened.
            stopper = std::jthread([&ended, pid, this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                ::kill(pid, SIGSTOP);
                for (int i = 0; i < 600 && !ended; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                ::kill(pid, SIGCONT);
                executeAll({QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid)});
            });
        }
        const auto started = std::chrono::steady_clock::now();
        const QString failure = failureOf([&] {
            if (!c.stopSession)
                connection->open(c.connectionString);
            Recordset rows;
            rows.open(manyRows, *connection);
            while (!rows.atEnd())
                rows.moveNext();
        });
        ended = true;
        EXPECT_EQ(failure.toStdString(), noAnswer.toStdString());
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60))
            << "the wait did not end within a minute";
    }
    ::close(listener);
}
