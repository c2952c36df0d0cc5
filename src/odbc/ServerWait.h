#pragma once

#include <functional>

namespace dravena {

// Runs a call that waits on the server. While a window's operation runs (EventsWhileWaiting),
// the call runs on a thread of its own and the window goes on handling its events meanwhile
// (painting, the pointer, the question whether to stop a transfer), so that a slow server never
// freezes it; the operation's own guard keeps its buttons from starting a second operation.
// Anywhere else (dravena-cli, other threads) the call simply runs where it is made. Whatever the
// call throws is thrown here either way.
void waitOnServer(const std::function<void()>& call);

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
