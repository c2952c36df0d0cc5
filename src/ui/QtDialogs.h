#pragma once

#include "base/Dialogs.h"

namespace dravena {

// The dialogs port on real Qt boxes. Every box is modal and application-wide.
class QtDialogs final : public Dialogs {
public:
    void message(const QString& text, const QString& title) override;
    void messageWithDetails(const QString& text, const QString& title,
                            const QString& details) override;
    int question(const QString& text, const QString& title, int defaultAnswer) override;
    QString input(const QString& prompt, const QString& title, const QString& preset) override;
    void errorReport(const QString& text) override;
    QString chooseFolder(const QString& prompt, const QString& startFolder) override;

    // What a box shows for a text: CR LF and lone CR become line breaks. The text handed to the
    // port stays as it was; only the screen sees this form.
    static QString displayText(const QString& text);
};

} // namespace dravena
