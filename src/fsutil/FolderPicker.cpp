#include "FolderPicker.h"

#include "app/Dialogs.h"
#include "app/Ports.h"

namespace dravena {

QString BrowseForFolder(const QString& prompt, const QString& startFolder) {
    return dialogs().chooseFolder(prompt, startFolder);
}

} // namespace dravena
