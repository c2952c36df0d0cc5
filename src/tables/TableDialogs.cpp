#include "TableDialogs.h"

#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/Ports.h"

namespace dravena {

void tellUser(const QString& text) {
    dialogs().message(text, applicationTitle());
}

bool confirmTablesDelete(int selectedCount, const QString& folder) {
    if (selectedCount == 0)
        return false;
    const QString text =
        QStringLiteral("Delete %1 table(s) and all their files from %2? This cannot be undone.")
            .arg(selectedCount)
            .arg(folder);
    return dialogs().question(text, applicationTitle(), AnswerNo) == AnswerYes;
}

QString askNewTableName(const QString& oldName) {
    return dialogs().input(QStringLiteral("Enter new name of ") + oldName + u':',
                           applicationTitle(), oldName);
}

} // namespace dravena
