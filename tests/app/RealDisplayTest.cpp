// The real program on a real (virtual) display, driven as a person drives it: pointer clicks and
// keys go to its windows, and the effects are checked on disk and on the test server. Pictures of
// the windows are left in the build folder's "screenshots" folder for people to look at.

#include "ArrivedTable.h"
#include "TestDatabase.h"
#include "X11Display.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
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
constexpr QPoint ParadoxSelectAll{341, 161};
constexpr QPoint ParadoxSend{399, 194};
constexpr QPoint OracleDelete{135, 227};
constexpr QPoint ParadoxDelete{399, 227};
constexpr QPoint ParadoxRename{399, 261};
constexpr QPoint BackButton{136, 345};
constexpr QPoint HelpButton{400, 345};
// ... and of the connection window.
constexpr QPoint LoadSampleButton{144, 77};
constexpr QPoint NextButton{268, 295};
constexpr QPoint PasswordEntry{304, 211};
constexpr QPoint OracleTestButton{144, 245};

// Every file under the folder with its size and modification time.
QStringList folderState(const QString& folder) {
    QStringList state;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        state.append(QStringLiteral("%1 %2 %3")
                         .arg(info.filePath())
                         .arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch()));
    }
    state.sort();
    return state;
}

// A private D-Bus session with the desktop's Secret Service (gnome-keyring's daemon) unlocked
// with an empty password; its keyrings are kept under the data folder, so that they outlast the
// session. The session ends when its holder's input is closed.
class KeyringSession {
public:
    static bool available() {
        for (const char* tool : {"dbus-run-session", "gnome-keyring-daemon", "secret-tool"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return false;
        return true;
    }

    KeyringSession(const QString& dataFolder, const QString& runtimeFolder) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataFolder);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
        environment.remove(QStringLiteral("DISPLAY"));
        holder_.setProcessEnvironment(environment);
        holder_.setProcessChannelMode(QProcess::SeparateChannels);
        holder_.start(QStringLiteral("dbus-run-session"),
                      {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                       QStringLiteral("echo | gnome-keyring-daemon --unlock "
                                      "--components=secrets >/dev/null; "
                                      "echo \"$DBUS_SESSION_BUS_ADDRESS\"; read ignored")});
        if (holder_.waitForReadyRead(15000))
            address = QString::fromLocal8Bit(holder_.readLine()).trimmed();
    }
    ~KeyringSession() {
        holder_.closeWriteChannel();
        if (!holder_.waitForFinished(10000))
            holder_.kill();
        holder_.waitForFinished(5000);
    }

    // secret-tool's listing of the program's entries.
    QString search() const {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        tool.setProcessEnvironment(environment);
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(QStringLiteral("secret-tool"),
                   {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("server"),
                    ProductCaption});
        tool.waitForFinished(15000);
        return QString::fromUtf8(tool.readAll());
    }

