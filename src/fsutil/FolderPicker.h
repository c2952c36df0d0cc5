#pragma once

#include <QString>

namespace dravena {

// Lets the user pick a folder, starting at startFolder ("" for none); "" when cancelled.
QString BrowseForFolder(const QString& prompt, const QString& startFolder);

} // namespace dravena
