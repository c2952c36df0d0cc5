#pragma once

#include <functional>

class QWidget;

namespace dravena {

// Marks a widget as a control of its window: the pointer over it belongs to it, not to the frame
// or window that holds it. place() marks every control it lays out.
void markAsControl(QWidget& widget);

// Calls the handler each time the pointer moves over the control itself, with or without a
// button held: the control's pointer-move event. Over a control placed inside it (a button of a
// frame, a frame of the window) the handler is not called; over the control's own parts (the
// view and scroll bars of a list) it is. Turns pointer tracking on for what it watches.
void connectPointerMove(QWidget& control, std::function<void()> handler);

} // namespace dravena
