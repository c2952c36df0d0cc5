#include "EntryStore.h"

#include "GuardedApplication.h"
#include "base/ApplicationTitle.h"
#include "base/Dialogs.h"
#include "base/Ports.h"
#include "base/Trap.h"

namespace dravena {

namespace {

// Tells the text once: the flag is set whether or not the box could be shown.
void tellOnce(bool& told, const QString& text) noexcept {
    if (told)
        return;
    told = true;
    try {
        dialogs().message(text, applicationTitle());
    } catch (...) {
        reportUncaughtFailure();
    }
}

} // namespace

void EntryStore::write(const char* key, const QString& value) noexcept {
    change([&] { return Settings::write(QString::fromLatin1(key), value); });
}

void EntryStore::remove(const char* key) noexcept {
    change([&] { return Settings::remove(QString::fromLatin1(key)); });
}

void EntryStore::change(const std::function<Settings::WriteResult()>& change) noexcept {
    try {
        if (change() == Settings::WriteResult::DamagedFileRewritten)
            tellOnce(rewriteTold_,
                     QStringLiteral("The settings file %1 could not be read and has been written "
                                    "anew; entries that could not be read in it are lost.")
                         .arg(Settings::filePath()));
    } catch (...) {
        tellOnce(failureTold_,
                 describeCurrentException() +
                     QStringLiteral("\r\n\r\nThe connection entries cannot be saved: they are "
                                    "used as typed, but will not be remembered at the next "
                                    "start."));
    }
}

} // namespace dravena
