#pragma once

#include <QString>

namespace dravena {

// The texts of the "Help" button beside the Oracle sign-on. The first box is built piece by
// piece: the introduction, a blank line, the example entry of a TNSNAMES.ORA file line by line,
// another blank line and the conclusion.
QString sidHelpIntroduction();
inline constexpr int SidHelpExampleLines = 9;
QString sidHelpExampleLine(int index); // 0 to SidHelpExampleLines - 1
QString sidHelpConclusion();

// The second box.
QString unsupportedTypesText();

} // namespace dravena
