#pragma once

#include <memory>

namespace dravena {

class Clock;

// The machine's own clock.
std::shared_ptr<Clock> localClock();

// Installs the real outside world: Qt dialogs, the desktop's URL launcher, immediate process
// exit, the local clock, a seeded random source and the desktop's keyring. Outside launches are off
// when the DRAVENA_NO_LAUNCH environment variable is set or no real screen is used (offscreen
// platform).
void installSystemPorts();

} // namespace dravena
