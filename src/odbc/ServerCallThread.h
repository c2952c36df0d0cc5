#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace dravena {

// Where the calls on one server connection run: opening and closing it, and every call that
// touches its handles. This one runs them on the thread that makes them.
class CallThread {
public:
    virtual ~CallThread() = default;
    // Runs `call` to its end; whatever it throws is thrown here.
    virtual void run(const std::function<void()>& call) { call(); }
    // True on the thread where the calls run.
    virtual bool runsHere() const { return true; }
};

// How a caller's thread waits for a call it handed to a connection's thread.
struct CallWaiting {
    // Called on the caller's thread: either waits until `finished()` and returns true, or returns
    // false, and the caller then simply blocks until the call is finished.
    std::function<bool(const std::function<bool()>& finished)> wait;
    // Called on the connection's thread after each call has finished.
    std::function<void()> wake;
};

// One long-lived thread that runs the calls handed to it, one after another, until destroyed
// (never on that thread itself). A call made on that thread (a call within a call) runs at once.
class ServerCallThread final : public CallThread {
public:
    explicit ServerCallThread(CallWaiting waiting = {});
    ~ServerCallThread() override;
    ServerCallThread(const ServerCallThread&) = delete;
    ServerCallThread& operator=(const ServerCallThread&) = delete;

    void run(const std::function<void()>& call) override;
    bool runsHere() const override;

private:
    struct Job;
    void loop();

    CallWaiting waiting_;
    std::mutex mutex_;
    std::condition_variable work_;     // a job was handed over, or the thread is to end
    std::condition_variable finished_; // a job has finished
    std::deque<Job*> jobs_;
    bool ending_ = false;
    std::thread thread_;
};

using CallThreadFactory = std::function<std::unique_ptr<CallThread>()>;

// Installs what gives each connection opened from now on the thread its calls run on; returns
// the factory installed before. Without one (an empty factory), calls run where they are made.
CallThreadFactory setCallThreadFactory(CallThreadFactory factory);
// A thread for the calls of a connection being opened, from the installed factory.
std::unique_ptr<CallThread> makeCallThread();
// A factory giving each connection a ServerCallThread of its own that waits as `waiting` says.
CallThreadFactory serverCallThreads(CallWaiting waiting);

} // namespace dravena
