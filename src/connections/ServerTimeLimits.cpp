#include "ServerTimeLimits.h"

#include "OdbcDiagnostics.h"

#include <algorithm>
#include <atomic>
#include <chrono>
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

} // namespace

struct CallDeadline::Watched {
    Sockets sockets;
    Clock::time_point due;
    std::atomic<bool> expired{false};
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

    // Cheap enough for every statement: the thread is not woken, it looks at the calls a few
    // times a second.
    void watch(const std::shared_ptr<CallDeadline::Watched>& call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
        if (!started_) {
            std::thread([this] { loop(); }).detach();
            started_ = true;
        }
    }

    void forget(const std::shared_ptr<CallDeadline::Watched>& call) {
        std::lock_guard lock(mutex_);
        calls_.erase(std::remove(calls_.begin(), calls_.end(), call), calls_.end());
    }

private:
    [[noreturn]] void loop() {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            std::lock_guard lock(mutex_);
            const Clock::time_point now = Clock::now();
            for (auto it = calls_.begin(); it != calls_.end();) {
                if ((*it)->due > now) {
                    ++it;
                    continue;
                }
                (*it)->expired = true;
                for (const int socket : (*it)->sockets())
                    ::shutdown(socket, SHUT_RDWR);
                it = calls_.erase(it);
            }
        }
    }

    std::mutex mutex_;
    std::vector<std::shared_ptr<CallDeadline::Watched>> calls_;
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

CallDeadline::CallDeadline(Sockets sockets, int seconds)
    : watched_(std::make_shared<Watched>()), seconds_(seconds) {
    watched_->sockets = std::move(sockets);
    watched_->due = Clock::now() + std::chrono::seconds(seconds);
    Watchdog::instance().watch(watched_);
}

CallDeadline::~CallDeadline() {
    Watchdog::instance().forget(watched_);
}

bool CallDeadline::expired() const {
    return watched_->expired;
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

std::vector<int> openSockets() {
    std::vector<int> sockets;
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
            sockets.push_back(static_cast<int>(fd));
    }
    ::closedir(folder);
    std::sort(sockets.begin(), sockets.end());
    return sockets;
}

} // namespace dravena
