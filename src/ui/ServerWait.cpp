#include "ServerWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <atomic>
#include <vector>

namespace dravena {

namespace {

// Set on the window thread only.
bool eventsWhileWaiting = false;

// The waits under way on the window thread, innermost last; touched on the window thread only.
struct Wait {
    QEventLoop* events;
    const std::function<bool()>* finished;
};
std::vector<Wait> waits;
// How many of them there are, for the connections' threads.
std::atomic<int> waiting{0};

bool onApplicationThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

} // namespace

EventsWhileWaiting::EventsWhileWaiting() : before_(eventsWhileWaiting) {
    if (onApplicationThread())
        eventsWhileWaiting = true;
}

EventsWhileWaiting::~EventsWhileWaiting() {
    if (onApplicationThread())
        eventsWhileWaiting = before_;
}

bool waitHandlingEvents(const std::function<bool()>& finished) {
    if (!eventsWhileWaiting || !onApplicationThread())
        return false;
    QEventLoop events;
    waits.push_back({&events, &finished});
    ++waiting;
    struct Done {
        ~Done() {
            --waiting;
            waits.pop_back();
        }
    } done;
    // A call that finishes from now on sees this wait and wakes it (wakeWaitingWindows), also
    // when it finishes before the loop runs: the wake is posted and handled inside the loop.
    if (!finished())
        events.exec();
    // The loop also ends when the application is told to quit; the caller then blocks.
    return finished();
}

void wakeWaitingWindows() {
    QCoreApplication* application = QCoreApplication::instance();
    if (waiting == 0 || !application)
        return;
    // Handled on the window thread, in whichever loop runs there then (a wait within a wait).
    QMetaObject::invokeMethod(
        application,
        [] {
            for (const Wait& wait : waits)
                if ((*wait.finished)())
                    wait.events->quit();
        },
        Qt::QueuedConnection);
}

} // namespace dravena
