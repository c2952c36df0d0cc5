#pragma once

#include "base/Dialogs.h"

namespace dravena::cli {

// The dialogs of a command without windows: messages and failure reports go to the error output,
// questions are answered No and input boxes cancelled.
class TerminalDialogs final : public Dialogs {
public:
    explicit TerminalDialogs(const char* command) : command_(command) {}

    void message(const QString& text, const QString& title) override;
    int question(const QString& text, const QString& title, int defaultAnswer) override;
    QString input(const QString& prompt, const QString& title, const QString& preset) override;
    void errorReport(const QString& text) override;
    QString chooseFolder(const QString& prompt, const QString& startFolder) override;

    int reportCount() const { return reports_; }

private:
    void print(const QString& text) const;

    const char* command_;
    int reports_ = 0;
};

} // namespace dravena::cli
