#include "PointerMove.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QVariant>
#include <QWidget>

namespace dravena {

namespace {

constexpr const char* ControlMark = "dravenaControl";

bool isControl(const QWidget* widget) {
    return widget->property(ControlMark).toBool();
}

// True when the point (in the watched widget's coordinates) lies on a control placed inside the
// control, rather than on the control itself or one of its own parts.
bool overInnerControl(const QWidget& control, QWidget& watched, const QPoint& point) {
    for (const QWidget* widget = watched.childAt(point); widget && widget != &control;
         widget = widget->parentWidget())
        if (isControl(widget))
            return true;
    return false;
}

// Lives as a child of the control it watches, so it goes with it.
class PointerMoveFilter final : public QObject {
public:
    PointerMoveFilter(QWidget& control, std::function<void()> handler)
        : QObject(&control), control_(control), handler_(std::move(handler)) {
        watch(control);
        // The pointer over a list's entries reaches its view, not the list.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(&control))
            watch(*area->viewport());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            auto& widget = static_cast<QWidget&>(*watched);
            const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!overInnerControl(control_, widget, point))
                handler_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void watch(QWidget& widget) {
        widget.setMouseTracking(true);
        widget.installEventFilter(this);
    }

    QWidget& control_;
    std::function<void()> handler_;
};

} // namespace

void markAsControl(QWidget& widget) {
    widget.setProperty(ControlMark, true);
}

void connectPointerMove(QWidget& control, std::function<void()> handler) {
    new PointerMoveFilter(control, std::move(handler));
}

} // namespace dravena
