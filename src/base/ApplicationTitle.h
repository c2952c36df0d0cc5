#pragma once

#include <QString>

namespace dravena {

// The product name cut at its last blank, at least once and then until it is 40 characters or
// shorter. A name that runs out of blanks first raises error 5.
QString shortenedTitle(const QString& productName);

// Sets the application title from the product name.
void SetApplicationTitle();

// The title of every message box without a title of its own ("" until it has been set).
const QString& applicationTitle();

} // namespace dravena
