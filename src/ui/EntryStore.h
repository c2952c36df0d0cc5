#pragma once

#include <QString>

namespace dravena {

// Writes entries through to the settings store as they change. Trouble with the store never
// stops the typing: the entry keeps its new text either way, and only remembering it for the
// next start may be lost. A store that cannot be written is told once per run; a store file that
// could not be read and was written anew is told once too.
class EntryStore {
public:
    // Stores the value under the key. Never fails.
    void write(const char* key, const QString& value) noexcept;

private:
    bool failureTold_ = false;
    bool rewriteTold_ = false;
};

} // namespace dravena
