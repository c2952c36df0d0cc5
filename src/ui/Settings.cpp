#include "Settings.h"

#include "base/Product.h"
#include "base/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace dravena {

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

std::unique_ptr<QSettings> openStore() {
    auto store =
        std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                    QString::fromUtf8(MakerName), QString::fromUtf8(MakerName));
    store->beginGroup(QString::fromUtf8(ProductName));
    return store;
}

// A value read back from the INI file. Our own writes always come back as text; a hand-edited
// file may hold an unquoted list such as "a, b", which is given back as the same text.
QString asText(const QVariant& value) {
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

// Creates the store's folder (owner only) and an empty store file with mode 0600 before the first
// write, so that the file is never readable by others, not even for a moment.
void prepareStoreFile(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (!QFileInfo::exists(folder)) {
        const QString parent = QFileInfo(folder).absolutePath();
        QDir().mkpath(parent);
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            throw RuntimeError(errnum::PathNotFound, QStringLiteral("Path not found: ") + folder);
    }
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

[[noreturn]] void throwPermissionDenied(const QString& path) {
    throw RuntimeError(errnum::PermissionDenied, QStringLiteral("Permission denied: ") + path);
}

// Writes a store whose file Qt could not parse anew, with the values it could read. Such a store
// keeps the status FormatError, which would hide a failed write of its own; so a fresh file (mode
// 0600) is written beside it and put in its place.
void rewriteDamagedStore(QSettings& damaged) {
    const QString path = damaged.fileName();
    const QString group = damaged.group();
    damaged.endGroup();
    const QStringList keys = damaged.allKeys();
    QByteArray temporary = QFile::encodeName(path + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throwPermissionDenied(path);
    ::close(fd);
    const QString cleanPath = QFile::decodeName(temporary);
    bool written = false;
    {
        QSettings clean(cleanPath, QSettings::IniFormat);
        for (const QString& key : keys)
            clean.setValue(key, damaged.value(key));
        clean.sync();
        written = clean.status() == QSettings::NoError;
    }
    if (!written || ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(temporary.constData());
        throwPermissionDenied(path);
    }
    damaged.beginGroup(group);
}

} // namespace

QString Settings::read(const QString& key, const QString& defaultValue) {
    const auto store = openStore();
    const QVariant value = store->value(key);
    // A store that exists but cannot be read is a failure, not an empty store.
    if (store->status() == QSettings::AccessError)
        throwPermissionDenied(store->fileName());
    if (!value.isValid())
        return defaultValue;
    return asText(value);
}

QString Settings::read(const QString& key, int defaultValue) {
    return read(key, QString::number(defaultValue));
}

namespace {

// Opens the store, makes one change and writes it to disk; see Settings::write.
Settings::WriteResult changeStore(const QString& key,
                                  const std::function<void(QSettings&)>& change) {
    auto store = openStore();
    // Writing over a store that could not be read would replace every other value with nothing.
    (void)store->contains(key);
    Settings::WriteResult result = Settings::WriteResult::Written;
    if (store->status() == QSettings::AccessError)
        throwPermissionDenied(store->fileName());
    if (store->status() == QSettings::FormatError) {
        rewriteDamagedStore(*store);
        store = openStore();
        result = Settings::WriteResult::DamagedFileRewritten;
    }
    prepareStoreFile(store->fileName());
    change(*store);
    store->sync();
    if (store->status() != QSettings::NoError)
        throwPermissionDenied(store->fileName());
    QFile::setPermissions(store->fileName(), OwnerOnly);
    return result;
}

} // namespace

Settings::WriteResult Settings::write(const QString& key, const QString& value) {
    // A null text would be written as an invalid value; the store holds "" instead.
    return changeStore(key, [&](QSettings& store) {
        store.setValue(key, value.isNull() ? QStringLiteral("") : value);
    });
}

Settings::WriteResult Settings::remove(const QString& key) {
    return changeStore(key, [&](QSettings& store) { store.remove(key); });
}

QString Settings::filePath() {
    return openStore()->fileName();
}

} // namespace dravena
