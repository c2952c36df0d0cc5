#include "ErrorReport.h"

#include "Dialogs.h"
#include "Ports.h"

namespace dravena {

QString applicationErrorText(const QString& description, const QString& locationTag, int line) {
    return description + QStringLiteral("\r\n") + locationTag + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") +
           QString::fromLatin1(SupportAddress);
}

void ReportApplicationError(const QString& description, const QString& locationTag, int line) {
    dialogs().errorReport(applicationErrorText(description, locationTag, line));
}

} // namespace dravena
