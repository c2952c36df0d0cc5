#pragma once

#include "Settings.h"

#include <QString>

#include <functional>

namespace dravena {

// Writes entries through to the settings store as they change. Trouble with the store never
// stops the typing: the entry keeps its new text either way, and only remembering it for the
// next start may be lost. A store that cannot be written is told once per run; a store file that
// could not be read and was written anew is told once too.
class EntryStore {
public:
    // Stores the value under the key. Never fails.
    void write(const char* key, const QString& value) noexcept;
    // Removes the key and its value from the store. Never fails.
    void remove(const char* key) noexcept;

private:
    void change(const std::function<Settings::WriteResult()>& change) noexcept;

    bool failureTold_ = false;
    bool rewriteTold_ = false;
};

} // namespace dravena
