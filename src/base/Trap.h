#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

namespace dravena {

// The reporting trap of one activation of a trapped procedure. Each labelled step runs through
// it: the label becomes the current line, and a failure is reported with the procedure's tag and
// that line, after which the procedure goes on with its next step.
class Trap {
public:
    // Tells a failure of the current line; called while the failure is in flight.
    using Reporter = std::function<void(const QString& description, int line)>;

    explicit Trap(const char* locationTag) : tag_(QString::fromUtf8(locationTag)) {}
    // A trap that tells its failures to the reporter instead of the error report.
    explicit Trap(Reporter reporter) : reporter_(std::move(reporter)) {}

    int currentLine() const { return line_; }
    const QString& tag() const { return tag_; }

    // Enters a labelled line without running anything through the trap.
    void line(int label) { line_ = label; }

    // Runs one labelled step; a failure is reported and swallowed. True when it did not fail.
    template <class F> bool step(int label, F&& body) {
        line_ = label;
        return run(std::forward<F>(body));
    }

    // Runs a step under the current line (a statement on a line without a label of its own).
    template <class F> bool run(F&& body) {
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
        return evaluate(label, std::forward<F>(condition), true);
    }

    // A labelled check whose answer decides whether the procedure may go on: a failure while it
    // is evaluated is reported and counts as false, since a check that could not be made has not
    // passed.
    template <class F> bool check(int label, F&& condition) {
        return evaluate(label, std::forward<F>(condition), false);
    }

    // Reports the exception in flight (call only from a catch block).
    void reportCurrent();

private:
    template <class F> bool evaluate(int label, F&& condition, bool onFailure) {
        line_ = label;
        try {
            return static_cast<bool>(std::forward<F>(condition)());
        } catch (...) {
            reportCurrent();
            return onFailure;
        }
    }

    QString tag_;
    Reporter reporter_;
    int line_ = 0;
};

// The description a failure carries: the RuntimeError's own, or what() of other exceptions.
QString describeCurrentException();

} // namespace dravena
