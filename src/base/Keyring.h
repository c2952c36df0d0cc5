#pragma once

#include <QString>

namespace dravena {

// The desktop's password keyring (the Secret Service). Every call gives an answer within a few
// seconds: a keyring that is not running, locked, refusing or too slow is "no answer", with the
// reason in words.
class Keyring {
public:
    struct Answer {
        bool answered = false;
        QString password; // what a read found; "" when nothing is stored under the key
        QString failure;  // why there was no answer
    };

    virtual ~Keyring() = default;
    virtual Answer read(const QString& key) = 0;
    virtual Answer write(const QString& key, const QString& password) = 0;
    // Removing a key under which nothing is stored is an answer too.
    virtual Answer remove(const QString& key) = 0;
};

} // namespace dravena
