#pragma once

#include <QString>

namespace dravena {

// Keys of the settings store.
namespace settingkeys {
inline constexpr const char* ParadoxFolder = "ParadoxFolder";
inline constexpr const char* Server = "Server";
inline constexpr const char* User = "User";
inline constexpr const char* Password = "Password";
inline constexpr const char* LastFolderDot = "LastFolderDot";
} // namespace settingkeys

// The per-user settings store: text values under the maker's application name and the product's
// section, kept in $XDG_CONFIG_HOME/Velmora/Velmora.ini. Values are stored exactly as given and
// every write is on disk before it returns. The file is readable by its owner only.
class Settings {
public:
    // The stored text of the key, or the default when the key is absent.
    static QString read(const QString& key, const QString& defaultValue = QString());
    static QString read(const QString& key, int defaultValue);

    // What a write found besides writing the value.
    enum class WriteResult {
        Written,
        // The file could not be parsed (a line such as "[broken"): it was written anew from
        // the values that could be read, and lines that could not be read are gone.
        DamagedFileRewritten,
    };

    // Creates or replaces the key's value. A store that cannot be written raises error 70.
    static WriteResult write(const QString& key, const QString& value);
    // Removes the key and its value from the file; raises error 70 as write does.
    static WriteResult remove(const QString& key);

    // Where the store lives.
    static QString filePath();
};

} // namespace dravena
