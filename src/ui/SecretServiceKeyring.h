#pragma once

#include "base/Keyring.h"

namespace dravena {

// The keyring port on the desktop's Secret Service (through QtKeychain), the entries under the
// product's name. A call waits at most `limitMs` for the keyring, handling the window's other
// events (not its input) meanwhile; a call that is given up on is left to end on its own.
class SecretServiceKeyring final : public Keyring {
public:
    explicit SecretServiceKeyring(int limitMs = 3000) : limitMs_(limitMs) {}
    Answer read(const QString& key) override;
    Answer write(const QString& key, const QString& password) override;
    Answer remove(const QString& key) override;

private:
    int limitMs_;
};

} // namespace dravena
