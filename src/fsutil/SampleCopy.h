#pragma once

#include <QString>

namespace dravena {

// The sample folder that "Load Sample/Example Database" offers, for a program in
// `executableFolder`. Samples beside the executable (a build folder) are used where they are. An
// installed copy's samples are never written to: the user gets a copy of them in
// `userDataFolder`/dravena/Samples, made the first time and kept from then on with whatever the
// user changed in it. With no samples anywhere, the path beside the executable, so that whatever
// reports their absence names that place. A copy that cannot be made raises the file error; no
// half copy is left under the copy's name.
QString sampleFolderForUser(const QString& executableFolder, const QString& userDataFolder);

// The same for this program and this user ($XDG_DATA_HOME, else ~/.local/share).
QString sampleFolderForUser();

} // namespace dravena
