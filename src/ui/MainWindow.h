#pragma once

#include "PointerMove.h"
#include "ServerWait.h"
#include "base/PointerValues.h"

#include <QCursor>
#include <QFont>
#include <QWidget>

#include <optional>

namespace dravena {

// Converts layout units of the window designs (twips) to pixels.
constexpr int twips(int value) {
    return value / 15;
}

// The font sizes of the window designs in pixels: 9 points (the windows, frames, labels, entry
// fields and lists) and 11.25 points (push buttons) at 96 dots per inch.
constexpr int TextPixels = 12;
constexpr int ButtonPixels = 15;

// The font of both windows: Arial, else Liberation Sans, which has Arial's metrics (Debian's
// fonts-liberation2). Sized in pixels like the controls, so that the ratio of caption to control
// stays the same at any screen resolution.
QFont windowFont(bool bold, int pixels = TextPixels);

// Names a control and places it by the window design's twips, relative to its container.
template <class W> W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    markAsControl(*widget);
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
    return widget;
}

// A main window: owns its pointer value and ends the process when the user closes it.
class MainWindow : public QWidget {
public:
    explicit MainWindow(QWidget* parent = nullptr);

    int mousePointer() const { return pointer_; }
    // Applies the pointer of the value to the window and all its children; value 0 gives each of
    // them its own default back (the text cursor of an entry field, the arrow elsewhere).
    void setMousePointer(int value);
    // What every pointer handler does: the busy pointer stays while an operation runs; otherwise
    // the window takes the value, also when it has it already.
    void pointerMoved(int value);
    // The custom pointer picture shown for value 99.
    void setCustomPointer(const QCursor& cursor);
    // Places the window in the middle of its screen.
    void centreOnScreen();
    // Makes the window's outer height (title bar and border included) the given pixels, now and
    // again whenever the window is shown or moved, since the frame is known only on screen.
    void setOuterHeight(int pixels);

    // Runs one of the window's operations unless another is running: operations yield to the
    // event loop, and a click taken meanwhile must not start a second one in the middle.
    template <class F> void runOperation(F&& operation) {
        if (operationRunning_)
            return;
        operationRunning_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{operationRunning_};
        const EventsWhileWaiting painting; // a slow server does not freeze the window
        operation();
    }
    bool operationRunning() const { return operationRunning_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void fitOuterHeight();

    int pointer_ = PointerDefault;
    bool operationRunning_ = false;
    std::optional<QCursor> customPointer_;
    std::optional<int> outerHeight_;
};

} // namespace dravena
