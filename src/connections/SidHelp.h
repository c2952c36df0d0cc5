#pragma once

#include <QString>

namespace dravena {

// The two boxes of the "Help" button beside the Oracle sign-on.
QString sidHelpText();
QString unsupportedTypesText();

} // namespace dravena
