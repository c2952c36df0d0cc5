#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <unistd.h>

namespace dravena::testing {

QString TempFolder::write(const QString& name, const QByteArray& content) const {
    const QString full = *this / name;
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        return {};
    return full;
}

QString TempFolder::makeFolder(const QString& name) const {
    const QString full = *this / name;
    QDir().mkpath(full);
    return full;
}

QByteArray TempFolder::read(const QString& name) const {
    QFile file(*this / name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TempFolder::exists(const QString& name) const {
    return QFileInfo(*this / name).exists() || QFileInfo(*this / name).isSymLink();
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
}

bool permissionsApply() {
    return ::geteuid() != 0;
}

} // namespace dravena::testing
