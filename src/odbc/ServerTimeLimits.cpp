#include "ServerTimeLimits.h"

#include "OdbcDiagnostics.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <thread>

#include <sql.h>
#include <sqlext.h>

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace dravena {

namespace {

std::atomic<int> signOnLimit{30};
std::atomic<int> statementLimit{300};

using Clock = std::chrono::steady_clock;

// A deadline's state: idle, cut off, or the steady clock's tick count at which it passes.
constexpr std::int64_t Idle = 0;
constexpr std::int64_t Cut = -1;

std::int64_t ticks(Clock::time_point time) {
    return time.time_since_epoch().count();
}

// Shuts down each socket that is still the one it was: a descriptor closed since may belong to
// another connection by now.
void shutDown(const std::vector<OpenSocket>& sockets) {
    for (const OpenSocket& socket : sockets) {
        struct stat status {};
        if (::fstat(socket.fd, &status) == 0 && S_ISSOCK(status.st_mode) &&
            status.st_ino == socket.inode)
            ::shutdown(socket.fd, SHUT_RDWR);
    }
}

} // namespace

struct CallDeadline::Watched {
    Sockets sockets;
    std::atomic<std::int64_t> due{Idle};
};

namespace {

// One thread for the whole process that shuts down the sockets of the calls whose time is up.
class Watchdog {
public:
    static Watchdog& instance() {
        // Never destroyed: the thread may still wait while the process ends.
        static Watchdog* watchdog = new Watchdog;
        return *watchdog;
    }

    void watch(CallDeadline::Watched* deadline) {
        std::lock_guard lock(mutex_);
        deadlines_.push_back(deadline);
        if (!started_) {
            // shutdown() raises no SIGPIPE; a driver that writes to a socket shut down here does
            // so while its call holds SIGPIPE back (OdbcSession::onThread).
            std::thread([this] { loop(); }).detach();
            started_ = true;
        }
    }

    // Once this returns, the thread no longer looks at the deadline.
    void forget(CallDeadline::Watched* deadline) {
        std::lock_guard lock(mutex_);
        deadlines_.erase(std::remove(deadlines_.begin(), deadlines_.end(), deadline),
                         deadlines_.end());
    }

private:
    [[noreturn]] void loop() {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            std::lock_guard lock(mutex_);
            const std::int64_t now = ticks(Clock::now());
            for (CallDeadline::Watched* deadline : deadlines_) {
                std::int64_t due = deadline->due.load();
                // Only the call that was late is cut: one armed since keeps its connection.
                if (due > Idle && due <= now && deadline->due.compare_exchange_strong(due, Cut))
                    shutDown(deadline->sockets());
            }
        }
    }

    std::mutex mutex_;
    std::vector<CallDeadline::Watched*> deadlines_;
    bool started_ = false;
};

} // namespace

ServerTimeLimits serverTimeLimits() {
    return {signOnLimit.load(), statementLimit.load()};
}

void setServerTimeLimits(ServerTimeLimits limits) {
    signOnLimit = limits.signOnSeconds;
    statementLimit = limits.statementSeconds;
}

CallDeadline::CallDeadline(Sockets sockets) : watched_(std::make_unique<Watched>()) {
    watched_->sockets = std::move(sockets);
    Watchdog::instance().watch(watched_.get());
}

CallDeadline::CallDeadline(Sockets sockets, int seconds) : CallDeadline(std::move(sockets)) {
    arm(seconds);
}

CallDeadline::~CallDeadline() {
    Watchdog::instance().forget(watched_.get());
}

void CallDeadline::arm(int seconds) {
    seconds_ = seconds;
    cut_ = false;
    watched_->due = ticks(Clock::now() + std::chrono::seconds(seconds));
}

void CallDeadline::disarm() {
    if (watched_->due.exchange(Idle) == Cut)
        cut_ = true;
}

void CallDeadline::renew() {
    std::int64_t due = watched_->due.load();
    if (due > Idle)
        watched_->due.compare_exchange_strong(due,
                                              ticks(Clock::now() + std::chrono::seconds(seconds_)));
}

bool CallDeadline::expired() const {
    return cut_ || watched_->due.load() == Cut;
}

void CallDeadline::throwIfExpired() const {
    if (expired())
        throw ConnectionLostError(
            errnum::DataAccess,
            QStringLiteral("No answer from the server within %1 seconds.").arg(seconds_));
}

void setQueryTimeout(void* statement) {
    SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(statementLimit.load())), 0);
}

std::vector<OpenSocket> openSockets() {
    std::vector<OpenSocket> sockets;
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder)
        return sockets;
    const int own = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        struct stat status {};
        if (end != entry->d_name && *end == '\0' && fd != own &&
            ::fstat(static_cast<int>(fd), &status) == 0 && S_ISSOCK(status.st_mode))
            sockets.push_back({static_cast<int>(fd), status.st_ino});
    }
    ::closedir(folder);
    std::sort(sockets.begin(), sockets.end());
    return sockets;
}

} // namespace dravena
