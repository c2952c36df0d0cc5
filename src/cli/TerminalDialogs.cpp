#include "TerminalDialogs.h"

#include "Options.h"

#include <cstdio>

namespace dravena::cli {

void TerminalDialogs::print(const QString& text) const {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    printLine(stderr, QStringLiteral("dravena-cli %1: %2").arg(QLatin1String(command_), shown));
}

void TerminalDialogs::message(const QString& text, const QString&) {
    print(text);
}

int TerminalDialogs::question(const QString& text, const QString&, int) {
    print(text);
    return AnswerNo;
}

QString TerminalDialogs::input(const QString& prompt, const QString&, const QString&) {
    print(prompt);
    return {};
}

void TerminalDialogs::errorReport(const QString& text) {
    ++reports_;
    print(text);
}

QString TerminalDialogs::chooseFolder(const QString& prompt, const QString&) {
    print(prompt);
    return {};
}

} // namespace dravena::cli
