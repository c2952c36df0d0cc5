#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct CliRun {
    int status = -1;
    QStringList script; // standard output, split at line breaks
    QStringList lines;  // its statements: without the SQL*Plus settings and the COMMITs
    QString errors;
};

const QStringList sqlPlusSettings{QStringLiteral("SET DEFINE OFF"),
                                  QStringLiteral("SET SQLBLANKLINES ON")};

CliRun runCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena-cli"), arguments);
    CliRun run;
    if (!process.waitForFinished(120000)) {
        ADD_FAILURE() << "dravena-cli did not finish: " << qPrintable(process.errorString());
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.script = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    run.lines = run.script;
    if (run.lines.mid(0, 2) == sqlPlusSettings)
        run.lines.remove(0, 2);
    run.lines.removeAll(QStringLiteral("COMMIT;"));
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString samples(const char* sub) {
    return QStringLiteral(DRAVENA_PARADOX_SAMPLES "/") + QLatin1String(sub);
}

class SqlCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(samples("fields")) || !QFile::exists(samples("extdata")))
            GTEST_SKIP() << "Paradox sample tables not found at " DRAVENA_PARADOX_SAMPLES;
    }
};

TEST_F(SqlCommand, PrintsCreateAndOneInsertPerRow) {
    const CliRun run = runCli({QStringLiteral("sql"), QStringLiteral("--folder"),
                               samples("extdata"), QStringLiteral("COUNTRY")});
    EXPECT_EQ(run.status, 0) << qPrintable(run.errors);
    EXPECT_TRUE(run.errors.isEmpty()) << qPrintable(run.errors);
    ASSERT_EQ(run.lines.size(), 1 + 18 + 1); // the output ends with a line break
    EXPECT_EQ(run.lines[0],
              QStringLiteral("CREATE TABLE \"COUNTRY\"(\"Name\" NVARCHAR2(2000),\"Capital\" "
                             "NVARCHAR2(2000),\"Continent\" NVARCHAR2(2000),\"Area\" "
                             "FLOAT,\"Population\" FLOAT);"));
    EXPECT_EQ(run.lines[1], QStringLiteral("INSERT INTO \"COUNTRY\" VALUES('Argentina', 'Buenos "
                                           "Aires', 'South America', '2777815', '32300003');"));
    EXPECT_EQ(run.lines[2], QStringLiteral("INSERT INTO \"COUNTRY\" VALUES('Bolivia', 'La Paz', "
                                           "'South America', '1098575', '7300000');"));
    for (qsizetype i = 1; i <= 18; ++i)
        EXPECT_TRUE(run.lines[i].startsWith(QStringLiteral("INSERT INTO \"COUNTRY\" VALUES('")))
            << qPrintable(run.lines[i]);
    EXPECT_TRUE(run.lines.back().isEmpty());
}

TEST_F(SqlCommand, EveryKindOfValueInItsTextForm) {
    const CliRun run =
        runCli({QStringLiteral("sql"), QStringLiteral("--folder"), samples("fields"),
                QStringLiteral("LONG"), QStringLiteral("DATE7"), QStringLiteral("TIMESTAMP"),
                QStringLiteral("LOGICAL"), QStringLiteral("BYTES"), QStringLiteral("time")});
    EXPECT_EQ(run.status, 0) << qPrintable(run.errors);
    const QStringList& l = run.lines;
    auto has = [&l](const char* line) { EXPECT_TRUE(l.contains(QString::fromUtf8(line))) << line; };
    has("CREATE TABLE \"LONG\"(\"Id\" INT,\"LONG\" INT);");
    has("INSERT INTO \"LONG\" VALUES('1', '1');");
    has("INSERT INTO \"LONG\" VALUES('3', NULL);");
    has("CREATE TABLE \"DATE7\"(\"DATE\" NVARCHAR2(2000),\"TIME\" NVARCHAR2(2000));");
    has("INSERT INTO \"DATE7\" VALUES('2018-01-01', '10:00:00');");
    has("INSERT INTO \"DATE7\" VALUES(NULL, '10:00:00');");
    has("CREATE TABLE \"TIMESTAMP\"(\"Timestamp\" NVARCHAR2(2000));");
    has("INSERT INTO \"TIMESTAMP\" VALUES(NULL);");
    has("INSERT INTO \"TIMESTAMP\" VALUES('2020-02-01 01:00:01');");
    has("CREATE TABLE \"LOGICAL\"(\"BOOL\" NVARCHAR2(2000));");
    has("INSERT INTO \"LOGICAL\" VALUES('False');");
    has("CREATE TABLE \"BYTES\"(\"BYTES\" NVARCHAR2(2000));");
    // A table named in small letters is the one the tables window lists in capitals.
    has("CREATE TABLE \"TIME\"(\"Time\" NVARCHAR2(2000));");
    has("INSERT INTO \"TIME\" VALUES('01:00:01');");
    has("INSERT INTO \"TIME\" VALUES('03:00:03');");
    const QString bytes = QStringLiteral("INSERT INTO \"BYTES\" VALUES('310032003300") +
                          QString(2 * 255 - 12, u'0') + QStringLiteral("');");
    EXPECT_TRUE(l.contains(bytes));
    // Tables come out in the order they were named.
    EXPECT_LT(l.indexOf(QStringLiteral("CREATE TABLE \"LONG\"(\"Id\" INT,\"LONG\" INT);")),
              l.indexOf(QStringLiteral("CREATE TABLE \"TIME\"(\"Time\" NVARCHAR2(2000));")));
}

