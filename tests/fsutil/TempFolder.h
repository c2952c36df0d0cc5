#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace dravena::testing {

// A temporary folder for file tests, with small helpers to put files in it and look at them.
class TempFolder {
public:
    QString path() const { return dir_.path(); }
    QString operator/(const QString& name) const { return dir_.path() + u'/' + name; }

    // Writes a file (creating the folders on its way) and returns its full path.
    QString write(const QString& name, const QByteArray& content = "data") const;
    QString makeFolder(const QString& name) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// Lowers the largest file size this process may write while it lives, so that a copy fails
// part-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

// Whether permission bits stop this process (they do not stop the superuser).
bool permissionsApply();

} // namespace dravena::testing
