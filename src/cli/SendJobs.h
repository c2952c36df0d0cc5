#pragma once

#include "CliTransfer.h"

#include <QString>

#include <cstdio>
#include <memory>

namespace dravena {
class Clock;
}

namespace dravena::cli {

// What a send of several tables left: its summary line and whether every table arrived whole.
struct SendOutcome {
    QString summary;
    bool allWhole = false;
    bool stopped = false; // the run saw a stop before its end
};

// Sends the tables of `settings` over `jobs` connections at once (one when 1): each job sends the
// tables it takes, each table whole on its job's connection; the lines of every table are written
// whole, and one summary counts the whole run. A terminal gets the progress bar with one job
// only: the bars of several jobs would share one line.
SendOutcome sendInJobs(const CliTransfer::Settings& settings, int jobs, std::FILE* out,
                       bool terminal, const std::shared_ptr<Clock>& clock);

} // namespace dravena::cli
