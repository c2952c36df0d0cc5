#pragma once

#include <QString>

namespace dravena {

// Answers of a Yes/No question.
constexpr int AnswerYes = 6;
constexpr int AnswerNo = 7;

// Every message box, question, input box and the folder chooser go through this port.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Plain message: OK only, no icon.
    virtual void message(const QString& text, const QString& title) = 0;
    // Plain message whose details (the driver's own words, say) show on request. Where nothing
    // can be shown on request the details follow the text after an empty line.
    virtual void messageWithDetails(const QString& text, const QString& title,
                                    const QString& details) {
        message(details.isEmpty() ? text : text + QStringLiteral("\r\n\r\n") + details, title);
    }
    // Yes/No question, no icon; returns AnswerYes or AnswerNo. Enter gives the default answer,
    // Escape No.
    virtual int question(const QString& text, const QString& title,
                         int defaultAnswer = AnswerYes) = 0;
    // Input box with a preset answer; returns "" when cancelled.
    virtual QString input(const QString& prompt, const QString& title, const QString& preset) = 0;
    // The failure report: OK only, exclamation icon, title "Application Error".
    virtual void errorReport(const QString& text) = 0;
    // Folder chooser; returns "" when cancelled.
    virtual QString chooseFolder(const QString& prompt, const QString& startFolder) = 0;
};

} // namespace dravena
