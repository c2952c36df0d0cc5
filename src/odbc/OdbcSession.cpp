#include "OdbcSession.h"

#include "OdbcDiagnostics.h"
#include "OdbcServerCursor.h"
#include "OdbcStatement.h"
#include "OdbcValues.h"
#include "OracleClientSettings.h"
#include "ServerTimeLimits.h"
#include "base/RuntimeError.h"
#include "base/Sigpipe.h"
#include "dataaccess/DataAccess.h"

#include <QSqlDriver>
#include <QSqlError>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <mutex>

namespace dravena {

namespace {

// Qt's ODBC driver takes a string that mentions ".dsn" anywhere (a password, a server name) for
// the name of a file data source and puts "FILEDSN=" before it. A leading ";" leaves that key
// empty, so the driver manager still reads the string's own keys, all of them unchanged.
QString forQtOdbcDriver(const QString& connectionString) {
    if (connectionString.contains(QLatin1String(".dsn"), Qt::CaseInsensitive))
        return u';' + connectionString;
    return connectionString;
}

// Held while a connection signs on, so that the sockets which appear meanwhile are its own: jobs
// sign on at the same moment on threads of their own.
std::mutex signingOn;

// The sockets in `now` that were not in `before`.
std::vector<OpenSocket> socketsOpenedSince(const std::vector<OpenSocket>& before,
                                           const std::vector<OpenSocket>& now) {
    std::vector<OpenSocket> opened;
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                        std::back_inserter(opened));
    return opened;
}

QString uniqueConnectionName() {
    static std::atomic<unsigned long long> counter{0};
    return QStringLiteral("dravena-odbc-%1").arg(++counter);
}

[[noreturn]] void throwStillWaiting() {
    throw RuntimeError(errnum::DataAccess,
                       QStringLiteral("The connection is still waiting for the server."));
}

// Holds a session's flag for a call under way.
struct Waiting {
    explicit Waiting(bool& flag) : flag(flag) { flag = true; }
    ~Waiting() { flag = false; }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;
    bool& flag;
};

} // namespace

OdbcSession::OdbcSession() : name_(uniqueConnectionName()) {}

OdbcSession::~OdbcSession() {
    onThread([this] { release(); });
}

void OdbcSession::open(const QString& connectionString) {
    // While a call waits, the windows handle their events; none of them may start a second call
    // on the same connection meanwhile.
    if (waiting_)
        throwStillWaiting();
    // The thread stays with the session, for this connection and every later one.
    if (!thread_)
        thread_ = makeCallThread();
    const Waiting waiting(waiting_);
    onThread([&] { openOnThread(connectionString); });
}

void OdbcSession::openOnThread(const QString& connectionString) {
    release();
    applyOracleClientDefaults();
    const int signOnSeconds = serverTimeLimits().signOnSeconds;
    // Held until the new connection's sockets are known; the sign-on deadline's look-up on the
    // watchdog thread does without it.
    std::unique_lock signOn(signingOn);
    const std::vector<OpenSocket> before = openSockets();
    QString failure;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name_);
        // Exact decimals come as text instead of being rounded to double.
        db.setNumericalPrecisionPolicy(QSql::HighPrecision);
        // A driver connection string ("Driver={...};...") goes to SQLDriverConnect unchanged.
        db.setDatabaseName(forQtOdbcDriver(connectionString));
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(signOnSeconds));
        // The sockets of a sign-on still under way are the ones opened since it began.
        CallDeadline deadline([before] { return socketsOpenedSince(before, openSockets()); },
                              signOnSeconds);
        ok = db.open();
        if (!ok)
            failure = signOnFailureText(odbcMessage(db.lastError()), connectionString);
        if (deadline.expired()) {
            ok = false;
            failure =
                QStringLiteral("No answer from the server within %1 seconds.").arg(signOnSeconds);
        }
    }
    if (!ok) {
        QSqlDatabase::removeDatabase(name_);
        throw RuntimeError(errnum::DataAccess, failure);
    }
    sockets_ = socketsOpenedSince(before, openSockets());
    signOn.unlock();
    deadline_ = std::make_unique<CallDeadline>([sockets = sockets_] { return sockets; });
    // Kept rather than looked up by name, which Qt allows on the opening thread only.
    database_ = QSqlDatabase::database(name_, false);
    open_ = true;
    ++generation_;
}

void OdbcSession::timed(const std::function<void()>& call) {
    // Asked first: the connection's thread may be opening or closing it meanwhile.
    if (waiting_)
        throwStillWaiting();
    if (!open_)
        throwObjectClosed();
    const Waiting waiting(waiting_);
    deadline_->arm(serverTimeLimits().statementSeconds);
    try {
        onThread(call);
    } catch (...) {
        deadline_->disarm();
        deadline_->throwIfExpired();
        throw;
    }
    deadline_->disarm();
    // A call that came back after its connection was cut is not to be trusted either.
    deadline_->throwIfExpired();
}

void OdbcSession::renewLimit() {
    if (deadline_)
        deadline_->renew();
}

void OdbcSession::onThread(const std::function<void()>& call) {
    // A driver writing to a socket the watchdog shut down gets EPIPE, not the process's end.
    const auto quietly = [&call] {
        const SigpipeHeld held;
        call();
    };
    if (thread_)
        thread_->run(quietly);
    else
        quietly();
}

void OdbcSession::close() {
    onThread([this] { release(); });
}

void OdbcSession::release() {
    // Cursors detach themselves while being released.
    while (!cursors_.empty())
        cursors_.back()->release();
    statement_.reset();
    // Before the sockets close, so that the watchdog never shuts down a descriptor reused since.
    deadline_.reset();
    sockets_.clear();
    open_ = false;
    database_ = QSqlDatabase();
    if (!QSqlDatabase::contains(name_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QSqlDatabase OdbcSession::database() const {
    if (!open_)
        throwObjectClosed();
    checkThread();
    return database_;
}

OdbcStatement& OdbcSession::statement() {
    checkThread();
    if (!statement_)
        statement_ = std::make_unique<OdbcStatement>(odbcHandle(database().driver()->handle()));
    return *statement_;
}

// Qt's connections and queries, and the driver's handles, belong to the thread that opened them.
void OdbcSession::checkThread() const {
    if (thread_ && !thread_->runsHere())
        throw RuntimeError(errnum::DataAccess,
                           QStringLiteral("The connection was used outside its own thread."));
}

void OdbcSession::attach(OdbcServerCursor* cursor) {
    cursors_.push_back(cursor);
}

void OdbcSession::detach(OdbcServerCursor* cursor) {
    cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), cursor), cursors_.end());
}

} // namespace dravena
