#pragma once

#include <csignal>

namespace dravena {

// Holds SIGPIPE back on the calling thread while it lives: a write to a closed pipe or a socket
// shut down meanwhile fails with EPIPE instead of ending the process. A SIGPIPE raised meanwhile
// is taken away before the thread's signals are let through again; SIGPIPE stays as it is for the
// rest of the process.
class SigpipeHeld {
public:
    SigpipeHeld();
    ~SigpipeHeld();
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

private:
    sigset_t previous_{};
    bool wasPending_ = false;
    bool held_ = false;
};

} // namespace dravena
