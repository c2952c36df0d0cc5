/* The connection window's skin: a Qt style sheet. */
QGroupBox {
    border: 1px solid #8a9bb0;
    border-radius: 4px;
    margin-top: 9px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    left: 8px;
    padding: 0 3px;
    color: #1f3f6a;
}
QPushButton {
    border: 1px solid #6f86a6;
    border-radius: 3px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfcfe, stop:1 #dde5f0);
    color: #1f3f6a;
}
QPushButton:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e9f0fa);
}
QPushButton:pressed {
    background: #cdd8e8;
}
QLineEdit {
    border: 1px solid #8a9bb0;
    border-radius: 2px;
    padding: 1px 3px;
    background: white;
}
QListWidget {
    border: 1px solid #8a9bb0;
    border-radius: 2px;
    background: white;
}
QProgressBar {
    border: 1px solid #8a9bb0;
    border-radius: 3px;
    background: white;
    color: #1f3f6a;
    text-align: center;
}
QProgressBar::chunk {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c9d8ec, stop:1 #9fb6d6);
}
