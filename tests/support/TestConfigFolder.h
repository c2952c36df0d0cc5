#pragma once

#include <QString>
#include <QTemporaryDir>

namespace dravena::testing {

// Points the settings store at a fresh temporary configuration folder while the guard lives, and
// back at the suite's own temporary folder afterwards. The first guard of a process (made by the
// test main before anything reads a setting) also sets XDG_CONFIG_HOME.
class TestConfigFolder {
public:
    TestConfigFolder();
    ~TestConfigFolder();
    TestConfigFolder(const TestConfigFolder&) = delete;
    TestConfigFolder& operator=(const TestConfigFolder&) = delete;

    QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    QString previous_;
};

} // namespace dravena::testing
