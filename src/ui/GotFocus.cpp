#include "GotFocus.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace dravena {

namespace {

// Lives as a child of the widget it watches, so it goes with it.
class GotFocusFilter final : public QObject {
public:
    GotFocusFilter(QWidget& widget, std::function<void()> handler)
        : QObject(&widget), handler_(std::move(handler)) {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn)
            handler_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> handler_;
};

} // namespace

void connectGotFocus(QWidget& widget, std::function<void()> handler) {
    new GotFocusFilter(widget, std::move(handler));
}

} // namespace dravena
