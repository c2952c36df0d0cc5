#pragma once

#include <functional>

namespace dravena {

// How the window thread waits for a call that runs on a connection's own thread. While a window's
// operation runs (EventsWhileWaiting), it handles the window's events until `finished()` and
// returns true, so that a slow server never freezes the window (painting, the pointer, the
// question whether to stop a transfer); the operation's own guard keeps its buttons from starting
// a second operation. Anywhere else (other threads, no operation running) it returns false at
// once, and the caller simply waits.
bool waitHandlingEvents(const std::function<bool()>& finished);
// Called on a connection's thread each time a call has finished: ends the waits above whose call
// it was.
void wakeWaitingWindows();

// Held while a window's operation runs on the window thread.
class EventsWhileWaiting {
public:
    EventsWhileWaiting();
    ~EventsWhileWaiting();
    EventsWhileWaiting(const EventsWhileWaiting&) = delete;
    EventsWhileWaiting& operator=(const EventsWhileWaiting&) = delete;

private:
    bool before_;
};

} // namespace dravena
