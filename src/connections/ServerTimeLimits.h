#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace dravena {

// How long the program waits for the server: sign-on, and every statement. When a limit passes,
// the call ends as on a lost connection.
struct ServerTimeLimits {
    int signOnSeconds = 30;
    int statementSeconds = 300;
};

ServerTimeLimits serverTimeLimits();
void setServerTimeLimits(ServerTimeLimits limits);

// Watches one call that waits on the server. When it has not come back within its time limit,
// the sockets it talks through are shut down, which ends the wait with a failure whatever the
// driver does (a server process that is stopped, a network that drops every packet answers
// nothing, and the driver's own limit may never fire). Made on the stack around the call.
class CallDeadline {
public:
    using Sockets = std::function<std::vector<int>()>;

    // The sockets are asked for only when the limit has passed.
    CallDeadline(Sockets sockets, int seconds);
    ~CallDeadline();
    CallDeadline(const CallDeadline&) = delete;
    CallDeadline& operator=(const CallDeadline&) = delete;

    // True once the limit passed and the call's sockets were shut down.
    bool expired() const;
    // Throws ConnectionLostError ("No answer from the server within N seconds.") when expired.
    void throwIfExpired() const;

    // What the watchdog thread keeps of a call.
    struct Watched;

private:
    std::shared_ptr<Watched> watched_;
    int seconds_;
};

// Asks the driver to give up a statement after the statement time limit (SQL_ATTR_QUERY_TIMEOUT);
// a driver that cannot is still held to it by CallDeadline.
void setQueryTimeout(void* statement);

// The socket descriptors the process holds now, in increasing order.
std::vector<int> openSockets();

} // namespace dravena
