#include "TableDialogs.h"

#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/Ports.h"

namespace dravena {

void tellUser(const QString& text) {
    dialogs().message(text, applicationTitle());
}

QString askNewTableName(const QString& oldName) {
    return dialogs().input(QStringLiteral("Enter new name of ") + oldName + u':',
                           applicationTitle(), oldName);
}

} // namespace dravena
