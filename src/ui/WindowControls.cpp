#include "WindowControls.h"

#include "MainWindow.h"

#include <QGroupBox>
#include <QPushButton>

namespace dravena {

QGroupBox* placeFrame(QWidget* parent, const char* name, const char* caption, int left, int top,
                      int width, int height) {
    auto* frame =
        place(new QGroupBox(QString::fromLatin1(caption), parent), name, left, top, width, height);
    frame->setFont(windowFont(true));
    return frame;
}

QPushButton* placeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                         int width, int height) {
    auto* button = place(new QPushButton(QString::fromLatin1(caption), parent), name, left, top,
                         width, height);
    button->setFont(windowFont(true, ButtonPixels));
    button->setAutoDefault(false);
    return button;
}

} // namespace dravena
