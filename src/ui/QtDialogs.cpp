#include "QtDialogs.h"

#include "base/ApplicationTitle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace dravena {

namespace {

// A box without a title of its own carries the application title.
QString boxTitle(const QString& title) {
    return title.isEmpty() ? applicationTitle() : title;
}

QWidget* activeParent() {
    return QApplication::activeWindow();
}

// The buttons of every box at one size, whatever their captions, without icons; the text as
// plain text.
constexpr QSize BoxButtonSize{88, 26};

void shapeButtons(const QList<QAbstractButton*>& buttons) {
    for (QAbstractButton* button : buttons) {
        button->setIcon(QIcon());
        button->setFixedSize(BoxButtonSize);
    }
}

void shapeBox(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    shapeButtons(box.buttons());
}

} // namespace

QString QtDialogs::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

void QtDialogs::message(const QString& text, const QString& title) {
    messageWithDetails(text, title, {});
}

void QtDialogs::messageWithDetails(const QString& text, const QString& title,
                                   const QString& details) {
    QMessageBox box(QMessageBox::NoIcon, boxTitle(title), displayText(text), QMessageBox::Ok,
                    activeParent());
    // The details add their own button ("Show Details..."), shaped with the others.
    if (!details.isEmpty())
        box.setDetailedText(displayText(details));
    shapeBox(box);
    box.exec();
}

int QtDialogs::question(const QString& text, const QString& title, int defaultAnswer) {
    QMessageBox box(QMessageBox::NoIcon, boxTitle(title), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, activeParent());
    shapeBox(box);
    box.setDefaultButton(defaultAnswer == AnswerNo ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& preset) {
    QInputDialog box(activeParent());
    box.setWindowTitle(boxTitle(title));
    box.setLabelText(displayText(prompt));
    box.setTextValue(preset);
    // Naming the buttons makes the box lay them out, so that they can be shaped as in every box.
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Cancel"));
    for (const QDialogButtonBox* buttons : box.findChildren<QDialogButtonBox*>())
        shapeButtons(buttons->buttons());
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

void QtDialogs::errorReport(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Application Error"), displayText(text),
                    QMessageBox::Ok, activeParent());
    shapeBox(box);
    box.exec();
}

QString QtDialogs::chooseFolder(const QString& prompt, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(activeParent(), boxTitle(prompt), startFolder,
                                             QFileDialog::ShowDirsOnly);
}

} // namespace dravena
