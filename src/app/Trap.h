#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace dravena {

// The reporting trap of one activation of a trapped procedure. Each labelled step runs through
// it: the label becomes the current line, and a failure is reported with the procedure's tag and
// that line, after which the procedure goes on with its next step.
class Trap {
public:
    explicit Trap(const char* locationTag) : tag_(QString::fromUtf8(locationTag)) {}

    int currentLine() const { return line_; }
    const QString& tag() const { return tag_; }

    // Enters a labelled line without running anything through the trap.
    void line(int label) { line_ = label; }

    // Runs one labelled step; a failure is reported and swallowed.
    template <class F> void step(int label, F&& body) {
        line_ = label;
        run(std::forward<F>(body));
    }

    // Runs a step under the current line (a statement on a line without a label of its own).
    template <class F> void run(F&& body) {
        try {
            std::forward<F>(body)();
        } catch (...) {
            reportCurrent();
        }
    }

    // A labelled condition: a failure while it is evaluated is reported and counts as true.
    template <class F> bool test(int label, F&& condition) {
        line_ = label;
        try {
            return static_cast<bool>(std::forward<F>(condition)());
        } catch (...) {
            reportCurrent();
            return true;
        }
    }

    // Reports the exception in flight (call only from a catch block).
    void reportCurrent();

private:
    QString tag_;
    int line_ = 0;
};

// The description a failure carries: the RuntimeError's own, or what() of other exceptions.
QString describeCurrentException();

} // namespace dravena
