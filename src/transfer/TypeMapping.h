#pragma once

#include <QString>

namespace dravena {

// The ADO name of a field type number ("adInteger"), or "" when the number is unknown.
QString DataTypeName(short typeNumber);

} // namespace dravena
