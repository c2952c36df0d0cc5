#pragma once

#include "base/Ports.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <vector>

namespace dravena::testing {

// Records every address it is asked to open; never launches anything.
class RecordingLauncher final : public Launcher {
public:
    void open(const QString& address) override { opened.push_back(address); }
    QStringList opened;
};

// Records exit requests instead of ending the test process.
class RecordingExit final : public ProcessExit {
public:
    void exit(int code) override { codes.push_back(code); }
    std::vector<int> codes;
};

// A clock that shows the time the test sets.
class FixedClock final : public Clock {
public:
    int secondsSinceMidnight() override { return seconds; }
    std::int64_t steadyMilliseconds() override { return milliseconds; }
    int seconds = 0;
    std::int64_t milliseconds = 0;
};

// Plays back scripted numbers (0 when they run out) and records the seeds it was given.
class ScriptedRandom final : public RandomSource {
public:
    void seed(unsigned value) override { seeds.push_back(value); }
    double next() override;
    std::deque<double> numbers;
    std::vector<unsigned> seeds;
};

// Installs recording launcher, exit, fixed clock and scripted random for the guard's lifetime
// (dialogs are left alone; see ScopedDialogs) and restores the previous ports afterwards.
class ScopedPorts {
public:
    ScopedPorts();
    ~ScopedPorts();
    ScopedPorts(const ScopedPorts&) = delete;
    ScopedPorts& operator=(const ScopedPorts&) = delete;

    std::shared_ptr<RecordingLauncher> launcher = std::make_shared<RecordingLauncher>();
    std::shared_ptr<RecordingExit> processExit = std::make_shared<RecordingExit>();
    std::shared_ptr<FixedClock> clock = std::make_shared<FixedClock>();
    std::shared_ptr<ScriptedRandom> random = std::make_shared<ScriptedRandom>();

private:
    Ports previous_;
};

} // namespace dravena::testing
