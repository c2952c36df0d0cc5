#pragma once

#include <QString>

namespace dravena {

// Where the report asks the user to send a screenshot.
inline constexpr const char* SupportAddress = "support@velmora.example";

// The exact text of the failure report.
QString applicationErrorText(const QString& description, const QString& locationTag, int line);

// Shows the "Application Error" box through the dialogs port and returns when it is closed.
void ReportApplicationError(const QString& description, const QString& locationTag, int line);

} // namespace dravena
