#include "QtDialogs.h"

#include "ApplicationTitle.h"

#include <QApplication>
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

} // namespace

QString QtDialogs::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

void QtDialogs::message(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, boxTitle(title), displayText(text), QMessageBox::Ok,
                    activeParent());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

int QtDialogs::question(const QString& text, const QString& title, int defaultAnswer) {
    QMessageBox box(QMessageBox::NoIcon, boxTitle(title), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, activeParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultAnswer == AnswerNo ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& preset) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(
        activeParent(), boxTitle(title), displayText(prompt), QLineEdit::Normal, preset, &accepted);
    return accepted ? answer : QString();
}

void QtDialogs::errorReport(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Application Error"), displayText(text),
                    QMessageBox::Ok, activeParent());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString QtDialogs::chooseFolder(const QString& prompt, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(activeParent(), boxTitle(prompt), startFolder,
                                             QFileDialog::ShowDirsOnly);
}

} // namespace dravena
