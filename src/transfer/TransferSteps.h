#pragma once

#include "TransferFrontEnd.h"

#include <cstdint>
#include <utility>

namespace dravena {

// Runs the labelled steps of a transfer. A failing step is reported through the front end with
// its label, the table and the row, and the run goes on with the next step. A lost server
// connection is reported once and ends the run: every later step does nothing.
class TransferSteps {
public:
    explicit TransferSteps(TransferFrontEnd& frontEnd) : frontEnd_(frontEnd) {}

    // Runs one step; true when it ran without failing.
    template <class F> bool step(int label, F&& body) {
        if (ended_)
            return false;
        line_ = label;
        try {
            std::forward<F>(body)();
            return true;
        } catch (...) {
            reportCurrent();
            return false;
        }
    }

    // A labelled condition: a failure while it is evaluated is reported and counts as true.
    template <class F> bool test(int label, F&& condition) {
        if (ended_)
            return false;
        line_ = label;
        try {
            return static_cast<bool>(std::forward<F>(condition)());
        } catch (...) {
            reportCurrent();
            return true;
        }
    }

    void line(int label) { line_ = label; }
    bool ended() const { return ended_; }
    // Ends the run: later steps do nothing.
    void end() { ended_ = true; }

    void setTable(const QString& table) {
        table_ = table;
        row_ = -1;
    }
    void setRow(std::int64_t row) { row_ = row; }

private:
    // Reports the exception in flight (call only from a catch block).
    void reportCurrent();

    TransferFrontEnd& frontEnd_;
    int line_ = 0;
    bool ended_ = false;
    QString table_;
    std::int64_t row_ = -1;
};

} // namespace dravena
