#include "Ports.h"

#include "Dialogs.h"
#include "RuntimeError.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace dravena {

Ports& ports() {
    static Ports instance;
    return instance;
}

Dialogs& dialogs() {
    if (!ports().dialogs)
        throwObjectNotSet();
    return *ports().dialogs;
}

void yieldToEventLoop() {
    // Processing events costs far more than a field or a row; do it at most every few
    // milliseconds so that a loop over millions of values stays fast and the window stays live.
    static QElapsedTimer sinceLast;
    if (sinceLast.isValid() && sinceLast.elapsed() < 8)
        return;
    sinceLast.start();
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

} // namespace dravena