    QString address;

private:
    QProcess holder_;
};

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
        for (const QString& table : sentTables)
            dropIfExists(table);
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
            for (const QString& table : serverTables + sentTables)
                dropIfExists(table);
    }

    // The program's sample tables, with their file names in lower case as many folders hold them,
    // and one more table (a copy of PARTS) in a sub-folder.
    void copySamples() {
        const QDir samples(QStringLiteral(DRAVENA_BINARY_DIR "/bin/Samples"));
        const QStringList files = samples.entryList(QDir::Files);
        ASSERT_FALSE(files.isEmpty()) << "no sample tables at " << samples.path().toStdString();
        for (const QString& name : files)
            ASSERT_TRUE(QFile::copy(samples.filePath(name), folder.filePath(name.toLower())));
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
        for (const char* extension : {".DB", ".MB"})
            ASSERT_TRUE(QFile::copy(samples.filePath(QStringLiteral("PARTS") + extension),
                                    folder.filePath(QStringLiteral("sub/items") + extension)));
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

    // The program on the display; its keyring is the session bus at `bus` (none answers at an
    // address where no bus listens).
    void startProgram(const QString& path = QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena"),
                      const QString& bus = QStringLiteral("unix:path=/nonexistent/bus")) {
        QProcessEnvironment environment = display->environment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        environment.insert(QStringLiteral("DRAVENA_NO_LAUNCH"), QStringLiteral("1"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(path, {});
        ASSERT_TRUE(program.waitForStarted(10000)) << program.errorString().toStdString();
    }

    // The window titled so, once it shows.
    QString waitForWindow(const QString& title, const QString& other = {}) const {
        QString window;
        waitUntil([&] {
            window = display->windowTitled(title);
            return !window.isEmpty() && window != other;
        });
        return window;
    }

    QString setting(const char* key) const {
        QSettings store(config.filePath(QStringLiteral("Velmora/Velmora.ini")),
                        QSettings::IniFormat);
        return store.value(ProductCaption + u'/' + QLatin1String(key)).toString();
    }

    void click(const QString& window, QPoint point) const {
        display->click(window, point.x(), point.y());
    }

    void screenshot(const QString& window, const QString& name) const {
        EXPECT_TRUE(display->screenshot(window, ScreenshotFolder + u'/' + name))
            << name.toStdString();
    }

    // The size of the program's window ("536x317"); "" while none shows.
    QString windowSize() const {
        const QString window = display->windowTitled(ProductCaption);
        if (window.isEmpty())
            return {};
        return display->xdotool({QStringLiteral("getwindowgeometry"), window})
            .section(QStringLiteral("Geometry: "), 1)
            .trimmed();
    }

    bool fileThere(const QString& name) const { return QFile::exists(folder.filePath(name)); }

    qint64 rowsOnServer(const QString& table) const {
        const Value count =
            scalar(QStringLiteral("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM \"%1\"").arg(table));
        const auto* text = std::get_if<std::string>(&count);
        return text ? std::stoll(*text) : -1;
    }

    bool onServer(const QString& table) const {
        const Value found =
            scalar(QStringLiteral("SELECT CAST(COUNT(*) AS VARCHAR(9)) FROM user_tables WHERE "
                                  "table_name = '%1'")
                       .arg(table));
        return std::get<std::string>(found) == "1";
    }

    // Sorted before any other table a test leaves on the server: the first entry of the list.
    const QStringList serverTables = {QStringLiteral("0XD_DROP"), QStringLiteral("0XD_KEEP")};
    // What Select All and Send puts on the server.
    const QStringList sentTables = {QStringLiteral("CUSTOMER"), QStringLiteral("ITEMS"),
                                    QStringLiteral("ORDERS"), QStringLiteral("PARTS")};
    std::unique_ptr<X11Display> display;
    QTemporaryDir folder;
    QTemporaryDir config;
    QTemporaryDir data;
    QProcess program;
};

TEST_F(RealDisplayTest, TablesAreSentDeletedRenamedAndDroppedByPointerAndKeys) {
    startProgram();
    // Working entries lead straight to the tables window: the connection window never shows.
    const QString tables = waitForWindow(ProductCaption);
    ASSERT_FALSE(tables.isEmpty()) << "the tables window did not appear";
    screenshot(tables, QStringLiteral("tables-window.png"));

    // "Select All" then "Send": every table arrives, the sub-folder's from where it lies.
    click(tables, ParadoxSelectAll);
    screenshot(tables, QStringLiteral("tables-window-all-selected.png"));
    click(tables, ParadoxSend);
    // The walk goes from the last entry up: CUSTOMER, the first, is sent last.
    EXPECT_TRUE(waitUntil([&] {
        return onServer(QStringLiteral("CUSTOMER")) &&
               rowsOnServer(QStringLiteral("CUSTOMER")) == 55;
    })) << "Select All then Send did not send CUSTOMER";
    EXPECT_TRUE(display->windowTitled(BoxTitle).isEmpty()) << "a box showed while sending";
    dravena::testing::expectArrivedWhole(db, folder.filePath(QStringLiteral("sub")),
                                         QStringLiteral("ITEMS"), QStringLiteral("ITEMS"));
    dravena::testing::expectArrivedWhole(db, folder.path(), QStringLiteral("ORDERS"),
                                         QStringLiteral("ORDERS"));
    screenshot(tables, QStringLiteral("tables-window-sent.png"));

    // The third Paradox entry (ORDERS): a click on the first, the arrow key down twice, the
    // delete button. The question's default, No, keeps the files; Yes deletes them.
    click(tables, ParadoxFirstEntry);
    display->key(QStringLiteral("Down"));
    display->key(QStringLiteral("Down"));
    click(tables, ParadoxDelete);
    QString box = waitForWindow(BoxTitle);
    ASSERT_FALSE(box.isEmpty()) << "Delete did not ask";
    screenshot(box, QStringLiteral("delete-question.png"));
    display->key(QStringLiteral("Return"));
    EXPECT_TRUE(waitUntil([&] { return display->windowTitled(BoxTitle).isEmpty(); }));
    EXPECT_TRUE(fileThere(QStringLiteral("orders.db"))) << "deleted without a Yes";
    click(tables, ParadoxDelete);
    ASSERT_FALSE(waitForWindow(BoxTitle).isEmpty()) << "Delete did not ask again";
    display->key(QStringLiteral("alt+y"));
    EXPECT_TRUE(waitUntil([&] { return !fileThere(QStringLiteral("orders.db")); }))
        << "orders.db was not deleted";
    EXPECT_TRUE(fileThere(QStringLiteral("customer.db")));
    EXPECT_TRUE(fileThere(QStringLiteral("parts.db")));
    EXPECT_TRUE(fileThere(QStringLiteral("parts.mb")));
    EXPECT_TRUE(fileThere(QStringLiteral("sub/items.DB")));

    // The first (CUSTOMER) renamed through the input box, its memo file with it.
    click(tables, ParadoxFirstEntry);
    click(tables, ParadoxRename);
    box = waitForWindow(BoxTitle);
    ASSERT_FALSE(box.isEmpty()) << "no input box";
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
    box = waitForWindow(BoxTitle);
    ASSERT_FALSE(box.isEmpty()) << "no help message";
    screenshot(box, QStringLiteral("help-message.png"));
    display->key(QStringLiteral("Return"));
    EXPECT_TRUE(waitUntil([&] { return display->windowTitled(BoxTitle).isEmpty(); }));

    // Back to the connection window.
    click(tables, BackButton);
    const QString connection = waitForWindow(ProductCaption, tables);
    ASSERT_FALSE(connection.isEmpty()) << "the connection window did not appear";
    screenshot(connection, QStringLiteral("connection-window.png"));
    EXPECT_EQ(program.state(), QProcess::Running);
}

// An installed copy (cmake --install into a prefix): "Load Sample/Example Database" offers the
// user's own copy of the samples, and nothing under the prefix is written, whatever is done with
// the tables.
// A table whose lock file says another program may hold it for writing: the window tells so in
// a box naming the user, and sends the table once the box is closed.
TEST_F(RealDisplayTest, ATableAnotherProgramHoldsIsToldInABoxThenSent) {
    QFile lock(folder.filePath(QStringLiteral("CUSTOMER.LCK")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray("\x01\x00\x02\x00\x9a\x00", 6));
    lock.close();
    QFile net(folder.filePath(QStringLiteral("PDOXUSRS.NET")));
    ASSERT_TRUE(net.open(QIODevice::WriteOnly));
    net.write(QByteArray("\x01\x00\x00\x00", 4) + "ALICE" + QByteArray(12, '\0'));
    net.close();
    startProgram();
    const QString tables = waitForWindow(ProductCaption);
    ASSERT_FALSE(tables.isEmpty()) << "the tables window did not appear";
    click(tables, ParadoxFirstEntry);
    click(tables, ParadoxSend);
    const QString box = waitForWindow(BoxTitle);
    ASSERT_FALSE(box.isEmpty()) << "no box told of the lock";
    screenshot(box, QStringLiteral("table-held-for-writing.png"));
    EXPECT_FALSE(onServer(QStringLiteral("CUSTOMER"))) << "sent before the box was closed";
    display->key(QStringLiteral("Return"));
    EXPECT_TRUE(waitUntil([&] {
        return onServer(QStringLiteral("CUSTOMER")) &&
               rowsOnServer(QStringLiteral("CUSTOMER")) == 55;
    })) << "CUSTOMER was not sent once the box was closed";
}

TEST_F(RealDisplayTest, LoadSampleFromAnInstalledCopyNeverWritesUnderThePrefix) {
    QTemporaryDir prefix;
    QProcess install;
    install.setProcessChannelMode(QProcess::ForwardedChannels);
    install.start(QStringLiteral(DRAVENA_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(DRAVENA_BINARY_DIR),
                   QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000) && install.exitCode() == 0) << "install failed";
    const QStringList installed = folderState(prefix.path());
    ASSERT_TRUE(installed.join(u'\n').contains(QStringLiteral("/share/dravena/Samples/ORDERS.DB")));
    {
        QSettings store(config.filePath(QStringLiteral("Velmora/Velmora.ini")),
                        QSettings::IniFormat);
        store.setValue(ProductCaption + QStringLiteral("/ParadoxFolder"), QString());
    }
    startProgram(prefix.filePath(QStringLiteral("bin/dravena")));
    const QString connection = waitForWindow(ProductCaption);
    ASSERT_FALSE(connection.isEmpty()) << "the connection window did not appear";
    click(connection, LoadSampleButton);
    const QString copy = data.filePath(QStringLiteral("dravena/Samples"));
    EXPECT_TRUE(waitUntil([&] { return setting("ParadoxFolder") == copy; }))
        << "the folder entry holds " << setting("ParadoxFolder").toStdString();
    screenshot(connection, QStringLiteral("connection-window-samples.png"));
    EXPECT_TRUE(QFile::exists(copy + QStringLiteral("/ORDERS.DB")));

    // On to the tables window, which lists the copy; its first table deleted there.
    click(connection, NextButton);
    const QString tables = waitForWindow(ProductCaption, connection);
    ASSERT_FALSE(tables.isEmpty()) << "the tables window did not appear";
    click(tables, ParadoxFirstEntry);
    click(tables, ParadoxDelete);
    ASSERT_FALSE(waitForWindow(BoxTitle).isEmpty()) << "Delete did not ask";
    display->key(QStringLiteral("alt+y"));
    EXPECT_TRUE(waitUntil([&] { return !QFile::exists(copy + QStringLiteral("/CUSTOMER.DB")); }))
        << "the copy's CUSTOMER was not deleted";
    EXPECT_EQ(folderState(prefix.path()), installed);
}

// The password typed in the connection window goes to the keyring, never to the settings file;
// the next start signs on with it and reaches the tables window. Without a keyring the file keeps
// it, and the window says why. A wrong password's box holds the server's own words as details.
TEST_F(RealDisplayTest, ThePasswordTypedIsKeptInTheKeyringOrWithoutOneInTheFile) {
    if (!KeyringSession::available())
        GTEST_SKIP() << "missing gnome-keyring or libsecret-tools (scripts/install-deps --test)";
    for (const bool withKeyring : {true, false}) {
        SCOPED_TRACE(withKeyring ? "with a keyring" : "without a keyring");
        QTemporaryDir runtime;
        KeyringSession keyring(data.path(), runtime.path());
        ASSERT_FALSE(keyring.address.isEmpty()) << "no D-Bus session";
        const QString bus = withKeyring ? keyring.address : QString();
        {
            QSettings store(config.filePath(QStringLiteral("Velmora/Velmora.ini")),
                            QSettings::IniFormat);
            store.remove(ProductCaption + QStringLiteral("/Password"));
        }
        withKeyring ? startProgram(QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena"), bus)
                    : startProgram();
        const QString connection = waitForWindow(ProductCaption);
        ASSERT_FALSE(connection.isEmpty()) << "the connection window did not appear";
        const QString connectionSize = windowSize();

        // A wrong password first: the box keeps its words, the details hold the server's.
        click(connection, PasswordEntry);
        display->type(QStringLiteral("wrong"));
        click(connection, OracleTestButton);
        const QString box = waitForWindow(BoxTitle);
        ASSERT_FALSE(box.isEmpty()) << "no box after a refused sign-on";
        display->key(QStringLiteral("Tab"));
        display->key(QStringLiteral("space"));
        if (withKeyring)
            screenshot(box, QStringLiteral("failed-sign-on-details.png"));
        display->key(QStringLiteral("Escape"));
        EXPECT_TRUE(waitUntil([&] { return display->windowTitled(BoxTitle).isEmpty(); }));
        if (!withKeyring)
            screenshot(connection, QStringLiteral("connection-window-without-keyring.png"));

        click(connection, PasswordEntry);
        display->type(db.password);
        click(connection, NextButton);
        const QString tables = waitForWindow(ProductCaption, connection);
        ASSERT_FALSE(tables.isEmpty()) << "the tables window did not appear";
        EXPECT_EQ(setting("Password"), withKeyring ? QString() : db.password);
        if (withKeyring) {
            const QString stored = keyring.search();
            EXPECT_TRUE(stored.contains(db.user + u'@' + db.sid)) << stored.toStdString();
            EXPECT_TRUE(stored.contains(QStringLiteral("secret = ") + db.password));
        }
        program.kill();
        program.waitForFinished(5000);

        // Started again: straight to the tables window with the password remembered.
        withKeyring ? startProgram(QStringLiteral(DRAVENA_BINARY_DIR "/bin/dravena"), bus)
                    : startProgram();
        EXPECT_FALSE(waitForWindow(ProductCaption).isEmpty());
        EXPECT_TRUE(waitUntil([&] {
            const QString size = windowSize();
            return !size.isEmpty() && size != connectionSize;
        })) << "the second start did not reach the tables window: "
            << windowSize().toStdString() << " vs " << connectionSize.toStdString();
        program.kill();
        program.waitForFinished(5000);
    }
}

} // namespace
