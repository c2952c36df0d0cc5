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

// A socket the process holds, with the inode that tells it from a later socket given the same
// descriptor once this one is closed.
struct OpenSocket {
    int fd = -1;
    unsigned long long inode = 0;
    auto operator<=>(const OpenSocket&) const = default;
};

// Holds the calls that wait on the server through one connection to their time limit. When an
// armed call has not come back in time, the sockets it talks through are shut down, which ends
// the wait with a failure whatever the driver does (a server process that is stopped, a network
// that drops every packet answers nothing, and the driver's own limit may never fire). One
// watchdog thread looks at every deadline a few times a second; arming and disarming take no lock
// and allocate nothing, so one deadline can serve every call on a connection.
class CallDeadline {
public:
    using Sockets = std::function<std::vector<OpenSocket>()>;

    // Watched from now until destroyed; the sockets are asked for only when a limit has passed.
    explicit CallDeadline(Sockets sockets);
    // The same, with the call under way armed at once.
    CallDeadline(Sockets sockets, int seconds);
    ~CallDeadline();
    CallDeadline(const CallDeadline&) = delete;
    CallDeadline& operator=(const CallDeadline&) = delete;

    // Holds the call about to start to `seconds`, and lets it go when it came back. Arming again
    // forgets whether the previous call was cut.
    void arm(int seconds);
    void disarm();
    // Gives the armed call a whole limit again from now, for a call that waits many times (a
    // loop of fetches); a call already cut stays cut.
    void renew();

    // True once the armed call's limit passed and its sockets were shut down (still true after
    // disarming).
    bool expired() const;
    // Throws ConnectionLostError ("No answer from the server within N seconds.") when expired.
    void throwIfExpired() const;

    // What the watchdog thread looks at.
    struct Watched;

private:
    std::unique_ptr<Watched> watched_;
    int seconds_ = 0;
    bool cut_ = false; // the last call was cut off; read and written by the caller's side only
};

// Asks the driver to give up a statement after the statement time limit (SQL_ATTR_QUERY_TIMEOUT);
// a driver that cannot is still held to it by CallDeadline.
void setQueryTimeout(void* statement);

// The sockets the process holds now, in increasing order of descriptor.
std::vector<OpenSocket> openSockets();

} // namespace dravena
