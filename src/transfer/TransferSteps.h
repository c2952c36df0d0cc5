#pragma once

#include "TransferFrontEnd.h"
#include "base/Trap.h"

#include <cstdint>
#include <utility>

namespace dravena {

// Runs the labelled steps of a transfer through a trap that tells its failures to the front end
// with the label, the table and the row; the run then goes on with the next step. A lost server
// connection is reported once and ends the run: every later step does nothing.
class TransferSteps {
public:
    explicit TransferSteps(TransferFrontEnd& frontEnd);

    // Runs one step; true when it ran without failing.
    template <class F> bool step(int label, F&& body) {
        return !ended_ && trap_.step(label, std::forward<F>(body));
    }
    // A labelled condition: a failure while it is evaluated is reported and counts as true.
    template <class F> bool test(int label, F&& condition) {
        return !ended_ && trap_.test(label, std::forward<F>(condition));
    }

    void line(int label) { trap_.line(label); }
    bool ended() const { return ended_; }

    void setTable(const QString& table) {
        table_ = table;
        row_ = -1;
    }
    void setRow(std::int64_t row) { row_ = row; }

private:
    void report(const QString& description, int line);

    TransferFrontEnd& frontEnd_;
    Trap trap_;
    bool ended_ = false;
    QString table_;
    std::int64_t row_ = -1;
};

} // namespace dravena
