#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace dravena {

class Dialogs;
class Keyring;

// Opens an outside address (web page) without waiting for it.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual void open(const QString& address) = 0;
};

// Ends the process at once.
class ProcessExit {
public:
    virtual ~ProcessExit() = default;
    virtual void exit(int code) = 0;
};

// Time of day, for seeding, and a clock for measuring how long work takes.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int secondsSinceMidnight() = 0;
    // Milliseconds on a clock that never goes back; only differences of two readings mean
    // anything.
    virtual std::int64_t steadyMilliseconds() = 0;
};

// Pseudo-random numbers in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seed(unsigned value) = 0;
    virtual double next() = 0;
};

// The process-wide outside world. main() installs the real ports; tests install their own.
struct Ports {
    std::shared_ptr<Dialogs> dialogs;
    std::shared_ptr<Launcher> launcher;
    std::shared_ptr<ProcessExit> processExit;
    std::shared_ptr<Clock> clock;
    std::shared_ptr<RandomSource> random;
    // The password keyring; none (null) in dravena-cli and where no keyring is wanted.
    std::shared_ptr<Keyring> keyring;
};

Ports& ports();

// Dialogs of the installed ports; throws error 91 when none is installed.
Dialogs& dialogs();

// Lets the event loop run pending events; cheap enough to call per field and per row.
void yieldToEventLoop();

} // namespace dravena
