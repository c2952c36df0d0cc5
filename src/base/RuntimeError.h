#pragma once

#include <QString>

#include <exception>
#include <string>

namespace dravena {

// Classic runtime error numbers used across the program.
namespace errnum {
constexpr int InvalidCall = 5;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectNotSet = 91;
constexpr int CannotCreateObject = 429;
// Failures reported by a database driver; the description is the driver's own message.
constexpr int DataAccess = -2147467259;
} // namespace errnum

// A failure with a number and a description, as shown by the error report.
class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description);

    int number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    int number_;
    QString description_;
    std::string utf8_;
};

// The error that using a never-created object raises.
[[noreturn]] void throwObjectNotSet();

} // namespace dravena
