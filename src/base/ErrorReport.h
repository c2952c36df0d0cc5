#pragma once

#include <QString>

namespace dravena {

// Where the report asks the user to send a screenshot.
inline constexpr const char* SupportAddress = "support@velmora.example";

// The exact text of the failure report.
QString applicationErrorText(const QString& description, const QString& locationTag, int line);

// The text of the report of a failure that no trapped procedure caught: the description, then
// where it was caught instead of a location tag and line.
QString uncaughtFailureText(const QString& description);

// Shows the "Application Error" box through the dialogs port and returns when it is closed.
void ReportApplicationError(const QString& description, const QString& locationTag, int line);

} // namespace dravena
