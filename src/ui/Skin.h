#pragma once

class QColor;
class QWidget;

namespace dravena {

// Fills the widget's background with the colour.
void paintBackground(QWidget& widget, const QColor& colour);

// Gives the window and its frames and labels the button-face colour.
void SetFormColors(QWidget& window);

// When the skin file lies beside the program: its style sheet for the window (the tables window
// takes it too, so that both windows look like one program). Without the file nothing changes.
void applySkinStyleSheet(QWidget& window);

// When the skin file lies beside the program: the button-face colours and the skin (a Qt style
// sheet) for the connection window. Without the file nothing changes.
void ApplySkin(QWidget& window);

} // namespace dravena
