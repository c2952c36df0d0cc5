#pragma once

#include <QApplication>

namespace dravena {

// The application object of the program (and of the window tests). A failure that escapes an
// event handler despite every trap reaches the event loop here: it is reported like a trapped
// one and the program goes on, instead of the exception ending the process.
class GuardedApplication final : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the report of a failure that no trap caught (call only from a catch block). Never fails.
void reportUncaughtFailure() noexcept;

} // namespace dravena
