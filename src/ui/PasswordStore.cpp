#include "PasswordStore.h"

#include "EntryStore.h"
#include "Settings.h"
#include "base/Keyring.h"
#include "base/Ports.h"

namespace dravena {

namespace {

QString keyringKey(const QString& sid, const QString& user) {
    return user + u'@' + sid;
}

// The password in the settings file; null when the file holds none (or cannot be read).
QString passwordInFile() noexcept {
    try {
        return Settings::read(QString::fromLatin1(settingkeys::Password));
    } catch (...) {
        return {};
    }
}

} // namespace

bool PasswordStore::keyringInUse() const {
    return ports().keyring && reason_.isEmpty();
}

void PasswordStore::giveUpKeyring(const QString& failure) {
    QString file = QStringLiteral("the settings file");
    try {
        file += u' ' + Settings::filePath();
    } catch (...) {
    }
    reason_ = QStringLiteral("The password is kept in %1 (readable by you only), not in the "
                             "desktop's keyring: %2.")
                  .arg(file, failure.isEmpty() ? QStringLiteral("no keyring answered") : failure);
}

QString PasswordStore::load(const QString& sid, const QString& user) noexcept {
    const QString inFile = passwordInFile();
    try {
        if (!keyringInUse())
            return inFile;
        Keyring& keyring = *ports().keyring;
        const QString key = keyringKey(sid, user);
        const Keyring::Answer answer =
            inFile.isEmpty() ? keyring.read(key) : keyring.write(key, inFile);
        if (!answer.answered) {
            giveUpKeyring(answer.failure);
            return inFile;
        }
        if (!inFile.isNull())
            file_.remove(settingkeys::Password);
        const QString password = inFile.isEmpty() ? answer.password : inFile;
        last_ = Entry{sid, user, password};
        return password;
    } catch (...) {
        giveUpKeyring(QStringLiteral("the keyring could not be asked"));
        return inFile;
    }
}

void PasswordStore::store(const QString& sid, const QString& user,
                          const QString& password) noexcept {
    const Entry entry{sid, user, password};
    if (last_ == entry)
        return;
    try {
        if (keyringInUse()) {
            Keyring& keyring = *ports().keyring;
            const QString key = keyringKey(sid, user);
            const Keyring::Answer answer =
                password.isEmpty() ? keyring.remove(key) : keyring.write(key, password);
            if (answer.answered) {
                last_ = entry;
                return;
            }
            giveUpKeyring(answer.failure);
        }
    } catch (...) {
        giveUpKeyring(QStringLiteral("the keyring could not be asked"));
    }
    file_.write(settingkeys::Password, password);
    last_ = entry;
}

} // namespace dravena
