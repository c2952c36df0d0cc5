#include "ErrorReport.h"

#include "Dialogs.h"
#include "Ports.h"

namespace dravena {

namespace {

QString supportRequest() {
    return QStringLiteral("Please email screenshot of this message to ") +
           QString::fromLatin1(SupportAddress);
}

} // namespace

QString applicationErrorText(const QString& description, const QString& locationTag, int line) {
    return description + QStringLiteral("\r\n") + locationTag + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") + supportRequest();
}

QString uncaughtFailureText(const QString& description) {
    return description + QStringLiteral("\r\n") +
           QStringLiteral("caught by the event loop, outside any trapped procedure") +
           QStringLiteral("\r\r") + supportRequest();
}

void ReportApplicationError(const QString& description, const QString& locationTag, int line) {
    dialogs().errorReport(applicationErrorText(description, locationTag, line));
}

} // namespace dravena
