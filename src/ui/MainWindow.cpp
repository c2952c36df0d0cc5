#include "MainWindow.h"

#include "base/Ports.h"

#include <QCloseEvent>
#include <QScreen>
#include <QVariant>

namespace dravena {

namespace {

// While the window shows the busy or the custom pointer over a control, the control keeps its own
// pointer (an entry field's text cursor, for example) here, to get it back at value 0.
constexpr const char* OwnPointer = "dravenaOwnPointer";
constexpr const char* PointerShown = "dravenaPointerShown";

void showPointer(QWidget& widget, const QCursor& cursor) {
    if (!widget.property(PointerShown).toBool()) {
        widget.setProperty(OwnPointer, widget.testAttribute(Qt::WA_SetCursor)
                                           ? QVariant::fromValue(widget.cursor())
                                           : QVariant());
        widget.setProperty(PointerShown, true);
    }
    widget.setCursor(cursor);
}

void restoreOwnPointer(QWidget& widget) {
    if (!widget.property(PointerShown).toBool())
        return;
    const QVariant own = widget.property(OwnPointer);
    if (own.isValid())
        widget.setCursor(own.value<QCursor>());
    else
        widget.unsetCursor();
    widget.setProperty(PointerShown, false);
}

} // namespace

QFont windowFont(bool bold, int pixels) {
    QFont font;
    // Liberation Sans has Arial's metrics: with it the captions take the room the design gives
    // them.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {}

void MainWindow::setMousePointer(int value) {
    pointer_ = value;
    QList<QWidget*> widgets = findChildren<QWidget*>();
    widgets.prepend(this);
    if (value == PointerDefault) {
        for (QWidget* widget : widgets)
            restoreOwnPointer(*widget);
        return;
    }
    QCursor cursor(Qt::WaitCursor);
    if (value == PointerCustom)
        cursor = customPointer_.value_or(QCursor(Qt::PointingHandCursor));
    for (QWidget* widget : widgets)
        showPointer(*widget, cursor);
}

void MainWindow::pointerMoved(int value) {
    if (pointer_ != PointerBusy)
        setMousePointer(value);
}

void MainWindow::centreOnScreen() {
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

void MainWindow::setOuterHeight(int pixels) {
    outerHeight_ = pixels;
    fitOuterHeight();
}

void MainWindow::fitOuterHeight() {
    if (!outerHeight_)
        return;
    const int client = *outerHeight_ - (frameGeometry().height() - height());
    if (client != height() || minimumHeight() != maximumHeight())
        setFixedHeight(client);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitOuterHeight();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    fitOuterHeight();
}

void MainWindow::setCustomPointer(const QCursor& cursor) {
    customPointer_ = cursor;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Every entry was saved when it changed: nothing to ask, nothing to write.
    event->accept();
    if (ports().processExit)
        ports().processExit->exit(0);
}

} // namespace dravena
