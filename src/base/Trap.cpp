#include "Trap.h"

#include "ErrorReport.h"
#include "RuntimeError.h"

#include <new>

namespace dravena {

QString describeCurrentException() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return e.description();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unexpected error");
    }
}

void Trap::reportCurrent() {
    const QString description = describeCurrentException();
    if (reporter_)
        reporter_(description, line_);
    else
        ReportApplicationError(description, tag_, line_);
}

} // namespace dravena
