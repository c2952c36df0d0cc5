#include "FolderPicker.h"

#include "base/Dialogs.h"
#include "base/Ports.h"

namespace dravena {

QString BrowseForFolder(const QString& prompt, const QString& startFolder) {
    return dialogs().chooseFolder(prompt, startFolder);
}

} // namespace dravena
