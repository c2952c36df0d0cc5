#include "ScriptedPorts.h"

namespace dravena::testing {

double ScriptedRandom::next() {
    if (numbers.empty())
        return 0.0;
    const double number = numbers.front();
    numbers.pop_front();
    return number;
}

ScopedPorts::ScopedPorts() : previous_(ports()) {
    Ports& p = ports();
    p.launcher = launcher;
    p.processExit = processExit;
    p.clock = clock;
    p.random = random;
}

ScopedPorts::~ScopedPorts() {
    Ports& p = ports();
    p.launcher = previous_.launcher;
    p.processExit = previous_.processExit;
    p.clock = previous_.clock;
    p.random = previous_.random;
}

} // namespace dravena::testing
