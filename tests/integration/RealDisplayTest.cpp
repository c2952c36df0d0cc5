// The real program on a real (virtual) display, driven as a person drives it: pointer clicks and
// keys go to its windows, and the effects are checked on disk and on the test server. Pictures of
// the windows are left in the build folder's "screenshots" folder for people to look at.

#include "TestDatabase.h"
#include "X11Display.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

using namespace dravena;
using dravena::testing::waitUntil;
using dravena::testing::X11Display;

namespace {

const QString ProductCaption = QStringLiteral("Dravena Conversion Software");
const QString BoxTitle = QStringLiteral("Dravena Conversion");
const QString ScreenshotFolder = QStringLiteral(DRAVENA_BINARY_DIR "/screenshots");

// Points of the tables window (in its own pixels), from its design: the first entry of each
// list, and the middle of the push buttons used.
constexpr QPoint OracleFirstEntry{84, 40};
constexpr QPoint ParadoxFirstEntry{348, 40};
constexpr QPoint OracleDelete{135, 227};
constexpr QPoint ParadoxDelete{399, 227};
constexpr QPoint ParadoxRename{399, 261};
constexpr QPoint BackButton{136, 345};
constexpr QPoint HelpButton{400, 345};

class RealDisplayTest : public dravena::testing::ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QStringList missing = X11Display::missingTools();
        if (!missing.isEmpty()) {
            const std::string why = "missing " + missing.join(", ").toStdString() +
                                    " (scripts/install-deps --test installs them)";
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                FAIL() << why;
            GTEST_SKIP() << why;
        }
        display = std::make_unique<X11Display>();
        ASSERT_TRUE(display->started()) << "Xvfb did not start";
        QDir().mkpath(ScreenshotFolder);

        for (const QString& table : serverTables) {
            dropIfExists(table);
            executeAll({QStringLiteral("CREATE TABLE \"%1\"(\"A\" INT)").arg(table)});
        }
        copySamples();
        writeSettings();
    }

    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
        display.reset();
        if (!IsSkipped())
            for (const QString& table : serverTables)
                dropIfExists(table);
    }

    // The program's sample tables, with their file names in lower case as many folders hold them.
    void copySamples() {
        const QDir samples(QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples"));
        const QStringList files = samples.entryList(QDir::Files);
        ASSERT_FALSE(files.isEmpty()) << "no sample tables at " << samples.path().toStdString();
        for (const QString& name : files)
            ASSERT_TRUE(QFile::copy(samples.filePath(name), folder.filePath(name.toLower())));
    }

    // Entries that work against the test server, so that the program starts in the tables
    // window.
    void writeSettings() {
        QSettings store(config.filePath(QStringLiteral("Velmora/Velmora.ini")),
                        QSettings::IniFormat);
        store.beginGroup(ProductCaption);
        store.setValue(QStringLiteral("ParadoxFolder"), folder.path());
        store.setValue(QStringLiteral("Server"), db.sid);
        store.setValue(QStringLiteral("User"), db.user);
        store.setValue(QStringLiteral("Password"), db.password);
        store.endGroup();
        store.sync();
        ASSERT_EQ(store.status(), QSettings::NoError);
    }

    void startProgram() {
        QProcessEnvironment environment = display->environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("DRAVENA_NO_LAUNCH"), QStringLiteral("1"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena"), {});
        ASSERT_TRUE(program.waitForStarted(10000)) << program.errorString().toStdString();
    }

    void click(const QString& window, QPoint point) const {
        display->click(window, point.x(), point.y());
    }

    void screenshot(const QString& window, const QString& name) const {
        EXPECT_TRUE(display->screenshot(window, ScreenshotFolder + u'/' + name))
            << name.toStdString();
    }

    bool fileThere(const QString& name) const { return QFile::exists(folder.filePath(name)); }

    bool onServer(const QString& table) const {
        const Value found =
            scalar(QStringLiteral("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM user_tables WHERE "
                                  "table_name = '%1'")
                       .arg(table));
        return std::get<std::string>(found) == "1";
    }

    // Sorted before any other table a test leaves on the server: the first entry of the list.
    const QStringList serverTables = {QStringLiteral("0XD_DROP"), QStringLiteral("0XD_KEEP")};
    std::unique_ptr<X11Display> display;
    QTemporaryDir folder;
    QTemporaryDir config;
    QProcess program;
};

TEST_F(RealDisplayTest, TablesAreDeletedRenamedAndDroppedByPointerAndKeys) {
    startProgram();
    QString tables;
    // Working entries lead straight to the tables window: the connection window never shows.
    ASSERT_TRUE(waitUntil([&] {
        return !(tables = display->windowTitled(ProductCaption)).isEmpty();
    })) << "the tables window did not appear";
    screenshot(tables, QStringLiteral("tables-window.png"));

    // The second Paradox entry (ORDERS): a click on the first, the arrow key down, the delete
    // button.
    click(tables, ParadoxFirstEntry);
    display->key(QStringLiteral("Down"));
    click(tables, ParadoxDelete);
    EXPECT_TRUE(waitUntil([&] { return !fileThere(QStringLiteral("orders.db")); }))
        << "orders.db was not deleted";
    EXPECT_TRUE(fileThere(QStringLiteral("customer.db")));
    EXPECT_TRUE(fileThere(QStringLiteral("parts.db")));
    EXPECT_TRUE(fileThere(QStringLiteral("parts.mb")));

    // The first (CUSTOMER) renamed through the input box, its memo file with it.
    click(tables, ParadoxFirstEntry);
    click(tables, ParadoxRename);
    QString box;
    ASSERT_TRUE(waitUntil([&] { return !(box = display->windowTitled(BoxTitle)).isEmpty(); }))
        << "no input box";
    screenshot(box, QStringLiteral("rename-input-box.png"));
    display->key(QStringLiteral("ctrl+a"));
    display->type(QStringLiteral("Clients"));
    display->key(QStringLiteral("Return"));
    EXPECT_TRUE(waitUntil([&] {
        return fileThere(QStringLiteral("Clients.db")) && fileThere(QStringLiteral("Clients.mb"));
    })) << "the table was not renamed";
    EXPECT_FALSE(fileThere(QStringLiteral("customer.db")));
    EXPECT_FALSE(fileThere(QStringLiteral("customer.mb")));

    // The first Oracle entry dropped; its neighbour stays.
    click(tables, OracleFirstEntry);
    click(tables, OracleDelete);
    EXPECT_TRUE(waitUntil([&] { return !onServer(serverTables[0]); }))
        << "the server table was not dropped";
    EXPECT_TRUE(onServer(serverTables[1]));
    screenshot(tables, QStringLiteral("tables-window-after.png"));

    // The help message, closed with the Enter key.
    click(tables, HelpButton);
    ASSERT_TRUE(waitUntil([&] { return !(box = display->windowTitled(BoxTitle)).isEmpty(); }))
        << "no help message";
    screenshot(box, QStringLiteral("help-message.png"));
    display->key(QStringLiteral("Return"));
    EXPECT_TRUE(waitUntil([&] { return display->windowTitled(BoxTitle).isEmpty(); }));

    // Back to the connection window.
    click(tables, BackButton);
    QString connection;
    ASSERT_TRUE(waitUntil([&] {
        connection = display->windowTitled(ProductCaption);
        return !connection.isEmpty() && connection != tables;
    })) << "the connection window did not appear";
    screenshot(connection, QStringLiteral("connection-window.png"));
    EXPECT_EQ(program.state(), QProcess::Running);
}

} // namespace
