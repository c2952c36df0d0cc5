#include "Sigpipe.h"

#include <cerrno>
#include <ctime>

#include <pthread.h>

namespace dravena {

namespace {

sigset_t onlySigpipe() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

bool sigpipePending() {
    sigset_t pending;
    sigemptyset(&pending);
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

} // namespace

SigpipeHeld::SigpipeHeld() {
    const sigset_t set = onlySigpipe();
    wasPending_ = sigpipePending();
    held_ = pthread_sigmask(SIG_BLOCK, &set, &previous_) == 0;
}

SigpipeHeld::~SigpipeHeld() {
    if (!held_)
        return;
    // Only a SIGPIPE that this thread's writes raised meanwhile, and only when SIGPIPE was not
    // already held back before.
    if (!wasPending_ && sigismember(&previous_, SIGPIPE) == 0 && sigpipePending()) {
        const sigset_t set = onlySigpipe();
        const timespec none{0, 0};
        int taken = 0;
        do {
            taken = sigtimedwait(&set, nullptr, &none);
        } while (taken < 0 && errno == EINTR);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace dravena
