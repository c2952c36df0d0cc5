#include "Skin.h"

#include "base/ProgramFiles.h"
#include "base/RuntimeError.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace dravena {

namespace {

void paintButtonFace(QWidget& widget) {
    paintBackground(widget, widget.palette().color(QPalette::Button));
}

bool takesButtonFace(const QWidget* widget) {
    return qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QLabel*>(widget) ||
           qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget);
}

} // namespace

void paintBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void SetFormColors(QWidget& window) {
    paintButtonFace(window);
    for (QWidget* child : window.findChildren<QWidget*>())
        if (takesButtonFace(child))
            paintButtonFace(*child);
}

void ApplySkin(QWidget& window) {
    if (!QFileInfo(skinFilePath()).isFile())
        return;
    SetFormColors(window);
    applySkinStyleSheet(window);
}

void applySkinStyleSheet(QWidget& window) {
    const QString path = skinFilePath();
    if (!QFileInfo(path).isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw RuntimeError(errnum::PathFileAccess,
                           QStringLiteral("Path/File access error: ") + path);
    window.setStyleSheet(QString::fromUtf8(file.readAll()));
}

} // namespace dravena
