#include "DescriptorBudget.h"

#include <QDir>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include <sys/resource.h>

namespace dravena {

namespace {

// Left for everything else: each job's server connection and Paradox table, the libraries' own.
constexpr std::size_t Reserve = 128;
// A comparison can always have its rows, one bucket and its unpaired rows on each side.
constexpr std::size_t Fewest = 6;

std::size_t limitNow() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    // More descriptors cost nothing until used.
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY
               ? std::size_t{1} << 20
               : static_cast<std::size_t>(std::min<rlim_t>(limit.rlim_cur, rlim_t{1} << 20));
}

struct Budget {
    Budget() {
        const std::size_t limit = limitNow();
        const auto open = static_cast<std::size_t>(
            QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
        const std::size_t spare = limit > open + Reserve ? limit - open - Reserve : 0;
        total = std::max(spare, Fewest);
        left = total;
    }
    std::mutex mutex;
    std::condition_variable returned;
    std::size_t total = 0;
    std::size_t left = 0;
};

Budget& budget() {
    static Budget shared;
    return shared;
}

} // namespace

DescriptorGrant::DescriptorGrant(std::size_t least, std::size_t wanted) {
    Budget& b = budget();
    least = std::min(least, b.total);
    std::unique_lock lock(b.mutex);
    b.returned.wait(lock, [&] { return b.left >= least; });
    count_ = std::max(least, std::min(wanted, b.left));
    b.left -= count_;
}

DescriptorGrant::~DescriptorGrant() {
    Budget& b = budget();
    {
        const std::lock_guard lock(b.mutex);
        b.left += count_;
    }
    b.returned.notify_all();
}

std::size_t DescriptorGrant::total() {
    return budget().total;
}

} // namespace dravena
