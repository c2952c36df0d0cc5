#include "MainWindow.h"

#include "Ports.h"

#include <QCloseEvent>
#include <QScreen>

namespace dravena {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {}

void MainWindow::setMousePointer(int value) {
    pointer_ = value;
    const auto widgets = findChildren<QWidget*>();
    if (value == PointerDefault) {
        unsetCursor();
        for (QWidget* child : widgets)
            child->unsetCursor();
        return;
    }
    QCursor cursor(Qt::WaitCursor);
    if (value == PointerCustom)
        cursor = customPointer_.value_or(QCursor(Qt::PointingHandCursor));
    setCursor(cursor);
    for (QWidget* child : widgets)
        child->setCursor(cursor);
}

void MainWindow::centreOnScreen() {
    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
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
