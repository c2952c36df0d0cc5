#pragma once

#include <functional>

class QWidget;

namespace dravena {

// Calls the handler each time the widget gets the keyboard focus, however it came (a click, the
// Tab key, a program): the control's GotFocus event.
void connectGotFocus(QWidget& widget, std::function<void()> handler);

} // namespace dravena
