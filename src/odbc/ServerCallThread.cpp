#include "ServerCallThread.h"

#include <atomic>
#include <exception>

namespace dravena {

struct ServerCallThread::Job {
    const std::function<void()>* call = nullptr;
    std::exception_ptr failure;
    std::atomic<bool> finished{false}; // set last: the caller may let go of the job at once
};

ServerCallThread::ServerCallThread(CallWaiting waiting)
    : waiting_(std::move(waiting)), thread_([this] { loop(); }) {}

ServerCallThread::~ServerCallThread() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    work_.notify_one();
    thread_.join();
}

bool ServerCallThread::runsHere() const {
    return std::this_thread::get_id() == thread_.get_id();
}

void ServerCallThread::run(const std::function<void()>& call) {
    if (runsHere()) {
        call();
        return;
    }
    Job job;
    job.call = &call;
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(&job);
    }
    work_.notify_one();
    const std::function<bool()> finished = [&job] { return job.finished.load(); };
    if (!waiting_.wait || !waiting_.wait(finished)) {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, finished);
    }
    if (job.failure)
        std::rethrow_exception(job.failure);
}

void ServerCallThread::loop() {
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            job = jobs_.front();
            jobs_.pop_front();
        }
        try {
            (*job->call)();
        } catch (...) {
            job->failure = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            job->finished = true;
        }
        finished_.notify_all();
        if (waiting_.wake)
            waiting_.wake();
    }
}

namespace {

std::mutex factoryMutex;
CallThreadFactory installedFactory;

} // namespace

CallThreadFactory setCallThreadFactory(CallThreadFactory factory) {
    const std::lock_guard lock(factoryMutex);
    std::swap(installedFactory, factory);
    return factory;
}

std::unique_ptr<CallThread> makeCallThread() {
    CallThreadFactory factory;
    {
        const std::lock_guard lock(factoryMutex);
        factory = installedFactory;
    }
    return factory ? factory() : std::make_unique<CallThread>();
}

CallThreadFactory serverCallThreads(CallWaiting waiting) {
    return [waiting = std::move(waiting)] { return std::make_unique<ServerCallThread>(waiting); };
}

} // namespace dravena