TEST_F(SqlCommand, UnreadableTableIsReportedAndTheOthersStillPrinted) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(samples("fields/long.db"), dir.filePath(QStringLiteral("long.db"))));
    QFile broken(dir.filePath(QStringLiteral("BROKEN.DB")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(100, '\xFF'));
    broken.close();
    const CliRun run = runCli({QStringLiteral("sql"), QStringLiteral("--folder"), dir.path(),
                               QStringLiteral("BROKEN"), QStringLiteral("LONG")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("BROKEN"))) << qPrintable(run.errors);
    EXPECT_EQ(run.lines.first(), QStringLiteral("CREATE TABLE \"LONG\"(\"Id\" INT,\"LONG\" INT);"));
    EXPECT_EQ(run.lines.size(), 1 + 3 + 1);
}

TEST_F(SqlCommand, ValuesLostWithAMissingMemoFileAreWarnedAbout) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(samples("fields/memo.db"), dir.filePath(QStringLiteral("memo.db"))));
    const CliRun run = runCli(
        {QStringLiteral("sql"), QStringLiteral("--folder"), dir.path(), QStringLiteral("MEMO")});
    EXPECT_EQ(run.status, 1); // a value could not be read
    EXPECT_EQ(run.lines.at(1), QStringLiteral("INSERT INTO \"MEMO\" VALUES('1', NULL);"));
    EXPECT_TRUE(run.errors.contains(QStringLiteral("MEMO: warning: "))) << qPrintable(run.errors);
    EXPECT_TRUE(run.errors.contains(QStringLiteral(".MB"))) << qPrintable(run.errors);
}

TEST_F(SqlCommand, AFolderNameWithSemicolonsOrBracesIsReadItself) {
    // Beside each folder lies the one its name would be cut to: that one must not be read.
    QTemporaryDir dir;
    const struct {
        const char* folder;
        const char* decoy;
    } cases[] = {{"data;old", "data"}, {"{br}", "br"}, {"x}y;z", "x}y"}};
    for (const auto& c : cases) {
        const QString folder = dir.filePath(QString::fromUtf8(c.folder));
        const QString decoy = dir.filePath(QString::fromUtf8(c.decoy));
        ASSERT_TRUE(QDir().mkpath(folder) && QDir().mkpath(decoy));
        ASSERT_TRUE(QFile::copy(samples("fields/long.db"), folder + "/T.db"));
        ASSERT_TRUE(QFile::copy(samples("extdata/country.db"), decoy + "/T.db"));
        const CliRun run = runCli(
            {QStringLiteral("sql"), QStringLiteral("--folder"), folder, QStringLiteral("T")});
        EXPECT_EQ(run.status, 0) << c.folder << ": " << qPrintable(run.errors);
        EXPECT_EQ(run.lines.first(), QStringLiteral("CREATE TABLE \"T\"(\"Id\" INT,\"LONG\" INT);"))
            << c.folder;
    }
}

