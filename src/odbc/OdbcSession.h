#pragma once

#include "ServerCallThread.h"
#include "ServerTimeLimits.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace dravena {

class OdbcServerCursor;
class OdbcStatement;

// One open ODBC connection under a Qt connection name of its own (never shared or pooled), and the
// server-side cursors reading from it. Closing it releases those cursors first, then the
// connection, then the name. The connection is opened, used and closed on one thread, the one
// the installed CallThreadFactory gives it (by default the caller's own): everything that touches
// its handles goes through timed() or onThread().
class OdbcSession {
public:
    OdbcSession();
    ~OdbcSession();
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // Passes the connection string to the driver manager as it stands; throws the driver's message.
    void open(const QString& connectionString);
    bool isOpen() const { return open_; }
    // Counts the opens, so that what belongs to one open connection can tell a later one.
    unsigned long long generation() const { return generation_; }
    void close();

    // The open connection (throws when closed). On the connection's thread only, like statement().
    QSqlDatabase database() const;
    // One statement kept for executing statements one after another (throws when closed).
    OdbcStatement& statement();
    const QString& name() const { return name_; }
    // What the connection talks to the server through (none when closed).
    const std::vector<OpenSocket>& sockets() const { return sockets_; }

    // Runs a call that waits on the server, on the connection's thread, under the statement time
    // limit: when the server does not answer in time the connection is cut and the call fails as
    // a lost connection. A second call while one waits is refused.
    void timed(const std::function<void()>& call);
    // Within a timed call that waits many times (a loop of fetches): the next wait gets a whole
    // limit of its own.
    void renewLimit();
    // Runs a call that touches the connection's handles on the connection's thread, without a
    // time limit and whether the connection is open or not.
    void onThread(const std::function<void()>& call);

    void attach(OdbcServerCursor* cursor);
    void detach(OdbcServerCursor* cursor);

private:
    void openOnThread(const QString& connectionString);
    void release();
    void checkThread() const;

    std::unique_ptr<CallThread> thread_; // where the connection's calls run, from the first open
    QString name_;
    bool open_ = false;
    unsigned long long generation_ = 0;
    std::vector<OpenSocket> sockets_;
    std::unique_ptr<CallDeadline> deadline_; // holds each timed call to the statement time limit
    QSqlDatabase database_;                  // the open connection
    bool waiting_ = false;                   // a timed call is under way
    std::vector<OdbcServerCursor*> cursors_;
    std::unique_ptr<OdbcStatement> statement_;
};

} // namespace dravena
