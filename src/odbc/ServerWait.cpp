#include "ServerWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <atomic>
#include <exception>
#include <thread>

namespace dravena {

namespace {

// Set on the window thread only.
bool eventsWhileWaiting = false;

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

void waitOnServer(const std::function<void()>& call) {
    if (!eventsWhileWaiting || !onApplicationThread()) {
        call();
        return;
    }
    std::exception_ptr failure;
    std::atomic<bool> finished{false};
    QEventLoop events;
    std::thread caller([&] {
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        // Posted to this thread: it ends the loop below even when it comes before the loop runs.
        QMetaObject::invokeMethod(&events, &QEventLoop::quit, Qt::QueuedConnection);
    });
    if (!finished)
        events.exec();
    caller.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace dravena
