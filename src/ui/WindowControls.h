#pragma once

class QGroupBox;
class QPushButton;
class QWidget;

namespace dravena {

// A frame of a window design, its caption bold in the windows' font.
QGroupBox* placeFrame(QWidget* parent, const char* name, const char* caption, int left, int top,
                      int width, int height);

// A push button of a window design, its caption bold in the windows' font. Enter in an entry
// field never clicks it.
QPushButton* placeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                         int width, int height);

} // namespace dravena
