#include "TestConfigFolder.h"

#include <QFile>
#include <QSettings>

#include <cstdlib>

namespace dravena::testing {

namespace {
QString& activeFolder() {
    static QString folder;
    return folder;
}
} // namespace

TestConfigFolder::TestConfigFolder() : previous_(activeFolder()) {
    if (!folder_.isValid())
        std::abort(); // no test may fall back to the real configuration folder
    if (previous_.isEmpty())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder_.path()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
    activeFolder() = folder_.path();
}

TestConfigFolder::~TestConfigFolder() {
    activeFolder() = previous_;
    if (!previous_.isEmpty())
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, previous_);
}

} // namespace dravena::testing
