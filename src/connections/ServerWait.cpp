#include "ServerWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <atomic>
#include <exception>
#include <thread>

namespace dravena {

namespace {

// True on the event thread of a program with windows (a program without them has no events
// that must go on while it waits).
bool onWindowsThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && application->inherits("QGuiApplication") &&
           QThread::currentThread() == application->thread();
}

} // namespace

void waitOnServer(const std::function<void()>& call) {
    if (!onWindowsThread()) {
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
