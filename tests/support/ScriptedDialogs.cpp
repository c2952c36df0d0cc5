#include "ScriptedDialogs.h"

#include "base/Ports.h"

namespace dravena::testing {

namespace {
QString popText(std::deque<QString>& answers) {
    if (answers.empty())
        return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}
} // namespace

void ScriptedDialogs::message(const QString& text, const QString& title) {
    messageWithDetails(text, title, {});
}

void ScriptedDialogs::messageWithDetails(const QString& text, const QString& title,
                                         const QString& details) {
    boxes.push_back({Kind::Message, title, text, {}, details});
    if (onBox)
        onBox(boxes.back());
}

int ScriptedDialogs::question(const QString& text, const QString& title, int defaultAnswer) {
    boxes.push_back({Kind::Question, title, text,
                     defaultAnswer == AnswerNo ? QStringLiteral("No") : QStringLiteral("Yes")});
    if (onBox)
        onBox(boxes.back());
    if (questionAnswers.empty())
        return AnswerNo;
    const int answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::input(const QString& prompt, const QString& title, const QString& preset) {
    boxes.push_back({Kind::Input, title, prompt, preset});
    if (onBox)
        onBox(boxes.back());
    return popText(textAnswers);
}

void ScriptedDialogs::errorReport(const QString& text) {
    boxes.push_back({Kind::ErrorReport, QStringLiteral("Application Error"), text, {}});
    if (onBox)
        onBox(boxes.back());
}

QString ScriptedDialogs::chooseFolder(const QString& prompt, const QString& startFolder) {
    boxes.push_back({Kind::ChooseFolder, QString(), prompt, startFolder});
    if (onBox)
        onBox(boxes.back());
    return popText(textAnswers);
}

std::vector<ScriptedDialogs::Box> ScriptedDialogs::reports() const {
    std::vector<Box> result;
    for (const Box& box : boxes)
        if (box.kind == Kind::ErrorReport)
            result.push_back(box);
    return result;
}

ScopedDialogs::ScopedDialogs()
    : dialogs_(std::make_shared<ScriptedDialogs>()), previous_(ports().dialogs) {
    ports().dialogs = dialogs_;
}

ScopedDialogs::~ScopedDialogs() {
    ports().dialogs = previous_;
}

} // namespace dravena::testing
