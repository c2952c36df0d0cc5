#pragma once

#include <QString>

#include <optional>

namespace dravena {

class EntryStore;

// Where the Oracle password is remembered between runs: in the desktop's keyring under the SID
// and the user when the keyring answers, else in the settings file (mode 0600) as before. Once
// the keyring has not answered, the file is used for the rest of the run, so that the window
// waits on the keyring at most once. Without a keyring port (tests) the file is used silently.
class PasswordStore {
public:
    explicit PasswordStore(EntryStore& file) : file_(file) {}

    // The password remembered for the SID and user. A password found in the settings file moves
    // into the keyring and leaves the file when the keyring takes it.
    QString load(const QString& sid, const QString& user) noexcept;
    // Remembers the password for the SID and user (an empty one is forgotten); nothing is done
    // when the three are what was last loaded or stored.
    void store(const QString& sid, const QString& user, const QString& password) noexcept;
    // Why the password is kept in the settings file; "" while it is not.
    const QString& fileReason() const { return reason_; }

private:
    bool keyringInUse() const;
    void giveUpKeyring(const QString& failure);

    struct Entry {
        QString sid, user, password;
        bool operator==(const Entry&) const = default;
    };
    EntryStore& file_;
    QString reason_;
    std::optional<Entry> last_;
};

} // namespace dravena
