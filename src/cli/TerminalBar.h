#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace dravena {
class Clock;
}

namespace dravena::cli {

// The progress of one table on a terminal, on one line that is drawn over again:
//   NAME [#########.....................] DONE/TOTAL rows  RATE rows/s  M:SS left
// at most every 100 ms, and always when it is full. Off a terminal it shows nothing.
class TerminalBar {
public:
    TerminalBar(std::FILE* out, bool terminal, std::shared_ptr<Clock> clock);

    // A new bar, timed from now.
    void start(const QString& name, std::int64_t total);
    void show(std::int64_t done, bool force = false);
    // Names the bar anew, keeping its total and its timing (a run's bar, table after table).
    void relabel(const QString& name) { name_ = name; }
    // Takes the bar off its line, so that a line of text can be written there.
    void clear();

private:
    std::FILE* out_;
    bool terminal_;
    std::shared_ptr<Clock> clock_;
    QString name_;
    std::int64_t total_ = 0;
    std::int64_t start_ = 0;
    std::int64_t lastDrawn_ = -1;
    bool shown_ = false;
};

} // namespace dravena::cli
