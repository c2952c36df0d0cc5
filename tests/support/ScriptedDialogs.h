#pragma once

#include "base/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace dravena::testing {

// A dialogs port that records every box and plays back scripted answers.
class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind { Message, Question, Input, ErrorReport, ChooseFolder };
    struct Box {
        Kind kind;
        QString title;
        QString text;
        QString detail;       // the preset answer of an input box, the start folder of a chooser,
                              // the default answer of a question ("Yes" or "No")
        QString details = {}; // what a message shows on request
    };

    void message(const QString& text, const QString& title) override;
    void messageWithDetails(const QString& text, const QString& title,
                            const QString& details) override;
    int question(const QString& text, const QString& title, int defaultAnswer) override;
    QString input(const QString& prompt, const QString& title, const QString& preset) override;
    void errorReport(const QString& text) override;
    QString chooseFolder(const QString& prompt, const QString& startFolder) override;

    // Answers played back in order; a question without a scripted answer gets No, an input box
    // or folder chooser without one gets "" (cancel).
    std::deque<int> questionAnswers;
    std::deque<QString> textAnswers;
    // Called while a box is "open", for tests that look at the window state then.
    std::function<void(const Box&)> onBox;

    std::vector<Box> boxes;

    std::vector<Box> reports() const; // only the error reports
};

// Installs a fresh ScriptedDialogs as the process dialogs for the lifetime of the guard.
class ScopedDialogs {
public:
    ScopedDialogs();
    ~ScopedDialogs();
    ScriptedDialogs& operator*() { return *dialogs_; }
    ScriptedDialogs* operator->() { return dialogs_.get(); }

private:
    std::shared_ptr<ScriptedDialogs> dialogs_;
    std::shared_ptr<Dialogs> previous_;
};

} // namespace dravena::testing
