#pragma once

#include <QCursor>
#include <QIcon>
#include <QString>

namespace dravena {

// The icon both main windows show.
QIcon applicationIcon();

// Loads a standard cursor file (image and hot spot); fails with error 75 when it cannot be read.
QCursor loadPointerFile(const QString& path);

} // namespace dravena
