#include "Form1.h"

#include "base/Product.h"
#include "ui/Skin.h"
#include "ui/WindowControls.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace dravena {

namespace {

// The frames and labels of this window are white as designed, until a skin gives them the
// button face.
QGroupBox* frame(QWidget* parent, const char* name, const char* caption, int l, int t, int w,
                 int h) {
    QGroupBox* box = placeFrame(parent, name, caption, l, t, w, h);
    paintBackground(*box, Qt::white);
    return box;
}

void label(QWidget* parent, const char* name, const char* caption, int l, int t, int w, int h) {
    auto* text = place(new QLabel(QString::fromLatin1(caption), parent), name, l, t, w, h);
    text->setFont(windowFont(true));
    paintBackground(*text, Qt::white);
}

QLineEdit* entry(QWidget* parent, const char* name, int l, int t, int w, int h) {
    auto* field = place(new QLineEdit(parent), name, l, t, w, h);
    field->setFont(windowFont(true));
    return field;
}

} // namespace

void Form1::buildLayout() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(ProductName));
    setFont(windowFont(false));
    setFixedSize(twips(8040), twips(4755));

    Frame1 = frame(this, "Frame1", "Paradox Database", 120, 120, 7800, 1455);
    label(Frame1, "Label2", "Paradox Folder:", 240, 405, 1455, 255);
    Text1 = entry(Frame1, "Text1", 1680, 360, 5175, 345);
    PushButton5 = placeButton(Frame1, "PushButton5", "...", 6945, 360, 600, 345);
    PushButton6 =
        placeButton(Frame1, "PushButton6", "Load Sample/Example Database", 240, 840, 3600, 405);
    PushButton3 = placeButton(Frame1, "PushButton3", "Test Connection", 3960, 840, 3600, 405);

    Frame2 = frame(this, "Frame2", "Oracle Login", 120, 1680, 7800, 2415);
    label(Frame2, "Label7", "SID:", 240, 405, 1095, 255);
    Text2 = entry(Frame2, "Text2", 1320, 360, 6255, 330);
    label(Frame2, "Label5", "Username:", 240, 885, 1095, 255);
    Text3 = entry(Frame2, "Text3", 1320, 840, 6255, 330);
    label(Frame2, "Label9", "Password:", 240, 1365, 1095, 255);
    Text4 = entry(Frame2, "Text4", 1320, 1320, 6255, 330);
    Text4->setEchoMode(QLineEdit::Password);
    Text4->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    PushButton1 = placeButton(Frame2, "PushButton1", "Test Connection", 240, 1800, 3600, 405);
    PushButton4 = placeButton(Frame2, "PushButton4", "Help", 3960, 1800, 3600, 405);

    PushButton2 = placeButton(this, "PushButton2", "Next >", 120, 4230, 7800, 400);

    // Shown (the window grown to hold it) only when the password cannot go to the keyring.
    KeyringNotice = place(new QLabel(this), "KeyringNotice", 120, 4700, 7800, 900);
    KeyringNotice->setFont(windowFont(true));
    KeyringNotice->setWordWrap(true);
    KeyringNotice->setTextFormat(Qt::PlainText);
    KeyringNotice->hide();

    // Keyboard order: folder, password, user name, SID, then the buttons.
    QWidget* const order[] = {Text1,       Text4,       Text3,       Text2,       PushButton5,
                              PushButton3, PushButton1, PushButton4, PushButton2, PushButton6};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace dravena
