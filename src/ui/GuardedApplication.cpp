#include "GuardedApplication.h"

#include "base/Dialogs.h"
#include "base/ErrorReport.h"
#include "base/Ports.h"
#include "base/Trap.h"

#include <cstdio>

namespace dravena {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportUncaughtFailure();
        return false;
    }
}

void reportUncaughtFailure() noexcept {
    QString text;
    try {
        text = uncaughtFailureText(describeCurrentException());
        dialogs().errorReport(text);
    } catch (...) {
        // No box can be shown (no dialogs, or showing one failed): the error output still gets it.
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
}

} // namespace dravena