TEST_F(SqlCommand, MissingFolderOrArgumentsFail) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("gone"));
    CliRun run = runCli(
        {QStringLiteral("sql"), QStringLiteral("--folder"), missing, QStringLiteral("LONG")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.contains(missing)) << qPrintable(run.errors);
    EXPECT_EQ(run.lines, QStringList{QString()});

    run = runCli({QStringLiteral("sql"), QStringLiteral("LONG")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Usage"))) << qPrintable(run.errors);
    run = runCli({QStringLiteral("sql"), QStringLiteral("--folder"), samples("fields")});
    EXPECT_EQ(run.status, 2);
    run = runCli({QStringLiteral("sql"), QStringLiteral("--table"), QStringLiteral("x")});
    EXPECT_EQ(run.status, 2);
}

// The script runs in SQL*Plus as it is: no "&" variables, a COMMIT after each table's rows, and
// no literal over 4,000 bytes: the sample PARTS holds 12 pictures too long for one, whose rows
// are left out and named (table, row, field); the status tells the script is not whole.
TEST_F(SqlCommand, ScriptRunsAsItIsAndLeavesOutRowsNoLiteralCarries) {
    const CliRun run = runCli({QStringLiteral("sql"), QStringLiteral("--folder"),
                               QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples"),
                               QStringLiteral("PARTS"), QStringLiteral("ORDERS")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.script.mid(0, 2), sqlPlusSettings);
    const QStringList refused = run.errors.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(refused.size(), 12) << qPrintable(run.errors);
    for (const QString& line : refused)
        EXPECT_TRUE(line.contains(QRegularExpression(
            QStringLiteral("^dravena-cli sql: PARTS: row \\d+: field \"Picture\": the value is "
                           "longer than a literal carries"))))
            << qPrintable(line);
    EXPECT_TRUE(refused.front().startsWith(QStringLiteral("dravena-cli sql: PARTS: row 3: ")));
    qsizetype longest = 0;
    for (const QString& line : run.script)
        longest = std::max(longest, line.toUtf8().size());
    EXPECT_LT(longest, 4000 + 200);
    // Each table's statements, then its COMMIT.
    const qsizetype partsCommit = run.script.indexOf(QStringLiteral("COMMIT;"));
    EXPECT_EQ(
        run.script.mid(2, partsCommit - 2).filter(QStringLiteral("INSERT INTO \"PARTS\"")).size(),
        30 - 12);
    EXPECT_TRUE(
        run.script.value(partsCommit + 1).startsWith(QStringLiteral("CREATE TABLE \"ORDERS\"")));
    EXPECT_EQ(run.script.filter(QStringLiteral("INSERT INTO \"ORDERS\"")).size(), 240);
    EXPECT_EQ(run.script.lastIndexOf(QStringLiteral("COMMIT;")), run.script.size() - 2);
}

} // namespace

// The dry run of --schema full: each table's typed CREATE TABLE, rows and objects, the foreign
// keys last; what cannot be carried, and rows a typed column cannot hold, on standard error.
TEST_F(SqlCommand, FullSchemaScriptEndsWithTheForeignKeys) {
    const CliRun run = runCli({QStringLiteral("sql"), QStringLiteral("--folder"), samples("joins"),
                               QStringLiteral("--schema"), QStringLiteral("full"),
                               QStringLiteral("FK4"), QStringLiteral("JOINB")});
    EXPECT_EQ(run.status, 0) << qPrintable(run.errors);
    EXPECT_EQ(run.lines.join(u'\n').toStdString(),
              "CREATE TABLE \"FK4\"(\"ID\" NUMERIC(10),\"FK1\" NUMERIC(10),\"B1\" NVARCHAR2(3),"
              "\"FK\" NUMERIC(10));\n"
              "INSERT INTO \"FK4\" VALUES(1, NULL, '1', NULL);\n"
              "INSERT INTO \"FK4\" VALUES(2, NULL, '2', NULL);\n"
              "ALTER TABLE \"FK4\" ADD CONSTRAINT \"PK_FK4\" PRIMARY KEY (\"ID\");\n"
              "CREATE INDEX \"IX_FK4_reference\" ON \"FK4\" (\"FK1\", \"FK\");\n"
              "CREATE TABLE \"JOINB\"(\"Id\" NUMERIC(5));\n"
              "INSERT INTO \"JOINB\" VALUES(2);\n"
              "INSERT INTO \"JOINB\" VALUES(3);\n"
              "INSERT INTO \"JOINB\" VALUES(4);\n"
              "ALTER TABLE \"FK4\" ADD CONSTRAINT \"FK_FK4_reference\" FOREIGN KEY (\"FK1\", "
              "\"FK\") REFERENCES \"TWO\" (\"ID1\", \"ID2\");\n");
    EXPECT_TRUE(run.errors.contains("JOINB: not carried lookup \"FK_JOINB_Id\" (\"Id\") to "
                                    "\"JOINA\": not the whole primary key of \"JOINA\""))
        << qPrintable(run.errors);

    const CliRun typed =
        runCli({QStringLiteral("sql"), QStringLiteral("--folder"), samples("extdata"),
                QStringLiteral("--schema=full"), QStringLiteral("TYPSAMMLUNG")});
    EXPECT_EQ(typed.status, 1);
    EXPECT_TRUE(typed.errors.contains("TYPSAMMLUNG: row 3: field \"Datum\": a DATE column cannot "
                                      "hold the year -1"))
        << qPrintable(typed.errors);
    EXPECT_TRUE(typed.lines.contains(
        "ALTER TABLE \"TYPSAMMLUNG\" ADD CONSTRAINT \"PK_TYPSAMMLUNG\" PRIMARY KEY (\"Alpha\", "
        "\"Numerisch\");"));
}

// Two table files whose names differ only in letter case: told once, naming the one read.
TEST_F(SqlCommand, LetterCaseTwinsAreToldOnceWithTheFileRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(samples("fields/long.db"), dir.filePath(QStringLiteral("ZIP.DB"))));
    ASSERT_TRUE(QFile::copy(samples("extdata/country.db"), dir.filePath(QStringLiteral("zip.db"))));
    const CliRun run = runCli({QStringLiteral("sql"), QStringLiteral("--folder"), dir.path(),
                               QStringLiteral("zip"), QStringLiteral("ZIP")});
    EXPECT_EQ(run.status, 0) << qPrintable(run.errors);
    EXPECT_EQ(run.errors,
              QStringLiteral("dravena-cli sql: ZIP: the folder holds ZIP.DB and zip.db, "
                             "whose names differ only in letter case; ZIP.DB is "
                             "read\n"));
    EXPECT_EQ(run.lines.first(), QStringLiteral("CREATE TABLE \"ZIP\"(\"Id\" INT,\"LONG\" INT);"));
}
