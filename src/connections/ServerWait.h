#pragma once

#include <functional>

namespace dravena {

// Runs a call that waits on the server. Called on the thread of a program's windows, the call
// runs on a thread of its own while the windows go on handling their events (painting, the
// pointer, the question whether to stop a transfer), so that a slow server never freezes them;
// anywhere else (dravena-cli, other threads) it simply runs where it is called. Whatever the
// call throws is thrown here either way.
void waitOnServer(const std::function<void()>& call);

} // namespace dravena
