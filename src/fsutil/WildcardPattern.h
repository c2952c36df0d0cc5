#pragma once

#include <QRegularExpression>
#include <QString>

namespace dravena {

// A file-name pattern with "*" (any run of characters) and "?" (one character), matched against
// a whole name without regard to letter case. Every other character stands for itself.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern);
    bool matches(const QString& name) const;

private:
    QRegularExpression expression_;
};

} // namespace dravena
